// png_file.h - the PNG writer's write-then-replace step.
#pragma once

#include <cstdio>
#include <string>

// Creates a new file beside path that did not exist before (path + "." +
// process id + "." + n + ".tmp"), so no file of anyone else's is ever
// opened; null on failure.
FILE* PngOpenTemporary(const char* path, std::string* tmpPath);
// Closes the temporary file and, when ok, moves it over path in one step
// (an existing file is replaced, never removed first); otherwise, or when
// that fails, removes it. Returns 1 when the file is in place.
int PngFinish(FILE* f, const std::string& tmpPath, const char* path, bool ok);
