// The other process of the desktop-window tests: finds, messages and raises windows by title.
//   DesktopPeer find TITLE | copy TITLE TEXT [TIMEOUT_MS] | message TITLE NAME W L | broadcast NAME W L
//               | raise TITLE | close TITLE | minimized TITLE
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/HandOver.h"
#include "platform/DesktopWindows.h"

using namespace platform;

int main(int argc, char** argv) {
    if (argc < 3) return 64;
    const std::string cmd = argv[1];
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
