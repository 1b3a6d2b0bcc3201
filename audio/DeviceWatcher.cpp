#include "audio/DeviceWatcher.h"

#include <gst/gst.h>

#include <atomic>
#include <mutex>

#include "audio/GraphHelpers.h"
#include "platform/DeviceChange.h"

struct CDeviceWatcher::Sink {
    std::mutex lock;
    platform::WindowRef target = nullptr;
    std::atomic<bool> announcing{false};  // false while the monitor reports what exists already
};

namespace {

GstBusSyncReply OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
    auto* sink = static_cast<std::shared_ptr<CDeviceWatcher::Sink>*>(data)->get();
    std::uintptr_t what = 0;
    switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_DEVICE_ADDED: what = platform::DBT_DEVICEARRIVAL; break;
        case GST_MESSAGE_DEVICE_REMOVED: what = platform::DBT_DEVICEREMOVECOMPLETE; break;
        default: break;
    }
    if (what && sink->announcing) {
        std::lock_guard guard(sink->lock);
        platform::PostWindowMessage(sink->target, platform::WM_DEVICECHANGE, what, platform::kDeviceClassAudio);
    }
    return GST_BUS_DROP;
}

void FreeSink(gpointer data) { delete static_cast<std::shared_ptr<CDeviceWatcher::Sink>*>(data); }

}  // namespace

CDeviceWatcher::CDeviceWatcher() { EnsureGstInitialized(); }

CDeviceWatcher::~CDeviceWatcher() { Stop(); }

bool CDeviceWatcher::Start(platform::WindowRef target) {
    Stop();
    GstDeviceMonitor* monitor = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor, CLSID_AudioInputDeviceCategory, nullptr);
    auto sink = std::make_shared<Sink>();
    sink->target = target;
    GstBus* bus = gst_device_monitor_get_bus(monitor);
    gst_bus_set_sync_handler(bus, OnBusMessage, new std::shared_ptr<Sink>(sink), FreeSink);
    gst_object_unref(bus);
    if (!gst_device_monitor_start(monitor)) {
        Trace("Could not start the audio device monitor\n");
        bus = gst_device_monitor_get_bus(monitor);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        gst_object_unref(monitor);
        return false;
    }
    sink->announcing = true;
    m_pMonitor = monitor;
    m_pSink = std::move(sink);
    return true;
}

void CDeviceWatcher::Stop() {
    if (!m_pMonitor) return;
    {
        // A message being handled right now finishes its post first; later ones post nowhere.
        std::lock_guard guard(m_pSink->lock);
        m_pSink->target = nullptr;
        m_pSink->announcing = false;
    }
    gst_device_monitor_stop(m_pMonitor);
    GstBus* bus = gst_device_monitor_get_bus(m_pMonitor);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_object_unref(m_pMonitor);
    m_pMonitor = nullptr;
    m_pSink.reset();
}
