// command_tail.h - the command-line tail: the process command line less the
// program name and the blanks after it, and its copy into a fixed buffer.
#pragma once

#include <cstddef>

constexpr size_t CommandLineSize = 1024;  // 1023 characters and the terminating zero

// Where the tail of a full process command line begins. A program name that
// starts with a double quote runs to the next double quote, inclusive (or to
// the end if there is none); any other name runs up to the first character
// of code 1..32 or the end. Every character of code 1..32 after the name is
// skipped. Returns a pointer into line; a null line gives "".
const char* CommandLineTail(const char* line);

// Copies tail into kept, cut to 1023 characters; null gives "".
void KeepCommandLine(char (&kept)[CommandLineSize], const char* tail);
