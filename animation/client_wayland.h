// client_wayland.h - the records of the Wayland client behind
// display_wayland.h: the connection with the globals it binds, and one
// record per output with its surface, its picture and its buffers. Shared
// by the files that fill them: display_wayland.cpp (connection, globals,
// loop), output_wayland.cpp (outputs, surfaces, presenting), shm_wayland.cpp
// (buffers), input_wayland.cpp (the seat, its input handed on).
#pragma once

#include <wayland-client.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "animation/display_wayland.h"
#include "engine/surface.h"
#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

constexpr int WaylandBufferCount = 3;  // per output: one shown, one queued, one to draw in

struct WaylandBuffer {
    wl_buffer* buffer;
    uint32_t* pixels;        // in the output's pool
    bool held;               // attached, and not yet released by the compositor
    bool stale;              // staleRect changed since this buffer was last brought up to date
    SurfaceRect staleRect;
};

struct WaylandClient;

struct WaylandOutput {
    WaylandClient* client;
    uint32_t globalName;     // in the registry
    uint32_t index;          // announce order: 0 for the first output, 1 for the next, ...
    wl_output* output;
    uint32_t outputVersion;
    zxdg_output_v1* xdgOutput;
    char name[64];
    int32_t scale;           // wl_output.scale
    int32_t transform;       // wl_output.transform: odd ones turn the mode a quarter
    int32_t modeWidth, modeHeight;  // the current mode, device pixels
    int32_t outputWidth, outputHeight;  // its logical size, from xdg-output (0: not given)
    int32_t x, y;            // where it lies in the compositor's global space
    bool described;          // the first wl_output.done has come

    wl_surface* surface;
    zwlr_layer_surface_v1* layerSurface;  // one of these two roles
    xdg_surface* xdgSurface;
    xdg_toplevel* toplevel;
    wp_viewport* viewport;                  // these two where the compositor offers both
    wp_fractional_scale_v1* fractionalScale;
    uint32_t preferredScale; // the compositor's for this surface, in 120ths (0: not said yet)
    bool closed;             // the compositor removed the surface: none again here
    bool configured;
    int32_t logicalWidth, logicalHeight;  // from the last configure (0: not given)
    int32_t bufferScale;     // set on the surface
    int32_t viewWidth, viewHeight;  // the viewport's destination (0: none set)

    void* picture;           // the caller's
    int32_t width, height;   // device pixels of the picture and the buffers
    int poolFd;
    wl_shm_pool* pool;
    void* memory;
    size_t memoryBytes;
    WaylandBuffer buffers[WaylandBufferCount];
    int shown;               // the buffer committed last, or -1
    wl_callback* frame;      // the frame callback of the last commit, until it is done
    bool changed;            // the picture may have something new to show
};

struct WaylandClient {
    WaylandPictureCalls calls;
    WaylandInputCalls input;     // all null when input is not heard
    bool hearInput;
    WaylandOptions options;
    wl_display* display;
    wl_registry* registry;
    wl_compositor* compositor;
    uint32_t compositorVersion;
    wl_shm* shm;
    zwlr_layer_shell_v1* layerShell;
    xdg_wm_base* wmBase;
    zxdg_output_manager_v1* xdgOutputManager;
    wp_viewporter* viewporter;
    wp_fractional_scale_manager_v1* fractionalScaleManager;
    wl_seat* seat;
    uint32_t seatName, seatVersion;
    wl_keyboard* keyboard;
    wl_pointer* pointer;
    std::vector<WaylandOutput*> outputs;
    uint32_t announced;      // outputs announced so far
    bool ready;              // the first globals and their descriptions are in: surfaces may be made
    WaylandOutput* pointerOver;  // the output whose surface has the pointer, or null
    bool end;
    int status;
};

void WaylandEnd(WaylandClient* c, int status);

// output_wayland.cpp
WaylandOutput* WaylandAddOutput(WaylandClient* c, uint32_t globalName, uint32_t version);
void WaylandDescribeOutput(WaylandClient* c, WaylandOutput* o);  // xdg-output, when offered
void WaylandMakeSurface(WaylandOutput* o);  // once the output is described and the client ready
void WaylandRemoveOutput(WaylandClient* c, WaylandOutput* o);
bool WaylandCanTakeFrame(const WaylandOutput* o);  // a picture, a frame asked for, a free buffer
void WaylandPresent(WaylandOutput* o);      // the next frame, when the compositor can take one

// shm_wayland.cpp
bool WaylandMakeBuffers(WaylandOutput* o, int32_t width, int32_t height);
void WaylandFreeBuffers(WaylandOutput* o);
int WaylandFreeBuffer(const WaylandOutput* o);  // a buffer the compositor does not hold, or -1
void WaylandMarkDrawn(WaylandOutput* o, int b, const SurfaceRect& damage);  // the others miss damage

// input_wayland.cpp
void WaylandBindSeat(WaylandClient* c, uint32_t name, uint32_t version);
void WaylandReleaseSeat(WaylandClient* c);
void WaylandLayoutChanged(WaylandClient* c);  // an output moved or went: told to the input calls
