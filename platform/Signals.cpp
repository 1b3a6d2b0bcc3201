#include "platform/Signals.h"

#include <X11/Xlib.h>
#include <gdk/gdk.h>
#include <glib-unix.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>

namespace platform {

namespace {

std::function<void(int)>& TerminateHandler() {
    static std::function<void(int)> handler;
    return handler;
}

std::function<void()>& LostHandler() {
    static std::function<void()> handler;
    return handler;
}

gboolean OnSignal(gpointer data) {
    const int sig = GPOINTER_TO_INT(data);
    if (TerminateHandler()) TerminateHandler()(sig);
    return G_SOURCE_CONTINUE;
}

bool g_lost = false;
int OnIoError(Display*) {
    // Xlib ends the process when this returns; end it ourselves once the settings are safe.
    if (!g_lost) {
        g_lost = true;
        if (LostHandler()) LostHandler()();
    }
    std::fflush(stderr);
    _exit(0);
}

}  // namespace

void SelectX11Backend() { gdk_set_allowed_backends("x11"); }

void InstallTerminationHandler(std::function<void(int)> onTerminate) {
    TerminateHandler() = std::move(onTerminate);
    static bool installed = false;
    if (installed) return;
    installed = true;
    for (int sig : {SIGTERM, SIGHUP, SIGINT}) g_unix_signal_add(sig, OnSignal, GINT_TO_POINTER(sig));
}

void InstallDisplayLostHandler(std::function<void()> onLost) {
    LostHandler() = std::move(onLost);
    XSetIOErrorHandler(OnIoError);
}

}  // namespace platform
