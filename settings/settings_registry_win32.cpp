// settings_registry_win32.cpp - LoadSettings / SaveSettings against the
// current user's registry hive: key "Software\Glimra\Zorv", one 4-byte
// value per field. The load rule itself is settings_load.cpp. Failures are
// silent; callers get 1 or 0.
#include <windows.h>

#include "settings/settings.h"
#include "settings/settings_load.h"

static const char kSettingsKey[] = "Software\\Glimra\\Zorv";

// The registry as the load rule's source (settings_load.h); the context is
// the key handle.
static int OpenForReading(void* context)
{
    return RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, static_cast<HKEY*>(context)) == ERROR_SUCCESS;
}

static long QueryValue(void* context, const char* name, unsigned char* buffer, uint32_t* size)
{
    DWORD n = *size;
    const LONG rc = RegQueryValueExA(*static_cast<HKEY*>(context), name, nullptr, nullptr, buffer, &n);
    *size = n;
    return rc;
}

static void CloseKey(void* context)
{
    RegCloseKey(*static_cast<HKEY*>(context));
}

// No stored settings: write out what the record holds (the defaults on a
// first run). The record is not changed either way.
static int SaveRecord(void*)
{
    return SaveSettings();
}

// Writes `value` under `name` as a REG_DWORD; the result is not examined.
static void WriteSetting(HKEY key, const char* name, uint32_t value)
{
    const DWORD data = value;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

int LoadSettings()
{
    HKEY key = nullptr;
    const SettingsSource registry = {&key, OpenForReading, QueryValue, CloseKey, SaveRecord};
    return LoadSettingsFrom(&registry);
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
