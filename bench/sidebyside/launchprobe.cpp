// launchprobe: starts a program on the X display in $DISPLAY and times it from launch until a
// mapped top-level window whose caption contains the given text exists; then lets the program run
// a moment longer (so work it does right after showing its window counts), ends it and prints
//   <milliseconds until the window> <peak resident memory in KiB>
// Usage: launchprobe <caption text> <settle ms> <timeout ms> <program> [arguments...]
// Exit status 0 on success, 1 when no such window appeared in time, 2 on a usage or X error.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

using Clock = std::chrono::steady_clock;

int ignoreErrors(Display *, XErrorEvent *)
{
    return 0; // windows may vanish between an event and the question about them
}

std::string captionOf(Display *dpy, Window w, Atom netWmName, Atom utf8)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    std::string name;
    if (XGetWindowProperty(dpy, w, netWmName, 0, 4096, False, utf8, &type, &format, &count, &after,
                           &data) == Success &&
        data) {
        name.assign(reinterpret_cast<char *>(data), count);
        XFree(data);
    }
    if (name.empty()) {
        char *legacy = nullptr;
        if (XFetchName(dpy, w, &legacy) && legacy) {
            name = legacy;
            XFree(legacy);
        }
    }
    return name;
}

bool isWanted(Display *dpy, Window w, const std::string &want, Atom netWmName, Atom utf8)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy, w, &a) || a.map_state != IsViewable)
        return false;
    return captionOf(dpy, w, netWmName, utf8).find(want) != std::string::npos;
}

long elapsedMs(Clock::time_point since)
{
    return long(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 5) {
        std::fputs("usage: launchprobe <caption text> <settle ms> <timeout ms> <program> [args]\n",
                   stderr);
        return 2;
    }
    const std::string want = argv[1];
    const long settleMs = std::atol(argv[2]);
    const long timeoutMs = std::atol(argv[3]);
    Display *dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fputs("launchprobe: cannot open the display\n", stderr);
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    const Atom netWmName = XInternAtom(dpy, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    const Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, False);

    const Clock::time_point launched = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[4], argv + 4);
        std::perror("launchprobe: exec");
        _exit(127);
    }
    long foundAfter = -1;
    const int fd = ConnectionNumber(dpy);
    while (foundAfter < 0 && elapsedMs(launched) < timeoutMs) {
        while (XPending(dpy)) {
            XEvent e;
            XNextEvent(dpy, &e);
            Window w = None;
            if (e.type == CreateNotify) {
                XSelectInput(dpy, e.xcreatewindow.window, PropertyChangeMask);
                w = e.xcreatewindow.window;
            } else if (e.type == MapNotify) {
                w = e.xmap.window;
            } else if (e.type == PropertyNotify) {
                w = e.xproperty.window;
            }
            if (w != None && isWanted(dpy, w, want, netWmName, utf8)) {
                foundAfter = elapsedMs(launched);
                break;
            }
        }
        if (foundAfter >= 0)
            break;
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fputs("launchprobe: the program ended before showing its window\n", stderr);
            return 1;
        }
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 20);
    }
    if (foundAfter >= 0 && settleMs > 0)
        usleep(useconds_t(settleMs) * 1000);
    kill(child, SIGKILL);
    int status = 0;
    rusage usage{};
    while (wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    XCloseDisplay(dpy);
    if (foundAfter < 0) {
        std::fprintf(stderr, "launchprobe: no window with \"%s\" within %ld ms\n", want.c_str(),
                     timeoutMs);
        return 1;
    }
    std::printf("%ld %ld\n", foundAfter, usage.ru_maxrss);
    return 0;
}
