// mode.cpp - the command-line scan that picks Run, Configure or Preview
// (see mode.h).
//
// Characters are classified by their unsigned code, independent of the
// host's locale and of whether char is signed: only 0x21..0x7E continue a
// switch word; white space, control characters and codes above 0x7E end it.
#include "shell/mode.h"

static bool ContinuesSwitchWord(unsigned char c)
{
    return c >= 0x21 && c <= 0x7E;  // letters, digits and punctuation
}

// The first switch word's opening '-' or '/', or the terminating zero.
static const unsigned char* FirstSwitchWord(const unsigned char* p)
{
    while (*p != 0 && *p != '-' && *p != '/')
        p++;
    return p;
}

static bool AsksForPreview(const unsigned char* word)
{
    return *word != 0 && (word[1] == 'p' || word[1] == 'P');
}

SaverMode ParseSaverMode(const char* text)
{
    if (!text)
        return SaverMode::Configure;
    const unsigned char* p = FirstSwitchWord(reinterpret_cast<const unsigned char*>(text));
    if (AsksForPreview(p))
        return SaverMode::Preview;
    for (;;) {
        // Between switch words: skip everything but the start of one.
        p = FirstSwitchWord(p);
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

uint64_t PreviewWindowNumber(const char* text)
{
    if (!text)
        return 0;
    const unsigned char* p = FirstSwitchWord(reinterpret_cast<const unsigned char*>(text));
    if (!AsksForPreview(p))
        return 0;
    p += 2;
    if (*p == ':')
        p++;
    else
        while (*p >= 1 && *p <= 32)
            p++;
    if (*p < '0' || *p > '9')
        return 0;
    uint64_t n = 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        const uint64_t digit = *p - '0';
        if (n > (UINT64_MAX - digit) / 10)
            return 0;
        n = n * 10 + digit;
    }
    return ContinuesSwitchWord(*p) ? 0 : n;
}
