// settings.cpp - the settings record and its defaults (see settings.h).
#include "settings/settings.h"

static const SaverSettingsRecord kDefaultSettings = {
    1,       // EnableRotation
    1,       // EnableContinuous
    0,       // BlankScreen
    10000,   // NumberPoints
    1000,    // CLSTimer
    200,     // AnimationTimer
};

SaverSettingsRecord SaverSettings = kDefaultSettings;

void ResetSettings()
{
    SaverSettings = kDefaultSettings;
}

void ResetSettingsRecord(SaverSettingsRecord* s)
{
    *s = kDefaultSettings;
}
