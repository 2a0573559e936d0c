// registry_helpers.h - direct access to the saver's registry key for tests:
// clean it, plant values of any type and size, read back what is stored.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "settings/settings.h"

extern const char kSettingsKeyPath[];  // "Software\Glimra\Zorv" under HKEY_CURRENT_USER

void DeleteSettingsKey();      // removes the key (no error if absent)
bool SettingsKeyExists();
std::string SettingsKeyClass();  // the key's class string, read with RegQueryInfoKeyA

void PutValue(const char* name, DWORD type, const void* data, DWORD size);  // creates the key as needed
void PutDword(const char* name, uint32_t value);
void PutRecord(const SaverSettingsRecord& r);  // the six fields as REG_DWORD values

// One stored value as it is: present or not, its type and data.
struct StoredValue {
    bool present;
    DWORD type;
    std::string data;
};
StoredValue GetValue(const char* name);

// "REG_DWORD 1234" for a 4-byte REG_DWORD, else a description of what is there.
std::string DescribeValue(const char* name);

// The record as "EnableRotation=1 EnableContinuous=1 ..." for readable comparisons.
std::string DescribeRecord(const SaverSettingsRecord& r);

// The six stored values described in record order, in the same form.
std::string DescribeStoredRecord();
