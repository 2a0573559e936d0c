// settings_registry_win32.cpp - LoadSettings / SaveSettings against the
// current user's registry hive: key "Software\Glimra\Zorv", one 4-byte
// value per field. The load rule itself is settings_load.cpp. Failures are
// silent; callers get 1 or 0.
#include <windows.h>

#include "settings/settings.h"
#include "settings/settings_load.h"

static const char kSettingsKey[] = "Software\\Glimra\\Zorv";

// The registry as the load rule's source (settings_load.h); the context is
// the key and the record being loaded.
struct RegistrySource {
    HKEY key;
    const SaverSettingsRecord* record;
};

static int OpenForReading(void* context)
{
    return RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &static_cast<RegistrySource*>(context)->key) ==
           ERROR_SUCCESS;
}

static long QueryValue(void* context, const char* name, unsigned char* buffer, uint32_t* size)
{
    DWORD n = *size;
    const LONG rc = RegQueryValueExA(static_cast<RegistrySource*>(context)->key, name, nullptr, nullptr, buffer, &n);
    *size = n;
    return rc;
}

static void CloseKey(void* context)
{
    RegCloseKey(static_cast<RegistrySource*>(context)->key);
}

// No stored settings: write out what the record holds (the defaults on a
// first run). The record is not changed either way.
static int SaveRecord(void* context)
{
    return SaveSettings(static_cast<RegistrySource*>(context)->record);
}

// Writes `value` under `name` as a REG_DWORD; the result is not examined.
static void WriteSetting(HKEY key, const char* name, uint32_t value)
{
    const DWORD data = value;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

int LoadSettings(SaverSettingsRecord* record)
{
    RegistrySource context = {nullptr, record};
    const SettingsSource registry = {&context, OpenForReading, QueryValue, CloseKey, SaveRecord};
    return LoadSettingsFrom(&registry, record);
}

// Nothing stored: nothing is written, and the record keeps what it holds.
static int SaveNothing(void*)
{
    return 0;
}

int ReadSettings(SaverSettingsRecord* record)
{
    RegistrySource context = {nullptr, record};
    const SettingsSource registry = {&context, OpenForReading, QueryValue, CloseKey, SaveNothing};
    return LoadSettingsFrom(&registry, record);
}

int SaveSettings(const SaverSettingsRecord* record)
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
    WriteSetting(key, "EnableContinuous", record->EnableContinuous);
    WriteSetting(key, "EnableRotation", record->EnableRotation);
    WriteSetting(key, "BlankScreen", record->BlankScreen);
    WriteSetting(key, "NumberPoints", record->NumberPoints);
    WriteSetting(key, "AnimationTimer", record->AnimationTimer);
    WriteSetting(key, "CLSTimer", record->CLSTimer);
    RegFlushKey(key);
    RegCloseKey(key);
    return 1;
}
