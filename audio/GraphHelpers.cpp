#include "audio/GraphHelpers.h"

#include <gst/gst.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <strings.h>

namespace {
std::atomic<platform::WindowRef> g_visualizer{nullptr};
std::atomic<TraceSink> g_traceSink{nullptr};
}  // namespace

void SetVisualizerWindow(platform::WindowRef window) { g_visualizer.store(window); }
platform::WindowRef GetVisualizerWindow() { return g_visualizer.load(); }

void EnsureGstInitialized() {
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

// ---- Device monikers ----

DeviceMoniker::DeviceMoniker(GstDevice* device, const platform::SourcePortTable& ports)
    : device_(GST_DEVICE(gst_object_ref(device))) {
    if (gchar* name = gst_device_get_display_name(device_)) {
        friendlyName_ = name;
        g_free(name);
    }
    if (GstElement* probe = gst_device_create_element(device_, nullptr)) {
        // The sound server's source name, so that the same device is found again by name.
        if (g_object_class_find_property(G_OBJECT_GET_CLASS(probe), "device")) {
            gchar* dev = nullptr;
            g_object_get(probe, "device", &dev, nullptr);
            if (dev) sourceName_ = dev;
            g_free(dev);
        }
        gst_object_unref(probe);
    }
    if (auto it = ports.find(sourceName_); !sourceName_.empty() && it != ports.end()) ports_ = it->second;
}

DeviceMoniker::~DeviceMoniker() {
    if (device_) gst_object_unref(device_);
}

std::vector<std::string> PortInputNames(const std::vector<platform::SourcePort>& ports) {
    std::vector<std::string> names;
    names.reserve(ports.size());
    for (const auto& port : ports) {
        std::string name = platform::PortInputName(port);
        auto same = std::count_if(ports.begin(), ports.end(),
                                  [&](const platform::SourcePort& p) { return platform::PortInputName(p) == name; });
        if (same > 1 && name != port.name) name += " (" + port.name + ")";
        names.push_back(std::move(name));
    }
    return names;
}

std::vector<std::string> DeviceMoniker::InputNames() const {
    if (!ports_.empty()) return PortInputNames(ports_);
    return {friendlyName_};
}

HRESULT DeviceMoniker::EnablePort(const std::string& inputName) const {
    const auto names = PortInputNames(ports_);
    auto it = std::find(names.begin(), names.end(), inputName);
    if (it == names.end()) return S_FALSE;
    const auto& port = ports_[static_cast<std::size_t>(it - names.begin())];
    if (platform::SourcePorts().SetActivePort(sourceName_, port.name)) return S_OK;
    Trace("Failed to make port %s of %s active\n", port.name.c_str(), sourceName_.c_str());
    return E_FAIL;
}

GstElement* DeviceMoniker::BindToObject(const char* name) const {
    if (!device_) return nullptr;
    return gst_device_create_element(device_, name);
}

// ---- List boxes ----

int VectorListBox::AddString(const std::string& text) {
    auto pos = items_.end();
    if (sorted_) {
        pos = std::upper_bound(items_.begin(), items_.end(), text, [](const std::string& a, const Item& b) {
            return strcasecmp(a.c_str(), b.text.c_str()) < 0;
        });
    }
    pos = items_.insert(pos, Item{text, nullptr});
    return static_cast<int>(pos - items_.begin());
}

void VectorListBox::SetItemData(int index, DeviceMonikerPtr moniker) {
    if (index >= 0 && index < GetCount()) items_[static_cast<std::size_t>(index)].data = std::move(moniker);
}

DeviceMonikerPtr VectorListBox::GetItemData(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return items_[static_cast<std::size_t>(index)].data;
}

std::string VectorListBox::GetText(int index) const {
    if (index < 0 || index >= GetCount()) return {};
    return items_[static_cast<std::size_t>(index)].text;
}

// ---- Enumeration ----

HRESULT EnumerateDevices(GstDeviceMonitor* monitor, const char* category, IListBox& list) {
    EnsureGstInitialized();
    GstDeviceMonitor* own = nullptr;
    if (!monitor) {
        // A fresh monitor each time, so devices plugged in since the last listing are seen.
        own = gst_device_monitor_new();
        if (!own) return E_NOINTERFACE;
        gst_device_monitor_add_filter(own, category, nullptr);
        if (!gst_device_monitor_start(own)) {
            gst_object_unref(own);
            own = nullptr;
        }
        monitor = own;
    }
    GList* devices = monitor ? gst_device_monitor_get_devices(monitor) : nullptr;
    if (own) {
        gst_device_monitor_stop(own);
        gst_object_unref(own);
    }
    if (!devices) {
        list.AddString(kNoEntriesText);
        return 1;
    }
    // One question to the sound server for every device's ports.
    const platform::SourcePortTable ports = platform::SourcePorts().ListPorts();
    for (GList* item = devices; item; item = item->next) {
        auto* device = GST_DEVICE(item->data);
        if (!gst_device_has_classes(device, category)) continue;
        auto moniker = std::make_shared<DeviceMoniker>(device, ports);
        // A device whose name cannot be read is left out.
        if (moniker->FriendlyName().empty()) continue;
        AddDeviceEntry(moniker->FriendlyName(), moniker, list);
    }
    g_list_free_full(devices, gst_object_unref);
    return S_OK;
}

void AddDeviceEntry(const std::string& friendlyName, DeviceMonikerPtr moniker, IListBox& list) {
    int index = list.AddString(friendlyName);
    list.SetItemData(index, std::move(moniker));
}

void ClearDeviceList(IListBox& list) {
    for (int i = 0; i < list.GetCount(); ++i) list.SetItemData(i, nullptr);
    list.ResetContent();
}

// ---- Pins ----

namespace {
// The capture element's device moniker, attached when the element was bound.
const char* const kMonikerKey = "murmelo-device-moniker";

// Calls `visit` for each static pad of the direction, in the element's order, until it returns FALSE.
void ForEachPin(GstElement* filter, PIN_DIRECTION direction, GstElementForeachPadFunc visit, gpointer data) {
    if (direction == PINDIR_INPUT) gst_element_foreach_sink_pad(filter, visit, data);
    else gst_element_foreach_src_pad(filter, visit, data);
}
}  // namespace

HRESULT ListPinNames(GstElement* filter, PIN_DIRECTION direction, IListBox& list) {
    list.ResetContent();
    if (!filter) return E_NOINTERFACE;
    if (direction == PINDIR_INPUT) {
        // A capture element's inputs are its device's inputs (ports).
        if (auto* moniker = static_cast<DeviceMonikerPtr*>(g_object_get_data(G_OBJECT(filter), kMonikerKey))) {
            for (const auto& name : (*moniker)->InputNames()) list.AddString(name);
            return S_OK;
        }
    }
    ForEachPin(
        filter, direction,
        [](GstElement*, GstPad* pad, gpointer data) -> gboolean {
            static_cast<IListBox*>(data)->AddString(GST_PAD_NAME(pad));
            return TRUE;
        },
        &list);
    return S_OK;
}

void AttachMoniker(GstElement* element, DeviceMonikerPtr moniker) {
    g_object_set_data_full(G_OBJECT(element), kMonikerKey, new DeviceMonikerPtr(std::move(moniker)),
                           [](gpointer p) { delete static_cast<DeviceMonikerPtr*>(p); });
}

HRESULT GetPin(GstElement* filter, PIN_DIRECTION direction, int n, GstPad** pin) {
    if (!filter || !pin) return E_POINTER;
    *pin = nullptr;
    if (n < 0) return E_FAIL;
    struct Search {
        int left;
        GstPad* found = nullptr;
    } search{n};
    ForEachPin(
        filter, direction,
        [](GstElement*, GstPad* pad, gpointer data) -> gboolean {
            auto* s = static_cast<Search*>(data);
            if (s->left-- > 0) return TRUE;
            s->found = GST_PAD(gst_object_ref(pad));
            return FALSE;
        },
        &search);
    *pin = search.found;
    return *pin ? S_OK : E_FAIL;
}

HRESULT PopGraphEvent(GstBus* bus, long errorCode, long* eventCode, LONG_PTR* param1, LONG_PTR* param2,
                      long timeoutMs) {
    if (!bus) return E_NOINTERFACE;
    if (!eventCode || !param1 || !param2) return E_POINTER;
    GstMessage* msg = gst_bus_timed_pop_filtered(bus, static_cast<GstClockTime>(timeoutMs < 0 ? 0 : timeoutMs) * GST_MSECOND,
                                                 static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_EOS));
    if (!msg) return E_ABORT;
    *eventCode = GST_MESSAGE_TYPE(msg) == GST_MESSAGE_ERROR ? errorCode : EC_COMPLETE;
    *param1 = 0;
    *param2 = 0;
    gst_message_unref(msg);
    return S_OK;
}

HRESULT CreateFilter(const char* factory, const char* name, GstElement** filter) {
    EnsureGstInitialized();
    *filter = gst_element_factory_make(factory, name);
    if (!*filter) {
        Trace("CreateFilter: Failed to create filter!  hr=0x%x\n", static_cast<unsigned>(E_NOINTERFACE));
        return E_NOINTERFACE;
    }
    gst_object_ref_sink(*filter);
    return S_OK;
}

// ---- Trace ----

void SetTraceSink(TraceSink sink) { g_traceSink.store(sink); }

void Trace(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);  // cut at 1023 characters, always terminated
    va_end(args);
    if (TraceSink sink = g_traceSink.load()) sink(text);
    else std::fputs(text, stderr);
}
