// launchprobe: starts a program on the X display in $DISPLAY and times it from launch until a
// mapped top-level window whose caption contains the given text exists, and on until it has
// settled: the moment its CPU time stops growing for <quiet ms> (so the work it does after
// showing its window, loading and colouring, counts). Then it ends the program and prints
//   <milliseconds until the window> <milliseconds until settled> <peak resident memory in KiB>
// Usage: launchprobe <caption text> <quiet ms> <timeout ms> <program> [arguments...]
// Exit status 0 on success, 1 when no such window appeared in time, 2 on a usage or X error.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <poll.h>
#include <sstream>
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

// The process's CPU time (user and system, all its threads) in clock ticks, or -1.
long long cpuTicks(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return -1;
    // The command name in parentheses may hold spaces: the fields are counted after its end.
    const auto close = line.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(line.substr(close + 2));
    std::string field;
    long long utime = 0;
    long long stime = 0;
    for (int n = 3; fields >> field; ++n) {
        if (n == 14)
            utime = std::atoll(field.c_str());
        if (n == 15) {
            stime = std::atoll(field.c_str());
            break;
        }
    }
    return utime + stime;
}

// Waits until the CPU time of pid has grown by at most one tick (a blinking caret) during quietMs;
// returns the milliseconds since launched at which that quiet stretch began, or -1 on timeout.
long settledAt(pid_t pid, long quietMs, Clock::time_point launched, long timeoutMs)
{
    struct Sample {
        long ms;
        long long ticks;
    };
    std::deque<Sample> samples;
    while (elapsedMs(launched) < timeoutMs) {
        const long long ticks = cpuTicks(pid);
        if (ticks < 0)
            return -1;
        const long now = elapsedMs(launched);
        samples.push_back({now, ticks});
        while (samples.size() > 1 && now - samples[1].ms >= quietMs)
            samples.pop_front();
        if (now - samples.front().ms >= quietMs && ticks - samples.front().ticks <= 1)
            return samples.front().ms;
        usleep(20 * 1000);
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 5) {
        std::fputs("usage: launchprobe <caption text> <quiet ms> <timeout ms> <program> [args]\n",
                   stderr);
        return 2;
    }
    const std::string want = argv[1];
    const long quietMs = std::atol(argv[2]);
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
    const long settled = foundAfter >= 0 ? settledAt(child, quietMs, launched, timeoutMs) : -1;
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
    if (settled < 0) {
        std::fprintf(stderr, "launchprobe: the program did not settle within %ld ms\n", timeoutMs);
        return 1;
    }
    std::printf("%ld %ld %ld\n", foundAfter, std::max(settled, foundAfter), usage.ru_maxrss);
    return 0;
}
