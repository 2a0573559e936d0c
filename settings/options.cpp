// options.cpp - see options.h.
#include "settings/options.h"

#include <cstring>

#include "settings/zoom.h"

static void Add(OptionTable* t, const OptionEntry& entry)
{
    if (t->count < MaxOptions)
        t->entries[t->count++] = entry;
}

void AddNumberOption(OptionTable* t, const char* name, uint32_t* field, uint32_t min, uint32_t max, const char* help,
                     bool* given)
{
    Add(t, OptionEntry{name, OptionNumber, field, min, max, nullptr, given, max == 1 ? "0|1" : "N", help});
}

void AddHexNumberOption(OptionTable* t, const char* name, uint32_t* field, const char* help, bool* given)
{
    Add(t, OptionEntry{name, OptionNumberHex, field, 0, 0xFFFFFFFFu, nullptr, given, "ID", help});
}

void AddTextOption(OptionTable* t, const char* name, std::string* field, const char* value, const char* help)
{
    Add(t, OptionEntry{name, OptionText, nullptr, 0, 0, field, nullptr, value, help});
}

void AddSwitchOption(OptionTable* t, const char* name, bool* given, const char* help)
{
    Add(t, OptionEntry{name, OptionSwitch, nullptr, 0, 0, nullptr, given, "", help});
}

void AddIgnoredOption(OptionTable* t, const char* name, bool takesValue)
{
    Add(t, OptionEntry{name, takesValue ? OptionIgnoredValue : OptionIgnored, nullptr, 0, 0, nullptr, nullptr, "", nullptr});
}

void AddSettingsOptions(OptionTable* t, SaverSettingsRecord* s, uint32_t* seed, bool* seedGiven)
{
    AddNumberOption(t, "points", &s->NumberPoints, 0, 0xFFFFFFFFu, "points per attractor (10000)");
    AddNumberOption(t, "frame-ms", &s->AnimationTimer, 0, 0xFFFFFFFFu, "frame timer period, ms (200)");
    AddNumberOption(t, "clear-ms", &s->CLSTimer, 0, 0xFFFFFFFFu, "clear timer period, ms (1000)");
    AddNumberOption(t, "blank", &s->BlankScreen, 0, 1, "start every frame from black (0)");
    AddNumberOption(t, "rotate", &s->EnableRotation, 0, 1, "spin the view, with --blank 1 (1)");
    AddNumberOption(t, "continuous", &s->EnableContinuous, 0, 1, "re-walk the points every frame, with --blank 1 (1)");
    AddNumberOption(t, "seed", seed, 0, 0xFFFFFFFFu, "seed of the random stream (the current time)",
                    seedGiven);
}

void AddZoomOption(OptionTable* t, uint32_t* zoom)
{
    AddNumberOption(t, "zoom", zoom, 0, MaxZoom, "draw each point as an N x N block (0: by the screen's size)");
}

// A whole number in the unsigned 32-bit range, nothing else: decimal, or
// with hex allowed also 0x / 0X followed by hex digits.
bool ParseWholeNumber(const char* s, bool hex, uint32_t* out)
{
    unsigned base = 10;
    if (hex && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s += 2;
    }
    if (!*s)
        return false;
    uint64_t v = 0;
    for (const char* p = s; *p; p++) {
        unsigned digit;
        if (*p >= '0' && *p <= '9')
            digit = static_cast<unsigned>(*p - '0');
        else if (base == 16 && *p >= 'a' && *p <= 'f')
            digit = static_cast<unsigned>(*p - 'a' + 10);
        else if (base == 16 && *p >= 'A' && *p <= 'F')
            digit = static_cast<unsigned>(*p - 'A' + 10);
        else
            return false;
        v = v * base + digit;
        if (v > 0xFFFFFFFFu)
            return false;
    }
    *out = static_cast<uint32_t>(v);
    return true;
}

// The option's name without its one or two dashes, or null for an
// argument that is not an option.
static const char* OptionName(const char* arg)
{
    if (arg[0] != '-' || arg[1] == '\0')
        return nullptr;
    return arg[1] == '-' ? arg + 2 : arg + 1;
}

// What the user typed, made safe for a one-line message.
static std::string Shown(const char* text)
{
    std::string shown;
    for (const char* p = text; *p && shown.size() < 40; p++)
        shown += (*p >= 0x20 && *p < 0x7F) ? *p : '?';
    return *text && std::strlen(text) > 40 ? shown + "..." : shown;
}

static std::string RangeText(const OptionEntry& entry)
{
    if (entry.min == 0 && entry.max == 1)
        return "0 or 1";
    std::string text = "a whole number from " + std::to_string(entry.min) + " to " + std::to_string(entry.max);
    return entry.kind == OptionNumberHex ? text + " (or 0x hex)" : text;
}

int ParseOptions(const OptionTable* t, int argc, const char* const* argv, std::string* error)
{
    error->clear();
    for (int i = 1; i < argc; i++) {
        const char* name = OptionName(argv[i]);
        if (name && (std::strcmp(name, "help") == 0 || std::strcmp(name, "h") == 0))
            return OptionsHelp;
        const OptionEntry* entry = nullptr;
        for (int k = 0; name && k < t->count; k++)
            if (std::strcmp(name, t->entries[k].name) == 0)
                entry = &t->entries[k];
        if (!entry) {
            *error = name ? Shown(argv[i]) + ": unknown option"
                          : "'" + Shown(argv[i]) + "': not an option (options start with - or --)";
            return OptionsBad;
        }
        const std::string shown = std::string("--") + entry->name;
        if (entry->kind == OptionSwitch || entry->kind == OptionIgnored) {
            if (entry->given)
                *entry->given = true;
            continue;
        }
        const char* value = i + 1 < argc ? argv[++i] : nullptr;
        if (!value || (entry->kind == OptionText && !*value)) {
            *error = shown + ": missing value";
            return OptionsBad;
        }
        if (entry->kind == OptionText) {
            *entry->text = value;
        } else if (entry->kind == OptionNumber || entry->kind == OptionNumberHex) {
            uint32_t n = 0;
            if (!ParseWholeNumber(value, entry->kind == OptionNumberHex, &n) || n < entry->min || n > entry->max) {
                *error = shown + ": expected " + RangeText(*entry) + ", got '" + Shown(value) + "'";
                return OptionsBad;
            }
            *entry->number = n;
        }
        if (entry->given)
            *entry->given = true;
    }
    return 0;
}

std::string OptionsUsage(const OptionTable* t)
{
    std::string text;
    for (int k = 0; k < t->count; k++) {
        const OptionEntry& entry = t->entries[k];
        if (!entry.help)
            continue;
        std::string left = std::string("  --") + entry.name + (*entry.value ? " " : "") + entry.value;
        left.resize(left.size() < 22 ? 22 : left.size() + 1, ' ');
        text += left + entry.help + "\n";
    }
    return text;
}
