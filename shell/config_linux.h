// config_linux.h - zorvane's files in the user's configuration folder,
// found by the XDG base-directory rules: its config file
// ($XDG_CONFIG_HOME/zorvane/config) and its login entry
// ($XDG_CONFIG_HOME/autostart/zorvane.desktop). An XDG_CONFIG_HOME that is
// empty or not an absolute path counts as unset: then ~/.config.
#pragma once

#include <string>

#include "shell/saver_options.h"

// The configuration folder. Returns false with *why when there is none:
// XDG_CONFIG_HOME unset and no absolute home folder ($HOME, else the
// password entry's).
bool ConfigHome(std::string* folder, std::string* why);

struct ConfigFile {
    std::string path;  // the file looked for (empty without a configuration folder)
    bool found;        // it was read: text holds it
    std::string text;
    std::string note;  // when not found, why: "/home/u/.config/zorvane/config not found"
};

// Looks for the config file and reads it. A missing file, or one that
// cannot be read, is not an error: found stays false and note says why.
// Returns false, with *why, only for a file too large to be a config file.
bool ReadConfigFile(ConfigFile* c, std::string* why);

// Reads a regular file of at most limit bytes into *text, never waiting
// (a FIFO is not read). Returns 0 or an errno value: EINVAL for what is not
// a regular file, EFBIG for one larger than limit.
int ReadSmallFile(const std::string& path, size_t limit, std::string* text);

// --autostart SECONDS writes the login entry that runs "zorvane --idle
// SECONDS"; --autostart off removes it. An entry there that zorvane did not
// write is left alone. Prints one line saying what it did; returns the exit
// status: 0, or 1 (the reason on standard error).
int RunAutostart(const SaverOptions* options);

// The entry's text, for the program named by exec (already quoted for a
// desktop entry's Exec key), and whether a text is one of ours.
std::string AutostartEntryText(const std::string& exec, uint32_t seconds);
bool IsOurAutostartEntry(const std::string& text);
