// idle_probe.cpp - the GNOME idle source on its own, for its test: opens it
// for SECONDS of quiet and prints a line for each change it reports
// ("idle", "active", "lost", after which it ends), or why it could not.
//
//   idle_probe 2
#include <poll.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/idle_source.h"

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    IdleSource s = {};
    std::string why;
    if (!OpenGnomeIdle(&s, static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10)), &why)) {
        std::printf("not opened: %s\n", why.c_str());
        return 1;
    }
    std::printf("opened %s\n", s.name);
    std::fflush(stdout);
    for (;;) {
        pollfd p = {s.fd, POLLIN, 0};
        if (poll(&p, 1, -1) < 0)
            continue;
        const IdleEvent e = IdleRead(&s);
        if (e == IdleEvent::Nothing)
            continue;
        std::puts(e == IdleEvent::Idle ? "idle" : e == IdleEvent::Active ? "active" : "lost");
        std::fflush(stdout);
        if (e == IdleEvent::Lost)
            break;
    }
    IdleClose(&s);
    return 0;
}
