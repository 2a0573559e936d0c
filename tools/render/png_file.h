// png_file.h - the write-then-rename step shared by both PNG writers.
#pragma once

#include <cstdio>
#include <string>

// Opens path + ".tmp" for writing; null on failure.
FILE* PngOpenTemporary(const char* path, std::string* tmpPath);
// Closes the temporary file and renames it to path when ok; otherwise
// removes it. Returns 1 when the file is in place.
int PngFinish(FILE* f, const std::string& tmpPath, const char* path, bool ok);
