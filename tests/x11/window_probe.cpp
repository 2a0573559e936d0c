// window_probe.cpp - a window for the X11 saver's tests to draw into and
// to resize and destroy under it. Reads commands from standard input and
// answers each with one line once the X server has done it:
//   create X Y W H   a black top-level window; answers its id (0x...)
//   resize W H       answers "ok"
//   destroy          answers "ok"
// Exits at the end of its input.
#include <X11/Xlib.h>

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
        if (std::sscanf(line, "create %d %d %d %d", &x, &y, &width, &height) == 4) {
            XSetWindowAttributes a = {};
            a.background_pixel = BlackPixel(d, DefaultScreen(d));
            a.override_redirect = True;  // placed where asked, window manager or not
            w = XCreateWindow(d, DefaultRootWindow(d), x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                              CWBackPixel | CWOverrideRedirect, &a);
            XMapWindow(d, w);
            XSync(d, False);
            std::printf("0x%lx\n", w);
        } else if (std::sscanf(line, "resize %d %d", &width, &height) == 2) {
            XResizeWindow(d, w, static_cast<unsigned>(width), static_cast<unsigned>(height));
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
