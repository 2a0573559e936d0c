// settings_load.h - LoadSettings' rule, free of any platform, over a
// source of stored values: the registry store runs it over the current
// user's registry key, the fuzz target over a model of arbitrary contents.
#pragma once

#include <cstdint>

#include "settings/settings.h"

constexpr long kSettingsQueryOk = 0;  // a query's success status (the platform's ERROR_SUCCESS)

// The stored settings. query keeps RegQueryValueExA's contract: it reads the
// value `name` into buffer, which holds *size bytes; when the value exists
// and fits it returns kSettingsQueryOk with *size set to the data's length;
// otherwise it returns another status, and for data longer than the buffer
// sets *size to that length, leaving the buffer's contents undefined.
struct SettingsSource {
    void* context;                   // passed to every call
    int (*open)(void* context);      // 1 when the stored settings exist and are now open for reading
    long (*query)(void* context, const char* name, unsigned char* buffer, uint32_t* size);
    void (*close)(void* context);    // after a successful open, once the queries are done
    int (*save)(void* context);      // stores the record as it stands: 1 or 0
};

// LoadSettings over source. Where nothing can be opened it saves the record
// as it stands and returns that result, querying nothing. Otherwise it
// queries the six values in record order, each into a scratch 4-byte value
// with a buffer size of 4, and copies it (little-endian, whatever its type)
// into the record only when the query succeeds with exactly 4 bytes;
// any other outcome leaves every byte of the field as it was. Returns 1.
int LoadSettingsFrom(const SettingsSource* source, SaverSettingsRecord* record);
