// settings_registry_win32.cpp - LoadSettings / SaveSettings against the
// current user's registry hive: key "Software\Glimra\Zorv", one 4-byte
// value per field. Failures are silent; callers get 1 or 0.
#include <windows.h>

#include "settings/settings.h"

static const char kSettingsKey[] = "Software\\Glimra\\Zorv";

// Reads `name` through a scratch value and copies it into `field` only when
// the query succeeds with exactly 4 bytes. The type is not compared. A
// value that is missing or of another size leaves every byte of `field` as
// it was, even if the query wrote part of the data into the scratch value.
static void QuerySetting(HKEY key, const char* name, uint32_t* field)
{
    DWORD scratch = 0;
    DWORD size = sizeof scratch;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&scratch), &size) == ERROR_SUCCESS &&
        size == sizeof scratch)
        *field = scratch;
}

// Writes `value` under `name` as a REG_DWORD; the result is not examined.
static void WriteSetting(HKEY key, const char* name, uint32_t value)
{
    const DWORD data = value;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

int LoadSettings()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        // No stored settings: write out what the record holds (the
        // defaults on a first run). The record is not changed either way.
        return SaveSettings();
    }
    QuerySetting(key, "EnableRotation", &SaverSettings.EnableRotation);
    QuerySetting(key, "EnableContinuous", &SaverSettings.EnableContinuous);
    QuerySetting(key, "BlankScreen", &SaverSettings.BlankScreen);
    QuerySetting(key, "NumberPoints", &SaverSettings.NumberPoints);
    QuerySetting(key, "CLSTimer", &SaverSettings.CLSTimer);
    QuerySetting(key, "AnimationTimer", &SaverSettings.AnimationTimer);
    RegCloseKey(key);
    return 1;
}

int SaveSettings()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
        // The key is new: give it the class string "REG_DATA" and a handle
        // that child processes may inherit.
        SECURITY_ATTRIBUTES security = {sizeof security, nullptr, TRUE};
        char keyClass[] = "REG_DATA";  // the platform takes a non-const string
        DWORD disposition;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, keyClass, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                            &security, &key, &disposition) != ERROR_SUCCESS)
            return 0;
    }
    // Written in this order, which is not the order of reading; a failing
    // write does not stop the others.
    WriteSetting(key, "EnableContinuous", SaverSettings.EnableContinuous);
    WriteSetting(key, "EnableRotation", SaverSettings.EnableRotation);
    WriteSetting(key, "BlankScreen", SaverSettings.BlankScreen);
    WriteSetting(key, "NumberPoints", SaverSettings.NumberPoints);
    WriteSetting(key, "AnimationTimer", SaverSettings.AnimationTimer);
    WriteSetting(key, "CLSTimer", SaverSettings.CLSTimer);
    RegFlushKey(key);
    RegCloseKey(key);
    return 1;
}
