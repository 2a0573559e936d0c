// command_tail.cpp - finding and keeping the command-line tail (see
// command_tail.h). Codes are compared as unsigned, so characters above 0x7F
// belong to an unquoted program name whatever the sign of char.
#include "shell/command_tail.h"

static bool IsBlank(unsigned char c)
{
    return c >= 1 && c <= 32;
}

const char* CommandLineTail(const char* line)
{
    if (!line)
        return "";
    const unsigned char* p = reinterpret_cast<const unsigned char*>(line);
    if (*p == '"') {
        // Quoted name: blanks, '-' and '/' inside the quotes belong to it.
        p++;
        while (*p != 0 && *p != '"')
            p++;
        if (*p == '"')
            p++;
    } else {
        while (*p > 32)
            p++;
    }
    while (IsBlank(*p))
        p++;
    return reinterpret_cast<const char*>(p);
}

void KeepCommandLine(char (&kept)[CommandLineSize], const char* tail)
{
    size_t n = 0;
    if (tail) {
        while (n < CommandLineSize - 1 && tail[n] != 0) {
            kept[n] = tail[n];
            n++;
        }
    }
    kept[n] = 0;
}
