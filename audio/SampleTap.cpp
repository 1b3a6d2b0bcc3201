#include "audio/SampleTap.h"

#include <gst/audio/audio.h>
#include <gst/gst.h>

#include "audio/GraphHelpers.h"
#include "audio/SampleBuffer.h"

HRESULT CSampleTapCallback::BufferCB(double sampleTime, std::uint8_t* buffer, long bufferLen) {
    if (!buffer) return E_POINTER;
    HRESULT hr = TheSampleBuffer().Store(sampleTime, buffer, static_cast<std::uint32_t>(bufferLen < 0 ? 0 : bufferLen));
    if (FAILED(hr)) return hr;
    // Posted, never sent: the streaming thread does not wait for the window.
    platform::PostWindowMessage(GetVisualizerWindow(), WM_VIS_SAMPLES, 0, 0);
    return S_OK;
}

CSampleTapCallback& TheSampleTapCallback() {
    static CSampleTapCallback callback;
    return callback;
}

HRESULT HookSampleTap(CSampleGrabber& grabber) {
    grabber.SetOneShot(false);
    grabber.SetCallback(&TheSampleTapCallback(), 1);
    HRESULT hr = grabber.SetBufferSamples(true);
    platform::PostWindowMessage(GetVisualizerWindow(), platform::WM_NULL, VIS_CMD_RESET, 0);
    return hr;
}

bool WaveFormatFromCaps(const void* capsPtr, WAVEFORMATEX* format) {
    auto* caps = static_cast<const GstCaps*>(capsPtr);
    if (!caps || gst_caps_get_size(caps) == 0) return false;
    GstAudioInfo info;
    if (!gst_audio_info_from_caps(&info, caps)) return false;
    if (GST_AUDIO_INFO_LAYOUT(&info) != GST_AUDIO_LAYOUT_INTERLEAVED) return false;
    const GstAudioFormatInfo* fi = info.finfo;
    bool isFloat = GST_AUDIO_FORMAT_INFO_IS_FLOAT(fi);
    WAVEFORMATEX wfx{};
    wfx.wFormatTag = isFloat ? 0x0003 : 0x0001;
    if (GST_AUDIO_INFO_CHANNELS(&info) > 2) wfx.wFormatTag = 0xFFFE;
    wfx.nChannels = static_cast<std::uint16_t>(GST_AUDIO_INFO_CHANNELS(&info));
    wfx.nSamplesPerSec = static_cast<std::uint32_t>(GST_AUDIO_INFO_RATE(&info));
    wfx.wBitsPerSample = static_cast<std::uint16_t>(GST_AUDIO_FORMAT_INFO_WIDTH(fi));
    wfx.nBlockAlign = static_cast<std::uint16_t>(GST_AUDIO_INFO_BPF(&info));
    wfx.nAvgBytesPerSec = wfx.nSamplesPerSec * wfx.nBlockAlign;
    wfx.cbSize = 0;
    *format = wfx;
    return true;
}

namespace {
GstPadProbeReturn GrabberProbe(GstPad* pad, GstPadProbeInfo* info, gpointer self) {
    if (info->type & GST_PAD_PROBE_TYPE_BUFFER) static_cast<CSampleGrabber*>(self)->OnBuffer(pad, GST_PAD_PROBE_INFO_BUFFER(info));
    return GST_PAD_PROBE_OK;
}
}  // namespace

CSampleGrabber::CSampleGrabber() {
    EnsureGstInitialized();
    // A caps filter: it passes raw audio unchanged and, once given a media type, refuses the rest.
    element_ = gst_element_factory_make("capsfilter", "Sample Grabber");
    if (!element_) return;
    gst_object_ref_sink(element_);
    if (GstPad* src = gst_element_get_static_pad(element_, "src")) {
        probe_ = gst_pad_add_probe(src, GST_PAD_PROBE_TYPE_BUFFER, GrabberProbe, this, nullptr);
        gst_object_unref(src);
    }
}

CSampleGrabber::~CSampleGrabber() {
    SetCallback(nullptr, 1);
    if (!element_) return;
    if (GstPad* src = gst_element_get_static_pad(element_, "src")) {
        if (probe_) gst_pad_remove_probe(src, probe_);
        gst_object_unref(src);
    }
    gst_object_unref(element_);
}

HRESULT CSampleGrabber::SetMediaType() {
    if (!element_) return E_NOINTERFACE;
    GstCaps* caps = gst_caps_new_empty_simple("audio/x-raw");
    g_object_set(element_, "caps", caps, nullptr);
    gst_caps_unref(caps);
    return S_OK;
}

HRESULT CSampleGrabber::SetOneShot(bool oneShot) {
    oneShot_ = oneShot;
    shotTaken_ = false;
    return S_OK;
}

HRESULT CSampleGrabber::SetBufferSamples(bool buffer) {
    bufferSamples_ = buffer;
    return S_OK;
}

HRESULT CSampleGrabber::SetCallback(ISampleGrabberCB* callback, long which) {
    if (which != 0 && which != 1) return E_INVALIDARG;
    // Waits for a callback in progress: after this returns with null, none runs any more.
    std::lock_guard lock(callbackLock_);
    if (callback_) callback_->Release();
    callback_ = callback;
    which_ = which;
    if (callback_) callback_->AddRef();
    return S_OK;
}

HRESULT CSampleGrabber::GetConnectedMediaType(WAVEFORMATEX* format) const {
    if (!element_ || !format) return E_POINTER;
    GstPad* sink = gst_element_get_static_pad(element_, "sink");
    if (!sink) return E_FAIL;
    GstCaps* caps = gst_pad_get_current_caps(sink);
    gst_object_unref(sink);
    if (!caps) return E_FAIL;
    bool ok = WaveFormatFromCaps(caps, format);
    gst_caps_unref(caps);
    return ok ? S_OK : E_FAIL;
}

void CSampleGrabber::OnBuffer(GstPad* pad, void* bufferPtr) {
    std::lock_guard lock(callbackLock_);
    if (!callback_) return;
    if (oneShot_ && shotTaken_.exchange(true)) return;
    auto* buffer = static_cast<GstBuffer*>(bufferPtr);
    // The buffer's running time: where it lies on the stream's own clock, pauses excluded.
    double seconds = 0;
    GstClockTime pts = GST_BUFFER_PTS(buffer);
    if (GST_CLOCK_TIME_IS_VALID(pts)) {
        GstEvent* segEvent = gst_pad_get_sticky_event(pad, GST_EVENT_SEGMENT, 0);
        GstClockTime running = pts;
        if (segEvent) {
            const GstSegment* segment = nullptr;
            gst_event_parse_segment(segEvent, &segment);
            if (segment && segment->format == GST_FORMAT_TIME) {
                guint64 rt = gst_segment_to_running_time(segment, GST_FORMAT_TIME, pts);
                if (GST_CLOCK_TIME_IS_VALID(rt)) running = rt;
            }
            gst_event_unref(segEvent);
        }
        seconds = static_cast<double>(running) / GST_SECOND;
    }
    if (which_ == 0) {
        callback_->SampleCB(seconds, buffer);
        return;
    }
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return;
    callback_->BufferCB(seconds, map.data, static_cast<long>(map.size));
    gst_buffer_unmap(buffer, &map);
}
