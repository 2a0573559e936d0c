// window_probe.cpp - a window for the X11 saver's tests to draw into and
// to resize and destroy under it. Reads commands from standard input and
// answers each with one line once the X server has done it:
//   create X Y W H   a black top-level window; answers its id (0x...)
//   create32 X Y W H the same on a TrueColor visual of depth 32 (with alpha)
//   resize W H       answers "ok"
//   resources PID    answers how many X resources (windows, GCs, pixmaps,
//                    shared segments, ...) the clients of process PID hold
//   transparent      answers how many pixels of the window are not opaque
//                    (alpha byte below 0xFF; depth-32 windows only)
//   close ID         asks window ID to close as a window manager does
//                    (WM_DELETE_WINDOW); answers "ok"
//   message ID       sends window ID a client message of another type than
//                    WM_PROTOCOLS, with 0 as its first datum; answers "ok"
//   grab             grabs the keyboard and the pointer and keeps what it
//                    got; answers both results ("0 0": both grabbed,
//                    1: another client holds it)
//   ungrab           releases them; answers "ok"
//   unmap ID, map ID answers "ok"
//   destroy          answers "ok"
// Exits at the end of its input.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>

#include <cstdio>
#include <cstring>

int main()
{
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "window_probe: no display\n");
        return 1;
    }
    Window w = 0;
    char line[128];
    while (std::fgets(line, sizeof line, stdin)) {
        int x = 0, y = 0, width = 0, height = 0;
        long other = 0;
        const bool deep = std::sscanf(line, "create32 %d %d %d %d", &x, &y, &width, &height) == 4;
        if (deep || std::sscanf(line, "create %d %d %d %d", &x, &y, &width, &height) == 4) {
            XSetWindowAttributes a = {};
            a.background_pixel = BlackPixel(d, DefaultScreen(d));
            a.override_redirect = True;  // placed where asked, window manager or not
            unsigned long mask = CWBackPixel | CWOverrideRedirect;
            XVisualInfo info = {};
            int depth = CopyFromParent;
            Visual* visual = CopyFromParent;
            if (deep) {
                if (!XMatchVisualInfo(d, DefaultScreen(d), 32, TrueColor, &info)) {
                    std::printf("no depth-32 visual\n");
                    std::fflush(stdout);
                    continue;
                }
                depth = 32;
                visual = info.visual;
                a.background_pixel = 0xFF000000u;
                a.border_pixel = 0;
                a.colormap = XCreateColormap(d, DefaultRootWindow(d), visual, AllocNone);
                mask |= CWBorderPixel | CWColormap;
            }
            w = XCreateWindow(d, DefaultRootWindow(d), x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), 0, depth, InputOutput, visual, mask, &a);
            XMapWindow(d, w);
            XSync(d, False);
            std::printf("0x%lx\n", w);
        } else if (std::sscanf(line, "resize %d %d", &width, &height) == 2) {
            XResizeWindow(d, w, static_cast<unsigned>(width), static_cast<unsigned>(height));
            XSync(d, False);
            std::printf("ok\n");
        } else if (std::sscanf(line, "resources %ld", &other) == 1) {
            XResClientIdSpec all = {None, XRES_CLIENT_ID_PID_MASK};
            long num = 0;
            XResClientIdValue* ids = nullptr;
            long total = -1;  // -1: no client of that process
            if (XResQueryClientIds(d, 1, &all, &num, &ids) == Success) {
                for (long i = 0; i < num; i++) {
                    if (XResGetClientPid(&ids[i]) != static_cast<pid_t>(other))
                        continue;
                    int types = 0;
                    XResType* counts = nullptr;
                    if (XResQueryClientResources(d, ids[i].spec.client, &types, &counts)) {
                        total = total < 0 ? 0 : total;
                        for (int t = 0; t < types; t++)
                            total += counts[t].count;
                        XFree(counts);
                    }
                }
                XResClientIdsDestroy(num, ids);
            }
            std::printf("%ld\n", total);
        } else if (std::strncmp(line, "transparent", 11) == 0) {
            XWindowAttributes wa = {};
            XGetWindowAttributes(d, w, &wa);
            XImage* image = XGetImage(d, w, 0, 0, static_cast<unsigned>(wa.width), static_cast<unsigned>(wa.height),
                                      AllPlanes, ZPixmap);
            long count = 0;
            for (int py = 0; image && py < wa.height; py++)
                for (int px = 0; px < wa.width; px++)
                    count += (XGetPixel(image, px, py) >> 24 & 0xFF) != 0xFF;
            if (image)
                XDestroyImage(image);
            std::printf("%ld\n", count);
        } else if (std::sscanf(line, "close %lx", reinterpret_cast<unsigned long*>(&other)) == 1) {
            XEvent e = {};
            e.xclient.type = ClientMessage;
            e.xclient.window = static_cast<Window>(other);
            e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
            e.xclient.format = 32;
            e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
            e.xclient.data.l[1] = CurrentTime;
            XSendEvent(d, static_cast<Window>(other), False, NoEventMask, &e);
            XSync(d, False);
            std::printf("ok\n");
        } else if (std::sscanf(line, "message %lx", reinterpret_cast<unsigned long*>(&other)) == 1) {
            XEvent e = {};
            e.xclient.type = ClientMessage;
            e.xclient.window = static_cast<Window>(other);
            e.xclient.message_type = XInternAtom(d, "ZORVANE_PROBE", False);
            e.xclient.format = 32;
            XSendEvent(d, static_cast<Window>(other), False, NoEventMask, &e);
            XSync(d, False);
            std::printf("ok\n");
        } else if (std::strncmp(line, "grab", 4) == 0) {
            const Window root = DefaultRootWindow(d);
            const int keyboard = XGrabKeyboard(d, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
            const int pointer = XGrabPointer(d, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None,
                                             CurrentTime);
            XSync(d, False);
            std::printf("%d %d\n", keyboard, pointer);
        } else if (std::strncmp(line, "ungrab", 6) == 0) {
            XUngrabKeyboard(d, CurrentTime);
            XUngrabPointer(d, CurrentTime);
            XSync(d, False);
            std::printf("ok\n");
        } else if (std::sscanf(line, "unmap %lx", reinterpret_cast<unsigned long*>(&other)) == 1 ||
                   std::sscanf(line, "map %lx", reinterpret_cast<unsigned long*>(&other)) == 1) {
            if (line[0] == 'u')
                XUnmapWindow(d, static_cast<Window>(other));
            else
                XMapWindow(d, static_cast<Window>(other));
            XSync(d, False);
            std::printf("ok\n");
        } else if (std::strncmp(line, "destroy", 7) == 0) {
            XDestroyWindow(d, w);
            XSync(d, False);
            std::printf("ok\n");
        } else {
            std::printf("unknown command\n");
        }
        std::fflush(stdout);
    }
    XCloseDisplay(d);
    return 0;
}
