// settings_load_fuzz.cpp - the settings load rule over arbitrary stored
// contents: the key present or not, each of the six values present or not,
// of any type, 0 to 16 bytes long, any bytes. The model answers as
// RegQueryValueExA does (more data than the buffer: ERROR_MORE_DATA with the
// size reported and the buffer's contents undefined), and is hostile where
// the contract allows it. A field must change exactly when its value is
// stored with exactly 4 bytes, and then to those bytes, little-endian.
//
// Input: a flags byte (bit 0: the key exists; bit 1: what saving returns),
// the record before the load (6 x 4 bytes), then per value a header byte
// (bit 0: present; the rest modulo 17: its length), 4 type bytes and the
// data. Input that runs out reads as zeros.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "settings/settings.h"
#include "settings/settings_load.h"

namespace {

const long kFileNotFound = 2;  // ERROR_FILE_NOT_FOUND
const long kMoreData = 234;    // ERROR_MORE_DATA

const char* const kNames[6] = {"EnableRotation", "EnableContinuous", "BlankScreen",
                               "NumberPoints",   "CLSTimer",         "AnimationTimer"};

struct Reader {
    const uint8_t* data;
    size_t size, at;
    uint8_t Byte() { return at < size ? data[at++] : 0; }
    uint32_t Word()
    {
        uint32_t w = 0;
        for (int i = 0; i < 4; i++)
            w |= static_cast<uint32_t>(Byte()) << (8 * i);
        return w;
    }
};

struct StoredValue {
    bool present;
    uint32_t type;  // any type: the rule does not look at it
    uint32_t length;
    uint8_t bytes[16];
};

struct Registry {
    bool keyExists;
    int saveResult;
    StoredValue values[6];
    // What the rule did with it.
    int opens, queries, closes, saves;
    bool open;
};

Registry g_registry;

void Fail()
{
    std::abort();
}

int Open(void*)
{
    if (g_registry.open)
        Fail();
    g_registry.opens++;
    g_registry.open = g_registry.keyExists;
    return g_registry.keyExists ? 1 : 0;
}

long Query(void*, const char* name, unsigned char* buffer, uint32_t* size)
{
    // Six queries, in record order, on the open key, each with 4 bytes.
    if (!g_registry.open || g_registry.queries >= 6 || std::strcmp(name, kNames[g_registry.queries]) != 0 ||
        *size != 4)
        Fail();
    const StoredValue& v = g_registry.values[g_registry.queries++];
    if (!v.present) {
        // Failure statuses promise nothing about the outputs.
        std::memset(buffer, 0xA5, *size);
        *size = 4;
        return kFileNotFound;
    }
    if (v.length > *size) {
        std::memcpy(buffer, v.bytes, *size);  // contents undefined: part of the data
        *size = v.length;
        return kMoreData;
    }
    std::memcpy(buffer, v.bytes, v.length);
    *size = v.length;
    return kSettingsQueryOk;
}

void Close(void*)
{
    if (!g_registry.open || g_registry.queries != 6)
        Fail();
    g_registry.open = false;
    g_registry.closes++;
}

int Save(void*)
{
    g_registry.saves++;
    return g_registry.saveResult;
}

uint32_t Field(const SaverSettingsRecord& r, int i)
{
    const uint32_t fields[6] = {r.EnableRotation, r.EnableContinuous, r.BlankScreen,
                                r.NumberPoints,   r.CLSTimer,         r.AnimationTimer};
    return fields[i];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in = {data, size, 0};
    g_registry = {};
    const uint8_t flags = in.Byte();
    g_registry.keyExists = flags & 1;
    g_registry.saveResult = flags >> 1 & 1;
    SaverSettingsRecord before;
    before.EnableRotation = in.Word();
    before.EnableContinuous = in.Word();
    before.BlankScreen = in.Word();
    before.NumberPoints = in.Word();
    before.CLSTimer = in.Word();
    before.AnimationTimer = in.Word();
    for (StoredValue& v : g_registry.values) {
        const uint8_t header = in.Byte();
        v.present = header & 1;
        v.length = (header >> 1) % 17;
        v.type = in.Word();
        for (uint32_t i = 0; i < v.length; i++)
            v.bytes[i] = in.Byte();
    }

    SaverSettingsRecord record = before;
    const SettingsSource source = {nullptr, Open, Query, Close, Save};
    const int result = LoadSettingsFrom(&source, &record);

    if (g_registry.opens != 1 || g_registry.open)
        Fail();
    if (!g_registry.keyExists) {
        // Nothing to read: the record is saved as it stands and kept.
        if (result != g_registry.saveResult || g_registry.saves != 1 || g_registry.queries != 0 ||
            g_registry.closes != 0 || std::memcmp(&record, &before, sizeof before) != 0)
            Fail();
        return 0;
    }
    if (result != 1 || g_registry.saves != 0 || g_registry.queries != 6 || g_registry.closes != 1)
        Fail();
    for (int i = 0; i < 6; i++) {
        const StoredValue& v = g_registry.values[i];
        uint32_t want = Field(before, i);
        if (v.present && v.length == 4)
            want = static_cast<uint32_t>(v.bytes[0]) | static_cast<uint32_t>(v.bytes[1]) << 8 |
                   static_cast<uint32_t>(v.bytes[2]) << 16 | static_cast<uint32_t>(v.bytes[3]) << 24;
        if (Field(record, i) != want)
            Fail();
    }
    return 0;
}
