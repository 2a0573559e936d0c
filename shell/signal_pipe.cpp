// signal_pipe.cpp - see signal_pipe.h. The pipe is the process's one link
// from its signal handlers to its loop.
#include "shell/signal_pipe.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

static int g_endPipe[2] = {-1, -1};
static volatile sig_atomic_t g_endCame = 0;  // a signal came, ever
static constexpr int EndSignals[] = {SIGTERM, SIGINT, SIGHUP};

static void OnEndSignal(int)
{
    const int saved = errno;
    g_endCame = 1;
    const char byte = 1;
    ssize_t ignored = write(g_endPipe[1], &byte, 1);
    (void)ignored;
    errno = saved;
}

bool CatchEndSignals()
{
    if (g_endPipe[0] < 0 && pipe2(g_endPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : EndSignals)
        sigaction(sig, &action, nullptr);
    return true;
}

int EndSignalFd()
{
    return g_endPipe[0];
}

bool EndSignalled()
{
    char bytes[16];
    return g_endPipe[0] >= 0 && read(g_endPipe[0], bytes, sizeof bytes) > 0;
}

bool EndSignalCame()
{
    return g_endCame != 0;
}

void ReleaseEndSignals()
{
    for (int sig : EndSignals)
        signal(sig, SIG_DFL);
    for (int& fd : g_endPipe) {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
}
