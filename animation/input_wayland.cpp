// input_wayland.cpp - the seat's keyboard and pointer, their input handed
// on to the caller's input calls: keys, buttons and wheels as they are
// pressed and turned, and pointer positions in the compositor's global
// space (the output's logical position plus the surface-local position),
// so that moving from one output's surface to the next is the motion it
// is, and a surface appearing under a still pointer (an enter) is a
// position like any other. An output that moves or goes away is told as a
// layout change.
#include <unistd.h>

#include <algorithm>

#include "animation/client_wayland.h"

static void PointerAt(WaylandClient* c, wl_fixed_t sx, wl_fixed_t sy)
{
    if (!c->pointerOver)
        return;
    const int64_t x = c->pointerOver->x + wl_fixed_to_int(sx);
    const int64_t y = c->pointerOver->y + wl_fixed_to_int(sy);
    c->input.pointer(c->input.context, x, y);
}

void WaylandLayoutChanged(WaylandClient* c)
{
    if (c->hearInput)
        c->input.layoutChanged(c->input.context);
}

static void OnPointerEnter(void* data, wl_pointer* pointer, uint32_t serial, wl_surface* surface, wl_fixed_t sx,
                           wl_fixed_t sy)
{
    auto* c = static_cast<WaylandClient*>(data);
    wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);  // no cursor over the pictures
    c->pointerOver = surface ? static_cast<WaylandOutput*>(wl_surface_get_user_data(surface)) : nullptr;
    PointerAt(c, sx, sy);
}

static void OnPointerLeave(void* data, wl_pointer*, uint32_t, wl_surface*)
{
    static_cast<WaylandClient*>(data)->pointerOver = nullptr;
}

static void OnPointerMotion(void* data, wl_pointer*, uint32_t, wl_fixed_t sx, wl_fixed_t sy)
{
    PointerAt(static_cast<WaylandClient*>(data), sx, sy);
}

static void OnPointerButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state)
{
    auto* c = static_cast<WaylandClient*>(data);
    if (state == WL_POINTER_BUTTON_STATE_PRESSED)
        c->input.button(c->input.context);
}

static void OnPointerAxis(void* data, wl_pointer*, uint32_t, uint32_t, wl_fixed_t)
{
    auto* c = static_cast<WaylandClient*>(data);
    c->input.wheel(c->input.context);
}

static void OnPointerFrame(void*, wl_pointer*) {}
static void OnPointerAxisSource(void*, wl_pointer*, uint32_t) {}
static void OnPointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
static void OnPointerAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}

// Empty, then filled by name: newer libwayland declares the events of later
// seat versions too, which a seat bound at version 5 never sends.
static constexpr wl_pointer_listener PointerListener = [] {
    wl_pointer_listener l = {};
    l.enter = OnPointerEnter;
    l.leave = OnPointerLeave;
    l.motion = OnPointerMotion;
    l.button = OnPointerButton;
    l.axis = OnPointerAxis;
    l.frame = OnPointerFrame;
    l.axis_source = OnPointerAxisSource;
    l.axis_stop = OnPointerAxisStop;
    l.axis_discrete = OnPointerAxisDiscrete;
    return l;
}();

static void OnKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t)
{
    close(fd);  // keys are not told apart
}

static void OnKeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}  // keys held already: no
static void OnKeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}

static void OnKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t state)
{
    auto* c = static_cast<WaylandClient*>(data);
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED)
        c->input.key(c->input.context);
}

static void OnModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
static void OnRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}

static const wl_keyboard_listener KeyboardListener = {OnKeymap,    OnKeyboardEnter, OnKeyboardLeave,
                                                      OnKey,       OnModifiers,     OnRepeatInfo};

static void DropKeyboard(WaylandClient* c)
{
    if (!c->keyboard)
        return;
    if (c->seatVersion >= WL_KEYBOARD_RELEASE_SINCE_VERSION)
        wl_keyboard_release(c->keyboard);
    else
        wl_keyboard_destroy(c->keyboard);
    c->keyboard = nullptr;
}

static void DropPointer(WaylandClient* c)
{
    if (!c->pointer)
        return;
    if (c->seatVersion >= WL_POINTER_RELEASE_SINCE_VERSION)
        wl_pointer_release(c->pointer);
    else
        wl_pointer_destroy(c->pointer);
    c->pointer = nullptr;
    c->pointerOver = nullptr;
}

// Devices come and go (a virtual keyboard exists only while it types).
static void OnCapabilities(void* data, wl_seat* seat, uint32_t caps)
{
    auto* c = static_cast<WaylandClient*>(data);
    if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) && !c->keyboard) {
        c->keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(c->keyboard, &KeyboardListener, c);
    } else if (!(caps & WL_SEAT_CAPABILITY_KEYBOARD)) {
        DropKeyboard(c);
    }
    if ((caps & WL_SEAT_CAPABILITY_POINTER) && !c->pointer) {
        c->pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(c->pointer, &PointerListener, c);
    } else if (!(caps & WL_SEAT_CAPABILITY_POINTER)) {
        DropPointer(c);
    }
}

static void OnSeatName(void*, wl_seat*, const char*) {}

static const wl_seat_listener SeatListener = {OnCapabilities, OnSeatName};

void WaylandBindSeat(WaylandClient* c, uint32_t name, uint32_t version)
{
    if (c->seat)
        return;  // the first seat only
    c->seatName = name;
    c->seatVersion = std::min<uint32_t>(version, 5);
    c->seat = static_cast<wl_seat*>(wl_registry_bind(c->registry, name, &wl_seat_interface, c->seatVersion));
    wl_seat_add_listener(c->seat, &SeatListener, c);
}

void WaylandReleaseSeat(WaylandClient* c)
{
    if (!c->seat)
        return;
    DropKeyboard(c);
    DropPointer(c);
    if (c->seatVersion >= WL_SEAT_RELEASE_SINCE_VERSION)
        wl_seat_release(c->seat);
    else
        wl_seat_destroy(c->seat);
    c->seat = nullptr;
}
