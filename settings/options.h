// options.h - command-line options: one parser, and one table of the
// settings options that zorvane (the X11 saver) and zorvane-render share.
//
// Usage:
//   OptionTable t = {};
//   AddSettingsOptions(&t, &settings, &seed);        // --points ... --seed
//   AddNumberOption(&t, "width", &width, 1, 16384);  // a program's own options
//   AddSwitchOption(&t, "root", &root);
//   std::string error;
//   int status = ParseOptions(&t, argc, argv, &error);  // 0, OptionsHelp or OptionsBad
//
// An option may be written with one dash or two ("-root", "--root"); a
// value is the next argument. Numbers are whole decimal numbers (window ids
// may also be 0x hex) within the option's range. Errors are one line that
// names the option: "--points: expected a whole number from 0 to
// 4294967295, got 'x'" (what the user typed is shown cut to 40 characters,
// with anything unprintable as '?', so the message stays one line).
#pragma once

#include <cstdint>
#include <string>

#include "settings/settings.h"

enum OptionKind {
    OptionNumber,        // a decimal number in [min, max]
    OptionNumberHex,     // the same, or 0x followed by hex digits
    OptionText,          // any non-empty text
    OptionSwitch,        // no value; sets *given
    OptionIgnored,       // no value; accepted for compatibility and ignored
    OptionIgnoredValue,  // takes a value, which is ignored
};

struct OptionEntry {
    const char* name;    // without dashes
    OptionKind kind;
    uint32_t* number;    // OptionNumber, OptionNumberHex
    uint32_t min, max;
    std::string* text;   // OptionText
    bool* given;         // set when the option appears (may be null)
    const char* value;   // the value's name in the usage text ("N", "0|1", "FILE")
    const char* help;    // its line in the usage text (null: not listed)
};

constexpr int MaxOptions = 32;

struct OptionTable {
    OptionEntry entries[MaxOptions];
    int count;
};

constexpr int OptionsHelp = 1;  // --help or -h was given
constexpr int OptionsBad = 2;   // *error holds the one-line message

void AddNumberOption(OptionTable* t, const char* name, uint32_t* field, uint32_t min, uint32_t max,
                     const char* help = nullptr, bool* given = nullptr);
void AddHexNumberOption(OptionTable* t, const char* name, uint32_t* field, const char* help, bool* given);
void AddTextOption(OptionTable* t, const char* name, std::string* field, const char* value, const char* help);
void AddSwitchOption(OptionTable* t, const char* name, bool* given, const char* help);
void AddIgnoredOption(OptionTable* t, const char* name, bool takesValue);

// The settings options both programs take, writing into *settings and
// *seed: --points, --frame-ms, --clear-ms (any 32-bit number, as the
// registry holds them), --blank, --rotate, --continuous (0 or 1), --seed
// (*seedGiven set when it appears, if not null).
void AddSettingsOptions(OptionTable* t, SaverSettingsRecord* settings, uint32_t* seed, bool* seedGiven = nullptr);

// --zoom N: 0 (the default) for the automatic zoom of settings/zoom.h, or
// 1 to MaxZoom.
void AddZoomOption(OptionTable* t, uint32_t* zoom);

// A whole decimal number in the unsigned 32-bit range, nothing else; with
// hex also 0x followed by hex digits. The rule every number option follows.
bool ParseWholeNumber(const char* text, bool hex, uint32_t* out);
int ParseOptions(const OptionTable* t, int argc, const char* const* argv, std::string* error);  // 0 when all is well
std::string OptionsUsage(const OptionTable* t);  // one line per listed option, with its help
