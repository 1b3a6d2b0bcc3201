// The other process of the desktop-window tests: finds, messages and raises windows by title.
//   DesktopPeer find TITLE | copy TITLE TEXT [TIMEOUT_MS] | message TITLE NAME W L | broadcast NAME W L
//               | raise TITLE | close TITLE | minimized TITLE | show TITLE DELAY_MS SECONDS
// "show" maps a plain X window titled TITLE after DELAY_MS and keeps it for SECONDS (a program that
// shows its window a little after it started).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/HandOver.h"
#include "platform/DesktopWindows.h"

using namespace platform;

namespace {

int ShowWindow(const char* title, int delayMs, int seconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    Display* d = XOpenDisplay(nullptr);
    if (!d) return 3;
    const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 40, 40, 160, 60, 0, 0, 0);
    XStoreName(d, w, title);
    XChangeProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(title), static_cast<int>(std::strlen(title)));
    XMapWindow(d, w);
    XFlush(d);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    XCloseDisplay(d);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 64;
    const std::string cmd = argv[1];
    if (cmd == "show" && argc == 5) return ShowWindow(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    if (cmd == "broadcast" && argc == 5) {
        return BroadcastRegisteredMessage(RegisterWindowMessage(argv[2]), std::strtoul(argv[3], nullptr, 10),
                                          std::strtol(argv[4], nullptr, 10)) ? 0 : 2;
    }
    const DesktopWindow w = FindTopLevelWindow(argv[2]);
    if (cmd == "find") {
        std::printf("%lu\n", w);
        return 0;
    }
    if (!w) return 1;
    if (cmd == "copy" && argc >= 4) {
        auto record = app::EncodeHandOverRecord(argv[3]);
        if (!record) return 3;
        const int timeout = argc >= 5 ? std::atoi(argv[4]) : 5000;
        return SendCopyData(w, 7, *record, timeout) ? 0 : 2;
    }
    if (cmd == "message" && argc == 6) {
        return SendRegisteredMessage(w, RegisterWindowMessage(argv[3]), std::strtoul(argv[4], nullptr, 10),
                                     std::strtol(argv[5], nullptr, 10)) ? 0 : 2;
    }
    if (cmd == "raise") {
        RestoreAndRaise(w);
        return 0;
    }
    if (cmd == "close") {
        PostCloseRequest(w);
        return 0;
    }
    if (cmd == "minimized") return IsMinimized(w) ? 0 : 5;
    return 64;
}
