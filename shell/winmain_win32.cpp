// winmain_win32.cpp - the executable's entry point; everything happens in
// SaverMain.
#include "shell/main_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandTail, int showState)
{
    return SaverMain(instance, previous, commandTail, showState);
}
