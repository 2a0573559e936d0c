// import_hook.h - lets a test observe or fail the platform calls that the
// code under test makes, by swapping entries of the program's own import
// address table (every call to a DLL function goes through it).
#pragma once

// Makes calls to `function` imported from `dll` (case-insensitive, e.g.
// "advapi32.dll") go to `replacement`. Returns the address the table held
// before, to call through or to restore; nullptr when the program does not
// import that function.
void* SwapImport(const char* dll, const char* function, void* replacement);
