// mode.cpp - the command-line scan that picks Run or Configure (see mode.h).
//
// Characters are classified by their unsigned code, independent of the
// host's locale and of whether char is signed: only 0x21..0x7E continue a
// switch word; white space, control characters and codes above 0x7E end it.
#include "shell/mode.h"

static bool ContinuesSwitchWord(unsigned char c)
{
    return c >= 0x21 && c <= 0x7E;  // letters, digits and punctuation
}

SaverMode ParseSaverMode(const char* text)
{
    if (!text)
        return SaverMode::Configure;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    for (;;) {
        // Between switch words: skip everything but the start of one.
        while (*p != 0 && *p != '-' && *p != '/')
            p++;
        if (*p == 0)
            return SaverMode::Configure;
        // Inside a switch word, which starts at the '-' or '/' itself.
        for (;;) {
            const unsigned char c = *p;
            if (c == 0)
                return SaverMode::Configure;
            if (c == 'S' || c == 's')
                return SaverMode::Run;
            if (c == 'C' || c == 'c')
                return SaverMode::Configure;
            p++;
            if (!ContinuesSwitchWord(c))
                break;  // the word ends; the scan resumes after this character
        }
    }
}
