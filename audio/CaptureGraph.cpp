#include "audio/CaptureGraph.h"

#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "audio/LameSettings.h"
#include "audio/SampleBuffer.h"
#include "audio/SampleTap.h"
#include "audio/WmaProfiles.h"
#include "platform/ResourceModule.h"

namespace {
// The longest path a writer takes (260 units with the terminator).
constexpr std::size_t kMaxPath = 259;
// HRESULT of ERROR_FILENAME_EXCED_RANGE: the name is too long for the writer.
constexpr HRESULT kPathTooLong = static_cast<HRESULT>(0x800700CEu);
// How long a start may take to reach the running state, and a stop to drain the chain.
constexpr auto kStartTimeout = 3 * GST_SECOND;
constexpr auto kFinishTimeout = std::chrono::seconds(5);

bool AddToGraph(GstElement* graph, GstElement* element) {
    return graph && element && gst_bin_add(GST_BIN(graph), element);
}

void RemoveFromGraph(GstElement* graph, GstElement* element) {
    if (!graph || !element) return;
    if (GST_OBJECT_PARENT(element) != GST_OBJECT(graph)) return;
    gst_element_set_state(element, GST_STATE_NULL);
    gst_bin_remove(GST_BIN(graph), element);
}

HRESULT ErrorFromBus(GstBus* bus) {
    if (!bus) return S_OK;
    HRESULT hr = S_OK;
    while (GstMessage* msg = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
        GError* err = nullptr;
        gst_message_parse_error(msg, &err, nullptr);
        if (err) g_error_free(err);
        gst_message_unref(msg);
        hr = E_FAIL;
    }
    return hr;
}
}  // namespace

struct CCaptureGraph::Gate {
    enum Mode { Pass = 0, Hold = 1, Closed = 2 };
    std::atomic<int> mode{Hold};
    std::atomic<gint64> recorded{0};  // end of the last buffer let through, in ns of stream time
    // Streaming thread only:
    GstClockTime shift = 0;
    bool held = false;
    bool any = false;
};

namespace {
GstPadProbeReturn GateProbe(GstPad*, GstPadProbeInfo* info, gpointer data) {
    auto& gate = **static_cast<std::shared_ptr<CCaptureGraph::Gate>*>(data);
    if (gate.mode.load() != CCaptureGraph::Gate::Pass) {
        gate.held = true;
        return GST_PAD_PROBE_DROP;
    }
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    GstClockTime pts = GST_BUFFER_PTS(buffer);
    if (!GST_CLOCK_TIME_IS_VALID(pts)) return GST_PAD_PROBE_OK;
    const GstClockTime expected = static_cast<GstClockTime>(gate.recorded.load());
    if (gate.held && gate.any && pts > expected + gate.shift) gate.shift = pts - expected;  // the paused span
    gate.held = false;
    gate.any = true;
    if (gate.shift) {
        buffer = gst_buffer_make_writable(buffer);
        GST_BUFFER_PTS(buffer) = pts > gate.shift ? pts - gate.shift : 0;
        GST_BUFFER_FLAG_UNSET(buffer, GST_BUFFER_FLAG_DISCONT);
        GST_PAD_PROBE_INFO_DATA(info) = buffer;
    }
    GstClockTime duration = GST_BUFFER_DURATION(buffer);
    gate.recorded.store(static_cast<gint64>(GST_BUFFER_PTS(buffer) + (GST_CLOCK_TIME_IS_VALID(duration) ? duration : 0)));
    return GST_PAD_PROBE_OK;
}
}  // namespace

HRESULT CCaptureGraph::InstallGate() {
    if (!m_pSource) return E_FAIL;
    GstPad* out = gst_element_get_static_pad(m_pSource, "src");
    if (!out) return E_FAIL;
    m_gate = std::make_shared<Gate>();
    gst_pad_add_probe(out, GST_PAD_PROBE_TYPE_BUFFER, GateProbe, new std::shared_ptr<Gate>(m_gate),
                      [](gpointer p) { delete static_cast<std::shared_ptr<Gate>*>(p); });
    gst_object_unref(out);
    return S_OK;
}

CCaptureGraph::CCaptureGraph() {
    EnsureGstInitialized();
    if (FAILED(CreateGraph())) ReleaseGraph();
}

CCaptureGraph::~CCaptureGraph() {
    ReleaseGraph();
    if (m_pSourceCaps) gst_caps_unref(m_pSourceCaps);
    TheSampleBuffer().Free();
}

HRESULT CCaptureGraph::CreateGraph() {
    m_pGB = gst_pipeline_new("graph");
    if (!m_pGB) return E_NOINTERFACE;
    gst_object_ref_sink(m_pGB);
    m_pMC = GST_ELEMENT(gst_object_ref(m_pGB));
    m_pME = gst_pipeline_get_bus(GST_PIPELINE(m_pGB));
    if (!m_pME) {
        Trace("FAILED(0x%x) hr = m_pGB->QueryInterface(IID_IMediaEventEx, (void **)&m_pME)\n",
              static_cast<unsigned>(E_NOINTERFACE));
        return E_NOINTERFACE;
    }
    return S_OK;
}

HRESULT CCaptureGraph::ReleaseGraph() {
    RemoveWriters();
    // Whatever is left (a WMA writer, a running source) finishes and stops before it goes.
    if (m_pGB) {
        FinishStream();
        gst_element_set_state(m_pGB, GST_STATE_NULL);
    }
    m_pGrabber.reset();
    gst_clear_object(&m_pGrabberFilter);
    gst_clear_object(&m_pAsfWriter);
    gst_clear_object(&m_pMS);
    gst_clear_object(&m_pMC);
    gst_clear_object(&m_pME);
    gst_clear_object(&m_pFileWriter);
    gst_clear_object(&m_pFileSink);
    gst_clear_object(&m_pWavDest);
    gst_clear_object(&m_pSource);
    m_pSourceMoniker.reset();
    m_gate.reset();
    gst_clear_object(&m_pGB);
    return S_OK;
}

HRESULT CCaptureGraph::RebuildGraph() {
    ReleaseGraph();
    return CreateGraph();
}

HRESULT CCaptureGraph::RemoveWriters() {
    if ((m_pWavDest || m_pFileWriter) && m_pGB) {
        // A writer taken out of a running chain would leave its file unfinished.
        FinishStream();
        gst_element_set_state(m_pGB, GST_STATE_NULL);
    }
    if (m_pWavDest) {
        RemoveFromGraph(m_pGB, m_pWavDest);
        gst_clear_object(&m_pWavDest);
    }
    if (m_pFileWriter) {
        RemoveFromGraph(m_pGB, m_pFileWriter);
        gst_clear_object(&m_pFileWriter);
    }
    return S_OK;
}

HRESULT CCaptureGraph::StopAndRemoveWriters() {
    if (m_pMC) {
        FinishStream();
        gst_element_set_state(m_pMC, GST_STATE_NULL);
    }
    m_nState = 0;
    return RemoveWriters();
}

HRESULT CCaptureGraph::ConfigureWavCapture() {
    m_nSampleRate = m_nFreqCode == 0 ? 44100 : m_nFreqCode == 1 ? 22050 : 11025;
    if (m_nChannelCode == 0) m_nChannels = 2;
    else if (m_nChannelCode == 1) m_nChannels = 1;
    else if (m_nChannels == 0) m_nChannels = 2;  // an unknown code before any known one: stereo
    if (m_nBitCode == 0) m_nBytesPerSample = 2;
    else if (m_nBitCode == 1) m_nBytesPerSample = 1;
    else if (m_nBytesPerSample == 0) m_nBytesPerSample = 2;  // likewise 16-bit
    m_nAvgBytesPerSec = m_nBytesPerSample * m_nSampleRate * m_nChannels;
    const long bufferSize = static_cast<long>(static_cast<float>(m_nAvgBytesPerSec) * 0.05f);

    if (m_pSourceCaps) gst_caps_unref(m_pSourceCaps);
    m_pSourceCaps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, m_nBytesPerSample == 1 ? "U8" : "S16LE",
                                        "rate", G_TYPE_INT, m_nSampleRate, "channels", G_TYPE_INT, m_nChannels,
                                        "layout", G_TYPE_STRING, "interleaved", nullptr);
    for (int index = 0; index < 2; ++index) {
        GstPad* pin = nullptr;
        HRESULT hr = GetPin(m_pSource, PINDIR_OUTPUT, index, &pin);
        if (FAILED(hr)) return hr;  // a source with one output ends here, as intended
        gst_object_unref(pin);
        // Six capture buffers of 50 ms each.
        GObjectClass* klass = G_OBJECT_GET_CLASS(m_pSource);
        if (g_object_class_find_property(klass, "latency-time") && g_object_class_find_property(klass, "buffer-time")) {
            const gint64 bufferUs = static_cast<gint64>(bufferSize) * 1000000 / m_nAvgBytesPerSec;
            g_object_set(m_pSource, "latency-time", bufferUs, "buffer-time", bufferUs * 6, nullptr);
        }
    }
    return S_OK;
}

HRESULT CCaptureGraph::BuildCommonFront() {
    m_pGrabber = std::make_unique<CSampleGrabber>();
    if (!m_pGrabber->Element()) return E_NOINTERFACE;
    m_pGrabberFilter = GST_ELEMENT(gst_object_ref(m_pGrabber->Element()));
    if (!m_pGB) return E_NOINTERFACE;
    m_pMS = GST_ELEMENT(gst_object_ref(m_pGB));
    if (!AddToGraph(m_pGB, m_pGrabberFilter)) return E_FAIL;
    return m_pGrabber->SetMediaType();
}

HRESULT CCaptureGraph::LinkSourceToGrabber() {
    if (!m_pSource || !m_pGrabberFilter) return E_FAIL;
    bool ok = m_pSourceCaps ? gst_element_link_filtered(m_pSource, m_pGrabberFilter, m_pSourceCaps)
                            : gst_element_link(m_pSource, m_pGrabberFilter);
    return ok ? S_OK : E_FAIL;
}

HRESULT CCaptureGraph::SetFileName(GstElement* writer) {
    if (!writer) return E_NOINTERFACE;
    // A longer path would be cut into another file's name: refuse it instead.
    if (m_strFileName.size() > kMaxPath) return kPathTooLong;
    GstState state = GST_STATE_NULL;
    gst_element_get_state(writer, &state, nullptr, 0);
    if (state > GST_STATE_READY) return E_UNEXPECTED;  // the file is open already
    g_object_set(writer, "location", m_strFileName.c_str(), nullptr);
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(writer), "append")) g_object_set(writer, "append", FALSE, nullptr);
    return S_OK;
}

HRESULT CCaptureGraph::BuildWavGraph() {
    HRESULT hr = BuildCommonFront();
    if (FAILED(hr)) return hr;
    if (FAILED(CreateFilter("wavenc", "WAV Dest", &m_pWavDest))) return E_NOINTERFACE;
    if (FAILED(CreateFilter("filesink", "File Writer", &m_pFileWriter))) return E_NOINTERFACE;
    m_pFileSink = GST_ELEMENT(gst_object_ref(m_pFileWriter));
    if (!AddToGraph(m_pGB, m_pWavDest) || !AddToGraph(m_pGB, m_pFileWriter)) return E_FAIL;
    hr = SetFileName(m_pFileSink);
    if (FAILED(hr)) return hr;
    LinkSourceToGrabber();
    return gst_element_link_many(m_pGrabberFilter, m_pWavDest, m_pFileWriter, nullptr) ? S_OK : E_FAIL;
}

HRESULT CCaptureGraph::BuildMp3Graph() {
    GstElement* encoder = nullptr;  // held only while building
    if (FAILED(CreateFilter("lamemp3enc", "Lame encoder", &encoder))) return E_NOINTERFACE;
    HRESULT hr = BuildCommonFront();
    // wavenc takes no MP3, so the file is a plain MP3 stream, as its name says; "WAV Dest" adds a
    // Xing header when the encoder key asks for one and passes the frames on otherwise.
    const LameSettings settings = ReadLameSettings();
    if (SUCCEEDED(hr) && FAILED(CreateFilter(settings.xingTag ? "xingmux" : "identity", "WAV Dest", &m_pWavDest)))
        hr = E_NOINTERFACE;
    if (SUCCEEDED(hr) && FAILED(CreateFilter("filesink", "File Writer", &m_pFileWriter))) hr = E_NOINTERFACE;
    if (SUCCEEDED(hr)) {
        m_pFileSink = GST_ELEMENT(gst_object_ref(m_pFileWriter));
        ApplyLameSettings(encoder, settings);
        if (!AddToGraph(m_pGB, encoder) || !AddToGraph(m_pGB, m_pWavDest) || !AddToGraph(m_pGB, m_pFileWriter))
            hr = E_FAIL;
        if (SUCCEEDED(hr)) hr = SetFileName(m_pFileSink);
        if (SUCCEEDED(hr)) {
            LinkSourceToGrabber();
            // The encoder writes at the key's sample rate and channel count; the sound server
            // delivers the capture in that shape.
            GstCaps* caps = gst_caps_new_simple("audio/x-raw", "rate", G_TYPE_INT, static_cast<int>(settings.sampleRate),
                                                "channels", G_TYPE_INT, settings.Mono() ? 1 : 2, nullptr);
            bool ok = gst_element_link_filtered(m_pGrabberFilter, encoder, caps);
            gst_caps_unref(caps);
            hr = ok && gst_element_link_many(encoder, m_pWavDest, m_pFileWriter, nullptr) ? S_OK : E_FAIL;
        }
    }
    gst_object_unref(encoder);
    return hr;
}

HRESULT CCaptureGraph::BuildWmaGraph() {
    HRESULT hr = BuildCommonFront();
    if (FAILED(hr)) return hr;
    const WmaProfile profile = WmaProfileFor(m_nWmaProfile);
    // The ASF writer: conversion to the profile's format, the WMA v2 encoder, the ASF muxer and
    // the file, behind one sink pad.
    GstElement* bin = gst_bin_new("WM ASF Writer");
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    GstElement* format = gst_element_factory_make("capsfilter", nullptr);
    GstElement* encoder = gst_element_factory_make("avenc_wmav2", nullptr);
    GstElement* mux = gst_element_factory_make("avmux_asf", nullptr);
    GstElement* file = gst_element_factory_make("filesink", nullptr);
    if (!bin || !convert || !resample || !format || !encoder || !mux || !file) {
        for (GstElement* e : {bin, convert, resample, format, encoder, mux, file})
            if (e) gst_object_unref(gst_object_ref_sink(e));
        Trace("Failed to QI for IConfigAsfWriter!  hr=0x%x\n", static_cast<unsigned>(E_NOINTERFACE));
        return E_NOINTERFACE;
    }
    gst_object_ref_sink(bin);
    gst_bin_add_many(GST_BIN(bin), convert, resample, format, encoder, mux, file, nullptr);
    GstCaps* caps = gst_caps_new_simple("audio/x-raw", "rate", G_TYPE_INT, profile.sampleRate, "channels", G_TYPE_INT,
                                        profile.channels, nullptr);
    g_object_set(format, "caps", caps, nullptr);
    gst_caps_unref(caps);
    g_object_set(encoder, "bitrate", profile.bitrate, nullptr);
    gst_element_link_many(convert, resample, format, encoder, mux, file, nullptr);
    GstPad* target = gst_element_get_static_pad(convert, "sink");
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", target));
    gst_object_unref(target);

    m_pAsfWriter = bin;
    m_pFileSink = GST_ELEMENT(gst_object_ref(file));
    if (!AddToGraph(m_pGB, m_pAsfWriter)) return E_FAIL;
    hr = SetFileName(m_pFileSink);
    if (FAILED(hr)) return hr;
    m_nWmaKHz = profile.kHzLabel;
    m_strWmaChannels = platform::ResourceModule::LoadString(profile.stereo ? kStereoLabelString : kMonoLabelString);
    LinkSourceToGrabber();
    return gst_element_link(m_pGrabberFilter, m_pAsfWriter) ? S_OK : E_FAIL;
}

HRESULT CCaptureGraph::SetOutputFile() {
    if (!m_pFileSink) return E_NOINTERFACE;
    return SetFileName(m_pFileSink);
}

HRESULT CCaptureGraph::Recording() {
    if (!m_pMC) return E_NOINTERFACE;
    StartSampleTap();
    GstState current = GST_STATE_NULL;
    gst_element_get_state(m_pMC, &current, nullptr, 0);
    if (current == GST_STATE_PLAYING && m_gate) {
        // Resume: the capture flows on into the same file.
        m_gate->mode.store(Gate::Pass);
        m_nState = 2;
        return S_OK;
    }
    HRESULT hr = S_OK;
    ErrorFromBus(m_pME);  // forget errors of an earlier run
    if (m_gate) m_gate->mode.store(Gate::Pass);
    if (gst_element_set_state(m_pMC, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) hr = E_FAIL;
    if (SUCCEEDED(hr) && gst_element_get_state(m_pMC, nullptr, nullptr, kStartTimeout) == GST_STATE_CHANGE_FAILURE)
        hr = E_FAIL;
    if (SUCCEEDED(hr)) hr = ErrorFromBus(m_pME);
    if (FAILED(hr)) {
        Trace("\r\n*** Failed(%08lx) in Recording()!\r\n", static_cast<unsigned long>(static_cast<std::uint32_t>(hr)));
        StopSampleTap();
        if (m_gate) m_gate->mode.store(Gate::Hold);
        // A start that never ran leaves nothing running behind it.
        gst_element_set_state(m_pMC, GST_STATE_NULL);
        return hr;
    }
    m_nState = 2;
    return hr;
}

HRESULT CCaptureGraph::Pause() {
    if (!m_pMC) return E_NOINTERFACE;
    StopSampleTap();
    // The pipeline keeps running (a live source cannot pause without its writers waiting to
    // preroll); the capture is held back at the source, and the file stays open.
    if (m_gate) m_gate->mode.store(Gate::Hold);
    GstState current = GST_STATE_NULL;
    gst_element_get_state(m_pMC, &current, nullptr, 0);
    if (current != GST_STATE_PLAYING && gst_element_set_state(m_pMC, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
        Trace("\r\n*** Failed(%08lx) in Pause()!\r\n", static_cast<unsigned long>(static_cast<std::uint32_t>(E_FAIL)));
        return E_FAIL;
    }
    m_nState = 1;
    return S_OK;
}

HRESULT CCaptureGraph::Stop() {
    if (!m_pMC) return E_NOINTERFACE;
    StopSampleTap();
    HRESULT hr = FinishStream();
    if (gst_element_set_state(m_pMC, GST_STATE_NULL) == GST_STATE_CHANGE_FAILURE) hr = E_FAIL;
    SampleBuffer& buffer = TheSampleBuffer();
    if (buffer.HasBuffer()) {
        buffer.Fill(0);
        platform::SendWindowMessage(GetVisualizerWindow(), WM_VIS_SAMPLES, VIS_CMD_STOPPED, 0);
    }
    if (FAILED(hr)) {
        Trace("\r\n*** Failed(%08lx) in Stop()!\r\n", static_cast<unsigned long>(static_cast<std::uint32_t>(hr)));
        return hr;
    }
    m_nState = 0;
    return S_OK;
}

// Ends the stream so that the writers complete their files: the source stops capturing, the rest
// of the chain runs, end-of-stream enters behind the source and is awaited at the file's writer.
HRESULT CCaptureGraph::FinishStream() {
    if (!m_pGB || !m_pGrabberFilter || !m_pFileSink) return S_OK;
    GstState state = GST_STATE_NULL;
    gst_element_get_state(m_pGB, &state, nullptr, 0);
    if (state < GST_STATE_PAUSED) return S_OK;

    GstPad* writerPad = gst_element_get_static_pad(m_pFileSink, "sink");
    GstPad* entry = gst_element_get_static_pad(m_pGrabberFilter, "sink");
    if (!writerPad || !entry) {
        if (writerPad) gst_object_unref(writerPad);
        if (entry) gst_object_unref(entry);
        return S_OK;
    }
    struct Done {
        std::mutex lock;
        std::condition_variable cv;
        bool eos = false;
    };
    auto done = std::make_shared<Done>();
    gulong probe = gst_pad_add_probe(
        writerPad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM,
        [](GstPad*, GstPadProbeInfo* info, gpointer data) {
            if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_EOS) {
                auto* d = static_cast<std::shared_ptr<Done>*>(data);
                std::lock_guard lock((*d)->lock);
                (*d)->eos = true;
                (*d)->cv.notify_all();
            }
            return GST_PAD_PROBE_OK;
        },
        new std::shared_ptr<Done>(done), [](gpointer p) { delete static_cast<std::shared_ptr<Done>*>(p); });

    // No more capture into the chain; the writers take the end of the stream.
    if (m_gate) m_gate->mode.store(Gate::Closed);
    if (state != GST_STATE_PLAYING) gst_element_set_state(m_pGB, GST_STATE_PLAYING);
    // Pushed from a helper thread so that a chain that never takes it cannot hold this one.
    std::thread pusher([entry] { gst_pad_send_event(entry, gst_event_new_eos()); });
    bool finished;
    {
        std::unique_lock lock(done->lock);
        finished = done->cv.wait_for(lock, kFinishTimeout, [&] { return done->eos; });
    }
    if (!finished) gst_element_set_state(m_pGB, GST_STATE_NULL);  // unblocks the pusher
    pusher.join();
    gst_pad_remove_probe(writerPad, probe);
    gst_object_unref(writerPad);
    gst_object_unref(entry);
    // Closing the writer flushes and closes the file.
    gst_element_set_state(m_pGB, GST_STATE_NULL);
    return finished ? S_OK : E_FAIL;
}

HRESULT CCaptureGraph::StartSampleTap() {
    if (!m_pGrabber) return E_NOINTERFACE;
    return HookSampleTap(*m_pGrabber);
}

HRESULT CCaptureGraph::StopSampleTap() {
    if (!m_pGrabber) return E_NOINTERFACE;
    return m_pGrabber->SetCallback(nullptr, 1);
}

HRESULT CCaptureGraph::SelectCaptureDevice(const IListBox& deviceList, int deviceIndex, IListBox& inputList) {
    if (m_pSource) RebuildGraph();
    DeviceMonikerPtr moniker = deviceList.GetItemData(deviceIndex);
    if (!moniker) return E_FAIL;
    GstElement* source = moniker->BindToObject("Audio Capture");
    if (!source) return E_FAIL;
    gst_object_ref_sink(source);
    if (!AddToGraph(m_pGB, source)) {
        gst_object_unref(source);
        return E_FAIL;
    }
    AttachMoniker(source, moniker);
    m_pSource = source;
    m_pSourceMoniker = moniker;
    InstallGate();
    return ListPinNames(m_pSource, PINDIR_INPUT, inputList);
}

HRESULT CCaptureGraph::SelectCaptureInput(const std::string& inputName) {
    if (!m_pSourceMoniker) return E_NOINTERFACE;
    if (!m_pSourceMoniker->HasPorts()) return inputName == m_pSourceMoniker->FriendlyName() ? S_OK : S_FALSE;
    return m_pSourceMoniker->EnablePort(inputName);
}

std::string CCaptureGraph::SourceName() const {
    return m_pSourceMoniker ? m_pSourceMoniker->FriendlyName() : std::string();
}

HRESULT CCaptureGraph::GetCurrentPosition(LONGLONG* position) {
    if (!m_pMS) return E_NOINTERFACE;
    if (!position) return E_POINTER;
    // The stream time recorded so far: paused spans are not in it.
    *position = m_gate ? static_cast<LONGLONG>(m_gate->recorded.load() / 100) : 0;
    return S_OK;
}

HRESULT CCaptureGraph::GetEvent(long* eventCode, LONG_PTR* param1, LONG_PTR* param2, long timeoutMs) {
    // A capture error means the device went away.
    return PopGraphEvent(m_pME, EC_DEVICE_LOST, eventCode, param1, param2, timeoutMs);
}
