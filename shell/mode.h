// mode.h - which of the saver's two modes the command-line tail asks for.
#pragma once

enum class SaverMode {
    Run,        // full-screen animation until the user touches mouse or keyboard
    Configure,  // the configuration dialog, then exit
};

// The first switch word (starting with '-' or '/') that holds an 'S' or a
// 'C', in either case, decides by whichever of the two comes first in it;
// with no such word the answer is Configure. A null text counts as empty.
SaverMode ParseSaverMode(const char* text);
