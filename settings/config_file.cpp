// config_file.cpp - see config_file.h.
#include "settings/config_file.h"

static bool Blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

static const OptionEntry* Find(const OptionTable* t, const std::string& name)
{
    for (int k = 0; t && k < t->count; k++)
        if (name == t->entries[k].name)
            return &t->entries[k];
    return nullptr;
}

static std::string FileNames(const OptionTable* t)
{
    std::string names;
    for (int k = 0; k < t->count; k++)
        names += (k ? ", " : "") + std::string(t->entries[k].name);
    return names;
}

// One line, without its newline: 0, or OptionsBad with the message.
static int ApplyLine(const OptionTable* fileTable, const OptionTable* allOptions, std::string line,
                     std::string* error)
{
    if (line.find('\0') != std::string::npos) {
        *error = "a zero byte in the line";
        return OptionsBad;
    }
    for (size_t i = 0; i < line.size(); i++)
        if (line[i] == '#' && (i == 0 || Blank(line[i - 1]))) {
            line.resize(i);
            break;
        }
    size_t begin = 0, end = line.size();
    while (begin < end && Blank(line[begin]))
        begin++;
    while (end > begin && Blank(line[end - 1]))
        end--;
    if (begin == end)
        return 0;
    // Dashes copied from a command line are allowed.
    if (line.compare(begin, 2, "--") == 0)
        begin += 2;
    else if (line[begin] == '-')
        begin++;
    size_t at = begin;
    while (at < end && !Blank(line[at]) && line[at] != '=')
        at++;
    const std::string name = line.substr(begin, at - begin);
    while (at < end && Blank(line[at]))
        at++;
    if (at < end && line[at] == '=')
        at++;
    while (at < end && Blank(line[at]))
        at++;
    const std::string value = line.substr(at, end - at);

    const std::string option = "--" + name;
    const OptionEntry* entry = Find(fileTable, name);
    if (!entry && (name == "help" || name == "h" || Find(allOptions, name))) {
        *error = option + ": not for the config file, only the command line (the file takes " +
                 FileNames(fileTable) + ")";
        return OptionsBad;
    }
    if (entry && !value.empty() && (entry->kind == OptionSwitch || entry->kind == OptionIgnored)) {
        *error = option + ": takes no value";
        return OptionsBad;
    }
    // The option and its value as the command line would give them: an
    // unknown name, a missing or bad value get the parser's own words.
    const char* argv[] = {"config", option.c_str(), value.c_str()};
    return ParseOptions(fileTable, value.empty() ? 2 : 3, argv, error) == 0 ? 0 : OptionsBad;
}

int ApplyConfigText(const OptionTable* fileTable, const OptionTable* allOptions, const std::string& text,
                    std::string* error)
{
    error->clear();
    size_t start = 0;
    for (int number = 1; start < text.size(); number++) {
        size_t newline = text.find('\n', start);
        if (newline == std::string::npos)
            newline = text.size();
        std::string message;
        if (ApplyLine(fileTable, allOptions, text.substr(start, newline - start), &message) != 0) {
            *error = std::to_string(number) + ": " + message;
            return OptionsBad;
        }
        start = newline + 1;
    }
    return 0;
}
