// settings_load.cpp - see settings_load.h.
#include "settings/settings_load.h"

#include "settings/settings.h"

static constexpr struct {
    const char* name;
    uint32_t SaverSettingsRecord::*field;
} kLoadOrder[] = {
    {"EnableRotation", &SaverSettingsRecord::EnableRotation},
    {"EnableContinuous", &SaverSettingsRecord::EnableContinuous},
    {"BlankScreen", &SaverSettingsRecord::BlankScreen},
    {"NumberPoints", &SaverSettingsRecord::NumberPoints},
    {"CLSTimer", &SaverSettingsRecord::CLSTimer},
    {"AnimationTimer", &SaverSettingsRecord::AnimationTimer},
};

int LoadSettingsFrom(const SettingsSource* source, SaverSettingsRecord* record)
{
    if (!source->open(source->context))
        return source->save(source->context);
    for (const auto& value : kLoadOrder) {
        // A query that fails or returns fewer bytes may still have written
        // into the buffer, so it never is the field itself.
        unsigned char scratch[4] = {0, 0, 0, 0};
        uint32_t size = sizeof scratch;
        if (source->query(source->context, value.name, scratch, &size) == kSettingsQueryOk && size == sizeof scratch)
            record->*value.field = static_cast<uint32_t>(scratch[0]) | static_cast<uint32_t>(scratch[1]) << 8 |
                                   static_cast<uint32_t>(scratch[2]) << 16 |
                                   static_cast<uint32_t>(scratch[3]) << 24;
    }
    source->close(source->context);
    return 1;
}
