// The sample tap: the Sample Grabber element both engines put in their chains, and the one
// program-wide callback that copies every passing buffer into TheSampleBuffer() and announces it
// to the visualizer window with a posted WM_VIS_SAMPLES.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>

#include "audio/EngineTypes.h"

typedef struct _GstElement GstElement;
typedef struct _GstPad GstPad;

// What a Sample Grabber calls for each buffer while a callback is hooked (buffer mode: BufferCB).
class ISampleGrabberCB {
public:
    virtual ~ISampleGrabberCB() = default;
    virtual unsigned long AddRef() = 0;
    virtual unsigned long Release() = 0;
    virtual HRESULT SampleCB(double sampleTime, void* sample) = 0;
    virtual HRESULT BufferCB(double sampleTime, std::uint8_t* buffer, long bufferLen) = 0;
};

// The one program-wide callback. Never freed; AddRef gives 2 and Release 1 without counting.
class CSampleTapCallback : public ISampleGrabberCB {
public:
    unsigned long AddRef() override { return 2; }
    unsigned long Release() override { return 1; }
    HRESULT SampleCB(double, void*) override { return S_OK; }
    // Runs on the streaming thread: stores the buffer (E_POINTER for null, E_OUTOFMEMORY when the
    // copy cannot be allocated) and posts WM_VIS_SAMPLES (0, 0) to the visualizer window.
    HRESULT BufferCB(double sampleTime, std::uint8_t* buffer, long bufferLen) override;
};
CSampleTapCallback& TheSampleTapCallback();

// The "Sample Grabber" element: raw audio passes unchanged; while a callback is hooked, each
// buffer is handed to it on the streaming thread with its running time in seconds.
// Unhooking waits for a callback in progress, so after SetCallback(nullptr) no callback runs.
class CSampleGrabber {
public:
    CSampleGrabber();  // creates the element (Element() null when that failed)
    ~CSampleGrabber();
    CSampleGrabber(const CSampleGrabber&) = delete;
    CSampleGrabber& operator=(const CSampleGrabber&) = delete;

    GstElement* Element() const { return element_; }

    // Restricts what the grabber accepts to raw audio (PCM).
    HRESULT SetMediaType();
    HRESULT SetOneShot(bool oneShot);
    HRESULT SetBufferSamples(bool buffer);
    // which: 0 SampleCB, 1 BufferCB. Null unhooks.
    HRESULT SetCallback(ISampleGrabberCB* callback, long which);
    // The format the grabber's input connected with; E_FAIL while unconnected.
    HRESULT GetConnectedMediaType(WAVEFORMATEX* format) const;

    // Streaming-thread entry (the pad probe).
    void OnBuffer(GstPad* pad, void* buffer);

private:
    GstElement* element_ = nullptr;
    unsigned long probe_ = 0;
    std::mutex callbackLock_;  // held by the streaming thread only for one callback
    ISampleGrabberCB* callback_ = nullptr;
    long which_ = 1;
    std::atomic<bool> oneShot_{false};
    std::atomic<bool> bufferSamples_{false};
    std::atomic<bool> shotTaken_{false};
};

// Hooks the program-wide callback into the grabber (every buffer, copied) and tells the
// visualizer to start afresh: what either engine does when its graph starts to run.
HRESULT HookSampleTap(CSampleGrabber& grabber);

// The format that raw-audio caps describe (false when they are not raw PCM audio).
bool WaveFormatFromCaps(const void* caps, WAVEFORMATEX* format);
