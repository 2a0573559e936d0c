// settings.h - the saver's six user settings.
//
// Every field is an unsigned 32-bit number stored under the registry value
// of the same name; flags are tested for non-zero. Each picture holds its
// own record, which starts with the defaults. LoadSettings / SaveSettings
// are implemented per platform: settings_registry_win32.cpp (the registry)
// or settings_null.cpp (no store: the record is whatever the program put in
// it, from its command line in the X11 saver and the headless renderer).
#pragma once

#include <cstdint>

struct SaverSettingsRecord {
    uint32_t EnableRotation;     // spin the view each frame (acts only with BlankScreen)
    uint32_t EnableContinuous;   // re-walk the points each frame (acts only with BlankScreen)
    uint32_t BlankScreen;        // start every frame from black
    uint32_t NumberPoints;       // points per attractor
    uint32_t CLSTimer;           // clear tick period, milliseconds
    uint32_t AnimationTimer;     // frame tick period, milliseconds
};

constexpr SaverSettingsRecord DefaultSettings = {
    1,       // EnableRotation
    1,       // EnableContinuous
    0,       // BlankScreen
    10000,   // NumberPoints
    1000,    // CLSTimer
    200,     // AnimationTimer
};

int LoadSettings(SaverSettingsRecord* s);        // 1 on success, 0 on failure; callers ignore it
int ReadSettings(SaverSettingsRecord* s);        // LoadSettings without the first-run save: 0 where nothing is stored
int SaveSettings(const SaverSettingsRecord* s);  // 1 on success, 0 on failure
