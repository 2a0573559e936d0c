// settings_null.cpp - settings storage for programs without a registry (the
// X11 saver, the headless renderer, tests): nothing is stored; the record
// keeps whatever the program set from its command line.
#include "settings/settings.h"

int LoadSettings(SaverSettingsRecord*)
{
    return 1;
}

int ReadSettings(SaverSettingsRecord*)
{
    return 1;
}

int SaveSettings(const SaverSettingsRecord*)
{
    return 1;
}
