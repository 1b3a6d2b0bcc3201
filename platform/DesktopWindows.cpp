#include "platform/DesktopWindows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <poll.h>
#include <unistd.h>

#include <wx/timer.h>
#include <wx/window.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace platform {

namespace {

// Our own connection for finding and messaging other windows, separate from GDK's so that waiting
// for a receiver never eats events GDK expects.
std::mutex g_lock;
Display* g_display = nullptr;

Display* Connection() {
    if (!g_display) g_display = XOpenDisplay(nullptr);
    return g_display;
}

// Errors on our connection (a window that vanished) are recorded instead of ending the process.
int g_trappedError = 0;
int TrapHandler(Display*, XErrorEvent* e) {
    g_trappedError = e->error_code;
    return 0;
}
class ErrorTrap {
public:
    explicit ErrorTrap(Display* d) : d_(d) {
        XSync(d_, False);
        g_trappedError = 0;
        old_ = XSetErrorHandler(TrapHandler);
    }
    ~ErrorTrap() { Finish(); }
    // Flushes the requests and tells whether any failed.
    bool Failed() {
        XSync(d_, False);
        return g_trappedError != 0;
    }
    void Finish() {
        if (!d_) return;
        XSync(d_, False);
        XSetErrorHandler(old_);
        d_ = nullptr;
    }

private:
    Display* d_;
    int (*old_)(Display*, XErrorEvent*) = nullptr;
};

Atom InternAtom(Display* d, const char* name) { return XInternAtom(d, name, False); }

// One window property as read whole (up to `longs` 32-bit units); empty when absent or unreadable,
// and (Xlib gives no items then) when not of the requested type.
class WindowProperty {
public:
    WindowProperty(Display* d, Window w, Atom property, long longs, Atom type) {
        if (XGetWindowProperty(d, w, property, 0, longs, False, type, &type_, &format_, &count_, &after_, &data_) !=
            Success)
            data_ = nullptr;
    }
    ~WindowProperty() {
        if (data_) XFree(data_);
    }
    WindowProperty(const WindowProperty&) = delete;
    WindowProperty& operator=(const WindowProperty&) = delete;

    bool Exists() const { return type_ != None; }
    // Text (format 8), when it is that.
    std::optional<std::string> Text() const {
        if (!data_ || type_ == None || format_ != 8) return std::nullopt;
        return std::string(reinterpret_cast<const char*>(data_), count_);
    }
    // 32-bit items (windows, atoms, numbers; Xlib hands each in a long).
    std::vector<unsigned long> Items() const {
        if (!data_ || type_ == None || format_ != 32) return {};
        const auto* items = reinterpret_cast<const unsigned long*>(data_);
        return {items, items + count_};
    }

private:
    Atom type_ = None;
    int format_ = 0;
    unsigned long count_ = 0, after_ = 0;
    unsigned char* data_ = nullptr;
};

bool HasItem(const std::vector<unsigned long>& items, unsigned long wanted) {
    return std::find(items.begin(), items.end(), wanted) != items.end();
}

// The window's title: _NET_WM_NAME (UTF-8), else WM_NAME.
std::optional<std::string> TitleOf(Display* d, Window w) {
    if (auto title = WindowProperty(d, w, InternAtom(d, "_NET_WM_NAME"), 4096, InternAtom(d, "UTF8_STRING")).Text())
        return title;
    return WindowProperty(d, w, XA_WM_NAME, 4096, AnyPropertyType).Text();
}

std::vector<Window> WindowListProperty(Display* d, Window w, const char* name) {
    return WindowProperty(d, w, InternAtom(d, name), 65536, XA_WINDOW).Items();
}

std::vector<Window> Children(Display* d, Window w) {
    Window root, parent, *kids = nullptr;
    unsigned n = 0;
    std::vector<Window> out;
    if (XQueryTree(d, w, &root, &parent, &kids, &n) && kids) out.assign(kids, kids + n);
    if (kids) XFree(kids);
    return out;
}

bool HasWmState(Display* d, Window w) { return WindowProperty(d, w, InternAtom(d, "WM_STATE"), 0, AnyPropertyType).Exists(); }

// The top-level client windows: the window manager's list; else each child of the root, or, for a
// window manager that frames clients without publishing a list, the framed client inside it (the
// child carrying WM_STATE).
std::vector<Window> TopLevelWindows(Display* d) {
    Window root = DefaultRootWindow(d);
    std::vector<Window> clients = WindowListProperty(d, root, "_NET_CLIENT_LIST");
    if (!clients.empty()) return clients;
    std::vector<Window> out;
    for (Window w : Children(d, root)) {
        Window client = w;
        if (!HasWmState(d, w)) {
            for (Window c : Children(d, w)) {
                if (HasWmState(d, c)) {
                    client = c;
                    break;
                }
            }
        }
        out.push_back(client);
    }
    return out;
}

bool WmSupports(Display* d, const char* hint) {
    return HasItem(WindowProperty(d, DefaultRootWindow(d), InternAtom(d, "_NET_SUPPORTED"), 65536, XA_ATOM).Items(),
                   InternAtom(d, hint));
}

bool SendClientMessage(Display* d, Window target, Window eventWindow, Atom type, long l0, long l1, long l2,
                       long l3 = 0, long l4 = 0, long mask = NoEventMask) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = eventWindow;
    ev.xclient.message_type = type;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = l0;
    ev.xclient.data.l[1] = l1;
    ev.xclient.data.l[2] = l2;
    ev.xclient.data.l[3] = l3;
    ev.xclient.data.l[4] = l4;
    ErrorTrap trap(d);
    XSendEvent(d, target, False, mask, &ev);
    return !trap.Failed();
}

const char* kCopyDataMessage = "_MURMELO_COPYDATA";

// Atoms this process registered; only these ClientMessages go to onRegisteredMessage.
std::set<std::uint32_t>& RegisteredAtoms() {
    static std::set<std::uint32_t> atoms;
    return atoms;
}

// --- receiving side ------------------------------------------------------------------------------

struct Receiver {
    wxWindow* window = nullptr;
    GdkWindow* gdkWindow = nullptr;
    DesktopMessageHandlers handlers;
    Atom copyData = None;
};

std::map<wxWindow*, std::unique_ptr<Receiver>>& Receivers() {
    static std::map<wxWindow*, std::unique_ptr<Receiver>> receivers;
    return receivers;
}

GdkFilterReturn Filter(GdkXEvent* xevent, GdkEvent*, gpointer data) {
    auto* receiver = static_cast<Receiver*>(data);
    auto* ev = static_cast<XEvent*>(xevent);
    if (ev->type != ClientMessage) return GDK_FILTER_CONTINUE;
    const XClientMessageEvent& cm = ev->xclient;
    if (cm.message_type == receiver->copyData && cm.format == 32) {
        Display* d = cm.display;
        const Window self = cm.window;
        const Atom property = static_cast<Atom>(cm.data.l[0]);
        const std::uintptr_t dwData = static_cast<std::uintptr_t>(static_cast<unsigned long>(cm.data.l[1]));
        gdk_x11_display_error_trap_push(gdk_window_get_display(receiver->gdkWindow));
        const auto bytes = WindowProperty(d, self, property, 1 << 16, AnyPropertyType).Text();
        gdk_x11_display_error_trap_pop_ignored(gdk_window_get_display(receiver->gdkWindow));
        if (!bytes) return GDK_FILTER_REMOVE;  // the sender gave up and took it back
        std::vector<std::uint8_t> payload(bytes->begin(), bytes->end());
        // Handled outside the filter; the property goes only after the handler ran, because the
        // sender waits for its deletion as the sign that the hand-over was handled.
        wxWindow* window = receiver->window;
        window->CallAfter([window, self, property, dwData, payload = std::move(payload)] {
            auto it = Receivers().find(window);
            if (it != Receivers().end() && it->second->handlers.onCopyData) it->second->handlers.onCopyData(dwData, payload);
            GdkDisplay* gd = gdk_display_get_default();
            if (!gd || !GDK_IS_X11_DISPLAY(gd)) return;
            Display* xd = gdk_x11_display_get_xdisplay(gd);
            gdk_x11_display_error_trap_push(gd);
            XDeleteProperty(xd, self, property);
            XFlush(xd);
            gdk_x11_display_error_trap_pop_ignored(gd);
        });
        return GDK_FILTER_REMOVE;
    }
    const auto message = static_cast<std::uint32_t>(cm.message_type);
    bool ours;
    {
        std::lock_guard lock(g_lock);
        ours = RegisteredAtoms().count(message) != 0;
    }
    if (ours && cm.format == 32) {
        const auto wParam = static_cast<std::uintptr_t>(static_cast<unsigned long>(cm.data.l[0]));
        const auto lParam = static_cast<std::intptr_t>(cm.data.l[1]);
        wxWindow* window = receiver->window;
        window->CallAfter([window, message, wParam, lParam] {
            auto it = Receivers().find(window);
            if (it != Receivers().end() && it->second->handlers.onRegisteredMessage)
                it->second->handlers.onRegisteredMessage(message, wParam, lParam);
        });
        return GDK_FILTER_REMOVE;
    }
    return GDK_FILTER_CONTINUE;
}

GdkWindow* RealizedGdkWindow(wxWindow* window) {
    if (!window) return nullptr;
    GtkWidget* widget = GTK_WIDGET(window->GetHandle());
    if (!widget) return nullptr;
    if (!gtk_widget_get_realized(widget)) gtk_widget_realize(widget);
    GdkWindow* gdkWindow = gtk_widget_get_window(widget);
    if (!gdkWindow || !GDK_IS_X11_WINDOW(gdkWindow)) return nullptr;
    return gdkWindow;
}

}  // namespace

DesktopWindow FindTopLevelWindow(const std::string& title) {
    std::lock_guard lock(g_lock);
    Display* d = Connection();
    if (!d) return 0;
    ErrorTrap trap(d);  // a window may vanish while we look at it
    for (Window w : TopLevelWindows(d)) {
        // Input-only windows (the toolkit's client leader and helpers carry the program's name as
        // their title) are never a window anyone looks for.
        XWindowAttributes attrs;
        if (!XGetWindowAttributes(d, w, &attrs) || attrs.c_class == InputOnly) continue;
        auto t = TitleOf(d, w);
        if (t && *t == title) return w;
    }
    return 0;
}

std::uint32_t RegisterWindowMessage(const std::string& name) {
    std::lock_guard lock(g_lock);
    Display* d = Connection();
    if (!d) return 0;
    auto atom = static_cast<std::uint32_t>(InternAtom(d, name.c_str()));
    RegisteredAtoms().insert(atom);
    return atom;
}

bool SendRegisteredMessage(DesktopWindow target, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    std::lock_guard lock(g_lock);
    Display* d = Connection();
    if (!d || !target || !message) return false;
    return SendClientMessage(d, target, target, message, static_cast<long>(wParam), static_cast<long>(lParam), 0);
}

bool BroadcastRegisteredMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    std::lock_guard lock(g_lock);
    Display* d = Connection();
    if (!d || !message) return false;
    std::vector<Window> windows;
    {
        ErrorTrap trap(d);
        windows = TopLevelWindows(d);
    }
    for (Window w : windows) SendClientMessage(d, w, w, message, static_cast<long>(wParam), static_cast<long>(lParam), 0);
    return true;
}

bool SendCopyData(DesktopWindow target, std::uintptr_t dwData, const std::vector<std::uint8_t>& data, int timeoutMs) {
    std::lock_guard lock(g_lock);
    Display* d = Connection();
    if (!d || !target) return false;
    const Atom message = InternAtom(d, kCopyDataMessage);
    // One property name per sending process, so that two senders never overwrite each other.
    const Atom property = InternAtom(d, (std::string(kCopyDataMessage) + "_" + std::to_string(getpid())).c_str());
    {
        ErrorTrap trap(d);
        XSelectInput(d, target, PropertyChangeMask | StructureNotifyMask);
        XChangeProperty(d, target, property, XA_STRING, 8, PropModeReplace, data.data(), static_cast<int>(data.size()));
        if (trap.Failed()) return false;
    }
    if (!SendClientMessage(d, target, target, message, static_cast<long>(property), static_cast<long>(dwData),
                           static_cast<long>(data.size()))) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool taken = false, gone = false;
    while (!taken && !gone) {
        while (XPending(d)) {
            XEvent ev;
            XNextEvent(d, &ev);
            if (ev.type == PropertyNotify && ev.xproperty.window == target && ev.xproperty.atom == property &&
                ev.xproperty.state == PropertyDelete)
                taken = true;
            if (ev.type == DestroyNotify && ev.xdestroywindow.window == target) gone = true;
        }
        if (taken || gone) break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd pfd{ConnectionNumber(d), POLLIN, 0};
        poll(&pfd, 1, static_cast<int>(left.count()));
    }
    ErrorTrap trap(d);
    if (!taken && !gone) XDeleteProperty(d, target, property);  // nobody took it: leave nothing behind
    if (!gone) XSelectInput(d, target, NoEventMask);
    trap.Finish();
    return taken;
}

void PostCloseRequest(DesktopWindow target) {
    std::lock_guard lock(g_lock);
    Display* d = Connection();
    if (!d || !target) return;
    SendClientMessage(d, target, target, InternAtom(d, "WM_PROTOCOLS"), static_cast<long>(InternAtom(d, "WM_DELETE_WINDOW")),
                      CurrentTime, 0);
}

bool IsMinimized(DesktopWindow target) {
    std::lock_guard lock(g_lock);
    Display* d = Connection();
    if (!d || !target) return false;
    ErrorTrap trap(d);
    const Atom wmState = InternAtom(d, "WM_STATE");
    const auto state = WindowProperty(d, target, wmState, 2, wmState).Items();
    if (!state.empty() && state[0] == IconicState) return true;
    return HasItem(WindowProperty(d, target, InternAtom(d, "_NET_WM_STATE"), 64, XA_ATOM).Items(),
                   InternAtom(d, "_NET_WM_STATE_HIDDEN"));
}

void RestoreAndRaise(DesktopWindow target) {
    std::lock_guard lock(g_lock);
    Display* d = Connection();
    if (!d || !target) return;
    ErrorTrap trap(d);
    // The window's last popup (a dialog it owns) comes to the front after it.
    std::vector<Window> popups;
    for (Window w : TopLevelWindows(d)) {
        Window owner = 0;
        XWindowAttributes attrs;
        if (w != target && XGetTransientForHint(d, w, &owner) && owner == target && XGetWindowAttributes(d, w, &attrs) &&
            attrs.map_state == IsViewable)
            popups.push_back(w);
    }
    const Window front = popups.empty() ? target : popups.back();
    if (WmSupports(d, "_NET_ACTIVE_WINDOW")) {
        // Source 2: a request on the user's behalf; the window manager also un-minimizes.
        const Atom active = InternAtom(d, "_NET_ACTIVE_WINDOW");
        SendClientMessage(d, DefaultRootWindow(d), target, active, 2, CurrentTime, 0, 0, 0,
                          SubstructureRedirectMask | SubstructureNotifyMask);
        if (front != target)
            SendClientMessage(d, DefaultRootWindow(d), front, active, 2, CurrentTime, 0, 0, 0,
                              SubstructureRedirectMask | SubstructureNotifyMask);
    } else {
        XMapRaised(d, target);
        for (Window w : popups) XRaiseWindow(d, w);
        XWindowAttributes attrs;
        if (XGetWindowAttributes(d, front, &attrs) && attrs.map_state == IsViewable)
            XSetInputFocus(d, front, RevertToParent, CurrentTime);
    }
    trap.Finish();
}

namespace {

bool IsMapped(Display* d, Window w) {
    XWindowAttributes attrs;
    return XGetWindowAttributes(d, w, &attrs) && attrs.c_class != InputOnly && attrs.map_state != IsUnmapped;
}

// XWithdrawWindow unmaps the window and tells a window manager (a synthetic UnmapNotify on the
// root), which then drops its frame and its entry in the client list.
bool Withdraw(Display* d, Window w) {
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(d, w, &attrs)) return false;
    return XWithdrawWindow(d, w, XScreenNumberOfScreen(attrs.screen)) != 0;
}

}  // namespace

bool IsWindowShown(DesktopWindow target) {
    std::lock_guard lock(g_lock);
    Display* d = Connection();
    if (!d || !target) return false;
    ErrorTrap trap(d);
    const bool shown = IsMapped(d, target);
    return !trap.Failed() && shown;
}

bool HideWindow(DesktopWindow target) {
    std::lock_guard lock(g_lock);
    Display* d = Connection();
    if (!d || !target) return false;
    ErrorTrap trap(d);
    const bool sent = Withdraw(d, target);
    return !trap.Failed() && sent;
}

int HideTopLevelWindows(const std::string& title) {
    std::lock_guard lock(g_lock);
    Display* d = Connection();
    if (!d) return 0;
    ErrorTrap trap(d);  // a window may vanish while we look at it
    int hidden = 0;
    // Every match: an earlier window of the same title may be hidden already while a new one shows.
    for (Window w : TopLevelWindows(d)) {
        if (!IsMapped(d, w)) continue;
        auto t = TitleOf(d, w);
        if (t && *t == title && Withdraw(d, w)) ++hidden;
    }
    return hidden;
}

// The timer is made at the first watch: an owner may be built before the application object.
struct WindowHider::Impl {
    struct Timer : wxTimer {
        std::string title;
        std::chrono::steady_clock::time_point deadline;
        void Notify() override {
            if (HideTopLevelWindows(title) > 0 || std::chrono::steady_clock::now() >= deadline) Stop();
        }
    };
    std::unique_ptr<Timer> timer;
};

WindowHider::WindowHider() : impl_(std::make_unique<Impl>()) {}

WindowHider::~WindowHider() { Stop(); }

void WindowHider::Start(const std::string& title, int timeoutMs) {
    Stop();
    if (HideTopLevelWindows(title) > 0 || timeoutMs <= 0) return;
    if (!impl_->timer) impl_->timer = std::make_unique<Impl::Timer>();
    impl_->timer->title = title;
    impl_->timer->deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    impl_->timer->Start(25);
}

void WindowHider::Stop() {
    if (impl_->timer) impl_->timer->Stop();
}

bool WindowHider::IsWatching() const { return impl_->timer && impl_->timer->IsRunning(); }

DesktopWindow DesktopWindowOf(wxWindow* window) {
    if (!window) return 0;
    GtkWidget* widget = GTK_WIDGET(window->GetHandle());
    if (!widget) return 0;
    GdkWindow* gdkWindow = gtk_widget_get_window(widget);
    if (!gdkWindow || !GDK_IS_X11_WINDOW(gdkWindow)) return 0;
    return gdk_x11_window_get_xid(gdkWindow);
}

void InstallDesktopMessageReceiver(wxWindow* window, DesktopMessageHandlers handlers) {
    RemoveDesktopMessageReceiver(window);
    GdkWindow* gdkWindow = RealizedGdkWindow(window);
    if (!gdkWindow) return;
    auto receiver = std::make_unique<Receiver>();
    receiver->window = window;
    receiver->gdkWindow = gdkWindow;
    receiver->handlers = std::move(handlers);
    receiver->copyData = gdk_x11_get_xatom_by_name_for_display(gdk_window_get_display(gdkWindow), kCopyDataMessage);
    gdk_window_add_filter(gdkWindow, Filter, receiver.get());
    Receivers()[window] = std::move(receiver);
}

void RemoveDesktopMessageReceiver(wxWindow* window) {
    auto it = Receivers().find(window);
    if (it == Receivers().end()) return;
    gdk_window_remove_filter(it->second->gdkWindow, Filter, it->second.get());
    Receivers().erase(it);
}

}  // namespace platform
