// idle_watch_linux.cpp - zorvane --idle: not built yet.
#include <cstdio>

#include "shell/savers_linux.h"

int RunIdleWatcher(const SaverOptions*)
{
    std::fputs("zorvane: --idle is not built yet\n", stderr);
    return 1;
}
