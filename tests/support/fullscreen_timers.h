// fullscreen_timers.h - whether the platform delivers timer messages to a
// full-screen window in the foreground, as the saver's animation needs.
// Wine 10's 32-bit programs on a single monitor answer no: they clip the
// cursor to such a window again and again, and the clip messages keep the
// queue from ever being empty, which a timer message waits for.
#pragma once

// Opens a full-screen topmost popup of its own, brings it to the
// foreground, and waits up to ms for a 10 ms timer to fire; true when it
// did. The window is gone again on return.
bool FullScreenWindowGetsTimers(unsigned ms);
