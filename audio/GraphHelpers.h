// Small helpers both engines share: the capture device list, input listing, element lookup and
// creation, and the debug trace their failures are written to.
#pragma once
#include <cstdarg>
#include <memory>
#include <string>
#include <vector>

#include "audio/EngineTypes.h"
#include "platform/SourcePorts.h"

typedef struct _GstElement GstElement;
typedef struct _GstPad GstPad;
typedef struct _GstDevice GstDevice;
typedef struct _GstDeviceMonitor GstDeviceMonitor;
typedef struct _GstBus GstBus;

// The device category the recording side lists.
inline constexpr const char* CLSID_AudioInputDeviceCategory = "Audio/Source";

// One capture device as the sound server lists it: what the device list keeps per entry. Holds a
// reference on the device for as long as any list entry (or graph) keeps the moniker.
class DeviceMoniker {
public:
    // Takes a new reference. `ports` is the sound server's port table; the device's own entry
    // (found by its source name) gives its inputs.
    explicit DeviceMoniker(GstDevice* device, const platform::SourcePortTable& ports = {});
    ~DeviceMoniker();
    DeviceMoniker(const DeviceMoniker&) = delete;
    DeviceMoniker& operator=(const DeviceMoniker&) = delete;

    const std::string& FriendlyName() const { return friendlyName_; }
    // The sound server's name of the source ("virtual_mic"); empty when the device has none.
    const std::string& SourceName() const { return sourceName_; }
    // The device's inputs: its ports where it has some, else one input named after the device.
    std::vector<std::string> InputNames() const;
    bool HasPorts() const { return !ports_.empty(); }
    // Makes the port listed under that input name the active one: S_OK, S_FALSE when no port of
    // this device has the name, E_FAIL when the sound server refuses.
    HRESULT EnablePort(const std::string& inputName) const;

    // A new capture element for the device, named `name` (null on failure).
    GstElement* BindToObject(const char* name) const;

private:
    GstDevice* device_ = nullptr;
    std::string friendlyName_;
    std::string sourceName_;
    std::vector<platform::SourcePort> ports_;
};

// The input names a device's ports are listed under: each port's description (else its name); a
// description two ports share gets the port's own name added, so every input can be chosen.
std::vector<std::string> PortInputNames(const std::vector<platform::SourcePort>& ports);
using DeviceMonikerPtr = std::shared_ptr<DeviceMoniker>;

// The owner-supplied list box the helpers fill: the program hands in its (hidden, sorted) list boxes
// through a small adapter; tests use VectorListBox. Item data is the entry's moniker (may be null).
class IListBox {
public:
    virtual ~IListBox() = default;
    virtual void ResetContent() = 0;
    virtual int AddString(const std::string& text) = 0;  // index of the new entry
    virtual void SetItemData(int index, DeviceMonikerPtr moniker) = 0;
    virtual DeviceMonikerPtr GetItemData(int index) const = 0;
    virtual int GetCount() const = 0;
    virtual std::string GetText(int index) const = 0;
};

// A plain list box; sorted like a list box with the sort style (case-insensitive, stable).
class VectorListBox : public IListBox {
public:
    explicit VectorListBox(bool sorted = true) : sorted_(sorted) {}
    void ResetContent() override { items_.clear(); }
    int AddString(const std::string& text) override;
    void SetItemData(int index, DeviceMonikerPtr moniker) override;
    DeviceMonikerPtr GetItemData(int index) const override;
    int GetCount() const override { return static_cast<int>(items_.size()); }
    std::string GetText(int index) const override;

private:
    struct Item {
        std::string text;
        DeviceMonikerPtr data;
    };
    bool sorted_;
    std::vector<Item> items_;
};

// The text of the single entry an empty category gets.
inline constexpr const char* kNoEntriesText = "<< No entries >>";

// Lists the devices of `category` into `list` (each entry its friendly name, item data its moniker).
// `monitor` may be null (a fresh one is made, so devices plugged in since the last call appear).
// Returns 1 with the single entry "<< No entries >>" when there is none, else S_OK.
HRESULT EnumerateDevices(GstDeviceMonitor* monitor, const char* category, IListBox& list);
void AddDeviceEntry(const std::string& friendlyName, DeviceMonikerPtr moniker, IListBox& list);
void ClearDeviceList(IListBox& list);

enum PIN_DIRECTION { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };

// The capture element's inputs (for a capture element: its device's inputs) of one direction.
// E_NOINTERFACE for a null element.
HRESULT ListPinNames(GstElement* filter, PIN_DIRECTION direction, IListBox& list);

// Remembers the device a capture element was bound from (ListPinNames lists its inputs).
void AttachMoniker(GstElement* element, DeviceMonikerPtr moniker);

// The n-th (from 0) static pad of the direction, with a reference; E_POINTER for a null element,
// E_FAIL (and a null pad) when there is none.
HRESULT GetPin(GstElement* filter, PIN_DIRECTION direction, int n, GstPad** pin);

// The graph event both engines report: the next end-of-stream (EC_COMPLETE) or error (`errorCode`)
// on the bus within timeoutMs, parameters 0. E_NOINTERFACE without a bus, E_POINTER for a null
// out-parameter, E_ABORT when none arrives.
HRESULT PopGraphEvent(GstBus* bus, long errorCode, long* eventCode, LONG_PTR* param1, LONG_PTR* param2,
                      long timeoutMs);

// Creates an element of the factory under the name; traces and returns E_NOINTERFACE on failure.
HRESULT CreateFilter(const char* factory, const char* name, GstElement** filter);

// The debug output: printf-style, cut at 1023 characters, written to standard error.
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
// For tests: where traces go (null restores standard error).
using TraceSink = void (*)(const char* text);
void SetTraceSink(TraceSink sink);

// Makes sure GStreamer is initialized (both engines call it when they are constructed).
void EnsureGstInitialized();
