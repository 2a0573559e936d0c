// mode.h - which of the saver's modes the command-line tail asks for, and
// the window a preview is drawn in.
#pragma once

#include <cstdint>

enum class SaverMode {
    Run,        // full-screen animation until the user touches mouse or keyboard
    Configure,  // the configuration dialog, then exit
    Preview,    // the animation inside a window the caller names, until that window goes
};

// A tail whose first switch word (starting with '-' or '/') has a 'p' or
// 'P' right after that first character asks for a preview ("/p 1234",
// "/p:1234", "-P"). Otherwise the first switch word that holds an 'S' or a
// 'C', in either case, decides by whichever of the two comes first in it;
// with no such word the answer is Configure. A null text counts as empty.
SaverMode ParseSaverMode(const char* text);

// The window number of a preview tail: after the first switch word's 'p',
// an optional ':' or blanks (codes 1..32), then decimal digits that end the
// switch word or the text. 0 when the tail asks for no preview, when there
// is no such number, or when it does not fit in 64 bits.
uint64_t PreviewWindowNumber(const char* text);
