// idle_gnome_linux.cpp - GNOME's idle monitor (not yet built in).
#include "shell/idle_source.h"

bool OpenGnomeIdle(IdleSource*, uint32_t, std::string* why)
{
    *why += "org.gnome.Mutter.IdleMonitor: not built in";
    return false;
}
