// command_line_fuzz.cpp - the Windows saver's command line on any bytes:
// finding the tail after the program name, keeping it in the 1024-byte
// buffer, and choosing the mode. Nothing may read outside the line, the
// tail must lie inside it, the kept copy must be its first 1023 bytes, the
// mode must agree with a restatement of the rule that scans words, and a
// preview's window number must be one written in the line.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "shell/command_tail.h"
#include "shell/mode.h"

// A first switch word with a 'p' or 'P' after its opening character asks
// for a preview. Otherwise the first switch word holding an 'S' or a 'C'
// decides by whichever comes first in it; a word starts at '-' or '/' and
// runs over printable characters (0x21..0x7E); the character that ends it
// is skipped.
static SaverMode ReferenceMode(const unsigned char* p)
{
    const unsigned char* first = p;
    while (*first && *first != '-' && *first != '/')
        first++;
    if (*first && (first[1] == 'p' || first[1] == 'P'))
        return SaverMode::Preview;
    bool inWord = false;
    for (; *p; p++) {
        const unsigned char c = *p;
        if (!inWord) {
            inWord = c == '-' || c == '/';
            if (!inWord)
                continue;
        }
        if (c == 'S' || c == 's')
            return SaverMode::Run;
        if (c == 'C' || c == 'c')
            return SaverMode::Configure;
        inWord = c >= 0x21 && c <= 0x7E;
    }
    return SaverMode::Configure;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> line(data, data + size);
    line.push_back('\0');
    const size_t length = std::strlen(line.data());
    const char* tail = CommandLineTail(line.data());
    if (tail < line.data() || tail > line.data() + length)
        std::abort();
    char commandLine[CommandLineSize];
    KeepCommandLine(commandLine, tail);
    const size_t kept = std::strlen(commandLine);
    const size_t tailLength = std::strlen(tail);
    if (kept != (tailLength < CommandLineSize - 1 ? tailLength : CommandLineSize - 1) ||
        std::memcmp(commandLine, tail, kept) != 0)
        std::abort();
    const SaverMode mode = ParseSaverMode(commandLine);
    if (mode != ReferenceMode(reinterpret_cast<const unsigned char*>(commandLine)))
        std::abort();
    // Only a preview has a window number, and the digits it was read from
    // are in the line.
    const uint64_t window = PreviewWindowNumber(commandLine);
    if (window != 0 && (mode != SaverMode::Preview || !std::strstr(commandLine, std::to_string(window).c_str())))
        std::abort();
    return 0;
}
