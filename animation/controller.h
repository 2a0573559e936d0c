// controller.h - runs one saver picture in a window.
//
// Everything one running picture needs is in its SaverRecord, which the
// front end owns and hands to every call; any number of records may run
// side by side. SaverInit fills a record with the defaults for a window;
// SaverStart builds everything (settings, seed, surface, buffers, two
// timers, the first attractor); then the platform calls FrameTick every
// AnimationTimer ms and ClearTick every CLSTimer ms; SaverResize follows a
// new window size; SaverTeardown releases what was built. Written once for
// every platform, over platform.h.
//
//   SaverRecord saver;
//   SaverInit(&saver, window);
//   saver.Settings = ...;          // where the program, not LoadSettings, has them
//   SaverStart(&saver);
//   ... the platform's timers run FrameTick(&saver) and ClearTick(&saver) ...
//   SaverTeardown(&saver);
#pragma once

#include "animation/platform.h"
#include "animation/timer_schedule.h"
#include "engine/attractor.h"
#include "engine/render.h"
#include "engine/surface.h"
#include "settings/settings.h"

constexpr unsigned FrameTimerId = 1;  // FrameTick, every AnimationTimer ms
constexpr unsigned ClearTimerId = 2;  // ClearTick, every CLSTimer ms

struct SaverRecord {
    SaverWindow Window;               // the platform's window the picture is drawn in
    SaverSettingsRecord Settings;     // loaded at start-up (LoadSettings)
    bool ReadOnlySettings;            // start-up reads them with ReadSettings: a first run stores nothing
    RandomStream Random;              // seeded at start-up with the calendar time
    ViewStateRecord View;             // angles, spin, scale, eye and centre

    bool Ready;                       // start-up complete and no clear tick running
    ::Colour Colour;                  // colour of the current attractor
    OffscreenSurface* Surface;        // the platform's off-screen surface (null: missing)
    SurfaceRect ClientRect;           // client rectangle read at start-up; every clear fills it
    MapSet* Maps;                     // MapCount maps
    PointCloud* Cloud;                // PointCount points
    uint32_t PointCount;              // points Cloud was allocated for: NumberPoints at start-up

    // What start-up created beyond the pointers above, so that teardown
    // stops only those timers.
    bool Started;
    bool FrameTimerRunning, ClearTimerRunning;
    TimerSchedule Timers[TimerSlots];  // the timers by id, on the platforms that run their own clock
};

void SaverInit(SaverRecord* saver, SaverWindow window);  // defaults, unseeded stream, initial view; builds nothing
void SaverStart(SaverRecord* saver);      // on window creation; failures show a box and quit with -1.
                                          // A second start first tears down the first.
void FrameTick(SaverRecord* saver);       // timer 1: draw a frame and show it
void ClearTick(SaverRecord* saver);       // timer 2: wipe the picture, start a new attractor
void SaverResize(SaverRecord* saver);     // the window changed size: a new black surface of the new
                                          // size, centre and depth scale; settings and stream untouched
void SaverTeardown(SaverRecord* saver);   // on window destruction; releases only what start-up built, once
