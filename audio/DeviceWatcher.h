// Watches the sound server's audio capture devices (a GstDeviceMonitor of class Audio/Source) and
// tells a window when one comes or goes: WM_DEVICECHANGE with DBT_DEVICEARRIVAL or
// DBT_DEVICEREMOVECOMPLETE and lParam kDeviceClassAudio (platform/DeviceChange.h), posted from the
// monitor's own thread. The devices present when watching starts are not announced.
//
// While it watches, list devices through Monitor() (EnumerateDevices takes it): GStreamer 1.22
// shares one provider between monitors, and another monitor's teardown clears the provider bus's
// handler, after which this one hears nothing more.
#pragma once
#include <memory>

#include "platform/WindowMessage.h"

typedef struct _GstDeviceMonitor GstDeviceMonitor;

class CDeviceWatcher {
public:
    CDeviceWatcher();
    ~CDeviceWatcher();
    CDeviceWatcher(const CDeviceWatcher&) = delete;
    CDeviceWatcher& operator=(const CDeviceWatcher&) = delete;

    // Starts watching for `target`. False when no device provider can be watched.
    bool Start(platform::WindowRef target);
    // Ends watching; nothing is posted after it returns.
    void Stop();
    bool IsWatching() const { return m_pMonitor != nullptr; }
    // The running monitor (null when not watching); its device list follows the changes.
    GstDeviceMonitor* Monitor() const { return m_pMonitor; }

    struct Sink;  // what the bus handler posts to

private:
    GstDeviceMonitor* m_pMonitor = nullptr;
    std::shared_ptr<Sink> m_pSink;
};
