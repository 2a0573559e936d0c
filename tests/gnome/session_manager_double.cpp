// session_manager_double.cpp - a stand-in for GNOME's session manager on a
// test's session bus, only as far as idle inhibitors go: it owns
// org.gnome.SessionManager and answers IsInhibited; SIGUSR1 takes an idle
// inhibitor (flag 8) and SIGUSR2 lets it go, with InhibitorAdded and
// InhibitorRemoved and, unless --no-property, the InhibitedActions
// property the compositor follows. Prints "ready", then "held" or
// "released" after each change.
//
//   session_manager_double [--no-property]
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

const char kPath[] = "/org/gnome/SessionManager";
const char kInterface[] = "org.gnome.SessionManager";
const char kInhibitor[] = "/org/gnome/SessionManager/Inhibitor1";

struct Double {
    uint32_t inhibited = 0;  // the flags held
};

int IsInhibited(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    uint32_t flags = 0;
    int r = sd_bus_message_read(m, "u", &flags);
    if (r < 0)
        return r;
    return sd_bus_reply_method_return(m, "b", (static_cast<Double*>(userdata)->inhibited & flags) != 0);
}

int InhibitedActions(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata,
                     sd_bus_error*)
{
    return sd_bus_message_append(reply, "u", static_cast<Double*>(userdata)->inhibited);
}

const sd_bus_vtable kWithProperty[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("IsInhibited", "u", "b", IsInhibited, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_PROPERTY("InhibitedActions", "u", InhibitedActions, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_SIGNAL("InhibitorAdded", "o", 0),
    SD_BUS_SIGNAL("InhibitorRemoved", "o", 0),
    SD_BUS_VTABLE_END,
};
const sd_bus_vtable kWithout[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("IsInhibited", "u", "b", IsInhibited, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_SIGNAL("InhibitorAdded", "o", 0),
    SD_BUS_SIGNAL("InhibitorRemoved", "o", 0),
    SD_BUS_VTABLE_END,
};

}  // namespace

int main(int argc, char** argv)
{
    const bool property = !(argc > 1 && std::strcmp(argv[1], "--no-property") == 0);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGUSR1);
    sigaddset(&set, SIGUSR2);
    sigprocmask(SIG_BLOCK, &set, nullptr);
    const int sfd = signalfd(-1, &set, SFD_CLOEXEC);
    Double d;
    sd_bus* bus = nullptr;
    if (sfd < 0 || sd_bus_open_user(&bus) < 0 ||
        sd_bus_add_object_vtable(bus, nullptr, kPath, kInterface, property ? kWithProperty : kWithout, &d) < 0 ||
        sd_bus_request_name(bus, kInterface, 0) < 0) {
        std::puts("failed");
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    for (;;) {
        while (sd_bus_process(bus, nullptr) > 0) {
        }
        pollfd p[2] = {{sd_bus_get_fd(bus), static_cast<short>(sd_bus_get_events(bus)), 0}, {sfd, POLLIN, 0}};
        if (poll(p, 2, -1) < 0)
            continue;
        if (p[0].revents & (POLLHUP | POLLERR))
            return 0;
        signalfd_siginfo info;
        if (!(p[1].revents & POLLIN) || read(sfd, &info, sizeof info) != sizeof info)
            continue;
        const bool hold = info.ssi_signo == SIGUSR1;
        d.inhibited = hold ? 8 : 0;
        if (property)
            sd_bus_emit_properties_changed(bus, kPath, kInterface, "InhibitedActions", nullptr);
        sd_bus_emit_signal(bus, kPath, kInterface, hold ? "InhibitorAdded" : "InhibitorRemoved", "o", kInhibitor);
        sd_bus_flush(bus);
        std::puts(hold ? "held" : "released");
        std::fflush(stdout);
    }
}
