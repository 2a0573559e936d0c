// config_file.h - a settings file's text, applied through the command-line
// parser (settings/options.h), so a value in the file follows the same
// rules and gets the same messages as the option on the command line.
//
// The text: one option a line, its name without dashes and its value,
// separated by blanks or by '=' ("points 100000", "points=100000",
// "points = 100000"); blank lines; comments from '#' to the end of the
// line, where '#' starts the line or follows a blank. Tabs and a CR before
// the line's end count as blanks. A later line overrides an earlier one.
//
// Usage:
//   OptionTable file = {};  // the options the file may set
//   AddSettingsOptions(&file, &settings, &seed);
//   std::string error;
//   if (ApplyConfigText(&file, &all, text, &error) != 0)
//       report("config:" + error);  // "3: --points: expected a whole number ..."
#pragma once

#include <string>

#include "settings/options.h"

// Applies every line of text to the options of fileTable, in order.
// Returns 0, or OptionsBad with a one-line message in *error that starts
// with the line's number and a colon. A name that is in allOptions (may be
// null) but not in fileTable, or help, is refused as one the file cannot
// set; a name in neither is unknown.
int ApplyConfigText(const OptionTable* fileTable, const OptionTable* allOptions, const std::string& text,
                    std::string* error);
