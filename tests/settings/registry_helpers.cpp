// registry_helpers.cpp - see registry_helpers.h.
#include "tests/settings/registry_helpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

const char kSettingsKeyPath[] = "Software\\Glimra\\Zorv";

static const char* const kFieldNames[6] = {"EnableRotation", "EnableContinuous", "BlankScreen",
                                           "NumberPoints",   "CLSTimer",         "AnimationTimer"};

void DeleteSettingsKey()
{
    const LONG rc = RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath);
    ASSERT_TRUE(rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) << "RegDeleteKeyA: " << rc;
    ASSERT_FALSE(SettingsKeyExists());
}

bool SettingsKeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::string SettingsKeyClass()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "(no key)";
    char keyClass[64] = "";
    DWORD length = sizeof keyClass;
    const LONG rc = RegQueryInfoKeyA(key, keyClass, &length, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::string(keyClass, length) : "(query failed)";
}

void PutValue(const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, 0, KEY_WRITE, nullptr,
                                             &key, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size)) << name;
    RegCloseKey(key);
}

void PutDword(const char* name, uint32_t value)
{
    PutValue(name, REG_DWORD, &value, sizeof value);
}

void PutRecord(const SaverSettingsRecord& r)
{
    const uint32_t values[6] = {r.EnableRotation, r.EnableContinuous, r.BlankScreen,
                                r.NumberPoints,   r.CLSTimer,         r.AnimationTimer};
    for (int i = 0; i < 6; i++)
        PutDword(kFieldNames[i], values[i]);
}

StoredValue GetValue(const char* name)
{
    StoredValue v = {false, REG_NONE, ""};
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return v;
    char data[256];
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &v.type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS) {
        v.present = true;
        v.data.assign(data, size);
    }
    RegCloseKey(key);
    return v;
}

std::string DescribeValue(const char* name)
{
    const StoredValue v = GetValue(name);
    if (!v.present)
        return "(missing)";
    char text[64];
    if (v.type == REG_DWORD && v.data.size() == 4) {
        uint32_t n;
        memcpy(&n, v.data.data(), 4);
        std::snprintf(text, sizeof text, "REG_DWORD %u", n);
    } else {
        std::snprintf(text, sizeof text, "type %lu, %u bytes", static_cast<unsigned long>(v.type),
                      static_cast<unsigned>(v.data.size()));
    }
    return text;
}

std::string DescribeRecord(const SaverSettingsRecord& r)
{
    char text[256];
    std::snprintf(text, sizeof text,
                  "EnableRotation=%u EnableContinuous=%u BlankScreen=%u NumberPoints=%u CLSTimer=%u AnimationTimer=%u",
                  r.EnableRotation, r.EnableContinuous, r.BlankScreen, r.NumberPoints, r.CLSTimer, r.AnimationTimer);
    return text;
}

std::string DescribeStoredRecord()
{
    std::string text;
    for (int i = 0; i < 6; i++) {
        if (i > 0)
            text += ' ';
        const std::string v = DescribeValue(kFieldNames[i]);
        text += std::string(kFieldNames[i]) + "=" + (v.rfind("REG_DWORD ", 0) == 0 ? v.substr(10) : "<" + v + ">");
    }
    return text;
}
