#include "audio/PlayerGraph.h"

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/Messages.h"
#include "audio/GraphHelpers.h"
#include "audio/SampleBuffer.h"
#include "audio/SampleTap.h"
#include "platform/Ui.h"

namespace {

constexpr GstClockTime kPrerollTimeout = 5 * GST_SECOND;
constexpr GstClockTime kSeekTimeout = 2 * GST_SECOND;
constexpr GstClockTime kDiscoverTimeout = 2 * GST_SECOND;
constexpr unsigned kInvalidFileFormatMessage = 1003;

struct TagRange {
    std::uint16_t first, last;
};
// The tags the default chain plays.
constexpr TagRange kDefaultChainTags[] = {
    {0x0, 0x9},       {0x10, 0x19},     {0x20, 0x28},     {0x30, 0x3D},     {0x40, 0x42},     {0x52, 0x53},
    {0x59, 0x59},     {0x60, 0x65},     {0x67, 0x67},     {0x69, 0x69},     {0x70, 0x79},     {0x80, 0x86},
    {0x88, 0x89},     {0x91, 0x94},     {0x97, 0x99},     {0xA0, 0xA0},     {0x100, 0x101},   {0x111, 0x112},
    {0x123, 0x123},   {0x125, 0x125},   {0x130, 0x135},   {0x140, 0x140},   {0x150, 0x151},   {0x155, 0x155},
    {0x160, 0x160},   {0x170, 0x173},   {0x200, 0x200},   {0x202, 0x203},   {0x210, 0x210},   {0x220, 0x220},
    {0x230, 0x230},   {0x240, 0x241},   {0x250, 0x251},   {0x260, 0x260},   {0x270, 0x270},   {0x300, 0x300},
    {0x400, 0x400},   {0x450, 0x450},   {0x680, 0x681},   {0x1000, 0x1004}, {0x1100, 0x1100}, {0x1400, 0x1400},
    {0x1500, 0x1500}, {0x2000, 0x2000}, {0xFFFE, 0xFFFF},
};

// The WAVE format tag a stream's caps stand for; false when the stream has no wave format.
bool TagFromCaps(const GstCaps* caps, std::uint16_t* tag) {
    if (!caps || gst_caps_get_size(caps) == 0) return false;
    const GstStructure* s = gst_caps_get_structure(caps, 0);
    const std::string name = gst_structure_get_name(s);
    int version = 0, layer = 0, channels = 0;
    gst_structure_get_int(s, "channels", &channels);
    if (name == "audio/x-raw") {
        const char* format = gst_structure_get_string(s, "format");
        *tag = channels > 2 ? 0xFFFE : (format && format[0] == 'F') ? 0x0003 : 0x0001;
        return true;
    }
    if (name == "audio/x-alaw") { *tag = 0x0006; return true; }
    if (name == "audio/x-mulaw") { *tag = 0x0007; return true; }
    if (name == "audio/x-adpcm") {
        const char* layout = gst_structure_get_string(s, "layout");
        const std::string l = layout ? layout : "";
        if (l == "microsoft") *tag = 0x0002;
        else if (l == "dvi") *tag = 0x0011;
        else if (l == "oki") *tag = 0x0010;
        else if (l == "yamaha") *tag = 0x0020;
        else if (l == "g721") *tag = 0x0040;
        else if (l == "g726") *tag = 0x0045;
        else return false;
        return true;
    }
    if (name == "audio/x-gsm" || name == "audio/ms-gsm") { *tag = 0x0031; return true; }
    if (name == "audio/x-truespeech") { *tag = 0x0022; return true; }
    if (name == "audio/x-ac3") { *tag = 0x2000; return true; }
    if (name == "audio/x-dts") { *tag = 0x2001; return true; }
    if (name == "audio/x-wms") { *tag = 0x000A; return true; }
    if (name == "audio/x-wma") {
        gst_structure_get_int(s, "wmaversion", &version);
        static constexpr std::uint16_t wma[] = {0x0160, 0x0160, 0x0161, 0x0162, 0x0163};
        if (version < 1 || version > 4) return false;
        *tag = wma[version];
        return true;
    }
    if (name == "audio/mpeg") {
        gst_structure_get_int(s, "mpegversion", &version);
        gst_structure_get_int(s, "layer", &layer);
        if (version == 1) *tag = layer == 3 ? 0x0055 : 0x0050;
        else *tag = 0x00FF;  // AAC
        return true;
    }
    return false;
}

GstBusSyncReply ForwardEvents(GstBus*, GstMessage* msg, gpointer data);

// The format block of a RIFF WAVE file's "fmt " chunk (the detector names such a stream only by
// its container). False when the file is no RIFF WAVE or has no complete format block.
bool ReadRiffWaveFormat(const std::string& path, WAVEFORMATEX* format, std::uint32_t* dataBytes) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    auto readU32 = [&](std::uint32_t* v) {
        unsigned char b[4];
        if (std::fread(b, 1, 4, file) != 4) return false;
        *v = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
        return true;
    };
    bool ok = false;
    char id[4];
    std::uint32_t size = 0;
    if (std::fread(id, 1, 4, file) == 4 && std::memcmp(id, "RIFF", 4) == 0 && readU32(&size) &&
        std::fread(id, 1, 4, file) == 4 && std::memcmp(id, "WAVE", 4) == 0) {
        // Walk the chunks to "fmt " (a bounded number, so a hostile file cannot keep us here).
        for (int chunk = 0; chunk < 64; ++chunk) {
            if (std::fread(id, 1, 4, file) != 4 || !readU32(&size)) break;
            if (std::memcmp(id, "fmt ", 4) == 0 && !ok) {
                if (size < 16) break;
                WAVEFORMATEX wfx{};
                const std::size_t want = size < sizeof wfx ? size : sizeof wfx;
                if (std::fread(&wfx, 1, want, file) != want) break;
                *format = wfx;
                ok = true;
                size -= static_cast<std::uint32_t>(want);
            } else if (std::memcmp(id, "data", 4) == 0) {
                *dataBytes = size;
                break;
            }
            if (std::fseek(file, static_cast<long>(size + (size & 1)), SEEK_CUR) != 0) break;
        }
    }
    std::fclose(file);
    return ok;
}

}  // namespace

int ClassifyWaveFormatTag(std::uint16_t tag) {
    for (const auto& range : kDefaultChainTags)
        if (tag >= range.first && tag <= range.last) return kFileTypeDefaultChain;
    if (tag == 0x0161 || tag == 0x0162 || tag == 0x0163) return kFileTypeWindowsMedia;
    return kFileTypeUnplayable;
}

// Where the bus forwards graph events; shared with the sync handler, which may outlive a graph.
struct CPlayerGraph::NotifyTarget {
    std::atomic<platform::WindowRef> window{nullptr};
};

namespace {
GstBusSyncReply ForwardEvents(GstBus*, GstMessage* msg, gpointer data) {
    auto type = GST_MESSAGE_TYPE(msg);
    if (type != GST_MESSAGE_EOS && type != GST_MESSAGE_ERROR) return GST_BUS_DROP;
    auto* target = static_cast<std::shared_ptr<CPlayerGraph::NotifyTarget>*>(data);
    platform::PostWindowMessage((*target)->window.load(), WM_GRAPHNOTIFY, 0, 1);
    return GST_BUS_PASS;
}

GstElement* Make(const char* factory, const char* name = nullptr) {
    return gst_element_factory_make(factory, name);
}
}  // namespace

CPlayerGraph::CPlayerGraph() : m_notify(std::make_shared<NotifyTarget>()) {
    EnsureGstInitialized();
    HRESULT hr = CreateGraph();
    if (FAILED(hr)) {
        ReleaseGraph();
        Trace("Failed to initialize DirectShow!  hr=0x%x\r\n", static_cast<unsigned>(hr));
    }
}

CPlayerGraph::~CPlayerGraph() {
    Stop();
    ReleaseGraph();
    TheSampleBuffer().Free();
}

HRESULT CPlayerGraph::CreateGraph() {
    m_pGraph = gst_pipeline_new("player");
    if (!m_pGraph) return E_NOINTERFACE;
    gst_object_ref_sink(m_pGraph);
    m_pControl = GST_ELEMENT(gst_object_ref(m_pGraph));
    m_pSeeking = GST_ELEMENT(gst_object_ref(m_pGraph));
    m_pEvent = gst_pipeline_get_bus(GST_PIPELINE(m_pGraph));
    if (!m_pEvent) return E_NOINTERFACE;
    gst_bus_set_sync_handler(m_pEvent, ForwardEvents, new std::shared_ptr<NotifyTarget>(m_notify),
                             [](gpointer p) { delete static_cast<std::shared_ptr<NotifyTarget>*>(p); });
    return S_OK;
}

void CPlayerGraph::ClearNotifyWindow() { m_notify->window.store(nullptr); }

HRESULT CPlayerGraph::ReleaseGraph() {
    if (m_pEvent) {
        ClearNotifyWindow();
        gst_bus_set_sync_handler(m_pEvent, nullptr, nullptr, nullptr);
        gst_clear_object(&m_pEvent);
    }
    if (m_pGrabber) m_pGrabber->SetCallback(nullptr, 1);
    Stop();
    if (m_pGraph) gst_element_set_state(m_pGraph, GST_STATE_NULL);
    gst_clear_object(&m_pControl);
    gst_clear_object(&m_pSeeking);
    gst_clear_object(&m_pGraph);
    gst_clear_object(&m_pAudio);
    m_pGrabber.reset();
    gst_clear_object(&m_pTee);
    gst_clear_object(&m_pNullRenderer);
    gst_clear_object(&m_pRenderer);
    gst_clear_object(&m_pDecoder);
    m_nState = 0;
    return S_OK;
}

HRESULT CPlayerGraph::RebuildGraph() {
    ReleaseGraph();
    return CreateGraph();
}

HRESULT CPlayerGraph::GetFileInfo(const std::string& path, double* duration, int* type) {
    EnsureGstInitialized();
    GError* error = nullptr;
    GstDiscoverer* detector = gst_discoverer_new(kDiscoverTimeout, &error);
    if (!detector) {
        if (error) g_error_free(error);
        return E_NOINTERFACE;
    }
    gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
    GstDiscovererInfo* info = nullptr;
    // A file the detector cannot open gets one more try; the second answer decides.
    for (int attempt = 0; attempt < 2 && uri; ++attempt) {
        if (info) gst_discoverer_info_unref(info);
        if (error) g_clear_error(&error);
        info = gst_discoverer_discover_uri(detector, uri, &error);
        if (info) {
            auto result = gst_discoverer_info_get_result(info);
            if (result == GST_DISCOVERER_OK || result == GST_DISCOVERER_MISSING_PLUGINS) break;
            gst_discoverer_info_unref(info);
            info = nullptr;
        }
    }
    g_free(uri);
    if (error) g_error_free(error);
    HRESULT hr = E_FAIL;
    if (info) {
        GList* streams = gst_discoverer_info_get_audio_streams(info);
        if (GList* last = g_list_last(streams)) {
            auto* stream = GST_DISCOVERER_AUDIO_INFO(last->data);
            GstCaps* caps = gst_discoverer_stream_info_get_caps(GST_DISCOVERER_STREAM_INFO(stream));
            std::uint16_t tag = 0;
            WAVEFORMATEX riff{};
            const bool isRiff = caps && gst_caps_get_size(caps) > 0 &&
                                gst_structure_has_name(gst_caps_get_structure(caps, 0), "audio/x-wav");
            std::uint32_t dataBytes = 0;
            if (isRiff && ReadRiffWaveFormat(path, &riff, &dataBytes)) {
                m_wfxStream = riff;
                if (type) *type = ClassifyWaveFormatTag(riff.wFormatTag);
                if (duration) {
                    *duration = static_cast<double>(gst_discoverer_info_get_duration(info)) / GST_SECOND;
                    // The detector cannot time every WAVE file; the data chunk can.
                    if (*duration <= 0 && riff.nAvgBytesPerSec)
                        *duration = static_cast<double>(dataBytes) / riff.nAvgBytesPerSec;
                }
            } else if (!isRiff && TagFromCaps(caps, &tag)) {
                WAVEFORMATEX wfx{};
                wfx.wFormatTag = tag;
                wfx.nChannels = static_cast<std::uint16_t>(gst_discoverer_audio_info_get_channels(stream));
                wfx.nSamplesPerSec = gst_discoverer_audio_info_get_sample_rate(stream);
                wfx.wBitsPerSample = static_cast<std::uint16_t>(gst_discoverer_audio_info_get_depth(stream));
                if (tag == 0x0001 || tag == 0x0003 || tag == 0xFFFE) {
                    wfx.nBlockAlign = static_cast<std::uint16_t>(wfx.nChannels * wfx.wBitsPerSample / 8);
                    wfx.nAvgBytesPerSec = wfx.nSamplesPerSec * wfx.nBlockAlign;
                } else {
                    wfx.nAvgBytesPerSec = gst_discoverer_audio_info_get_bitrate(stream) / 8;
                }
                m_wfxStream = wfx;
                if (type) *type = ClassifyWaveFormatTag(tag);
                if (duration)
                    *duration = static_cast<double>(gst_discoverer_info_get_duration(info)) / GST_SECOND;
            }
            if (caps) gst_caps_unref(caps);
            hr = S_OK;
        }
        gst_discoverer_stream_info_list_free(streams);
        gst_discoverer_info_unref(info);
    }
    gst_object_unref(detector);
    return hr;
}

void CPlayerGraph::OnPadAdded(GstElement* element, GstPad* pad) {
    // The first decoded audio stream goes on; further streams stay unlinked.
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps) caps = gst_pad_query_caps(pad, nullptr);
    bool audio = false;
    if (caps && gst_caps_get_size(caps) > 0) {
        const char* name = gst_structure_get_name(gst_caps_get_structure(caps, 0));
        audio = g_str_has_prefix(name, "audio/");
    }
    if (caps) gst_caps_unref(caps);
    if (!audio || !m_pDecoder) return;
    if (m_nFileType != kFileTypeWindowsMedia) {
        // decodebin: its pad feeds the format stage in front of the tee.
        GstElement* stage = gst_bin_get_by_name(GST_BIN(m_pGraph), "Format");
        if (!stage) return;
        GstPad* sink = gst_element_get_static_pad(stage, "sink");
        if (!gst_pad_is_linked(sink)) gst_pad_link(pad, sink);
        gst_object_unref(sink);
        gst_object_unref(stage);
    } else {
        // asfdemux inside the "ASF Reader": its stream becomes the reader's output.
        GstElement* reader = GST_ELEMENT(gst_object_get_parent(GST_OBJECT(element)));
        if (!reader) return;
        GstPad* ghost = gst_element_get_static_pad(reader, "src");
        if (ghost && !gst_ghost_pad_get_target(GST_GHOST_PAD(ghost))) gst_ghost_pad_set_target(GST_GHOST_PAD(ghost), pad);
        if (ghost) gst_object_unref(ghost);
        gst_object_unref(reader);
    }
}

namespace {
void PadAdded(GstElement* element, GstPad* pad, gpointer self) { static_cast<CPlayerGraph*>(self)->OnPadAdded(element, pad); }

// Everything in front of the tee ends in 8- or 16-bit interleaved PCM, the formats the tap hands on.
GstElement* MakeFormatStage() {
    GstElement* bin = gst_bin_new("Format");
    GstElement* convert = Make("audioconvert");
    GstElement* filter = Make("capsfilter");
    if (!bin || !convert || !filter) return nullptr;
    GstCaps* caps = gst_caps_from_string("audio/x-raw,format={S16LE,U8},layout=interleaved");
    g_object_set(filter, "caps", caps, nullptr);
    gst_caps_unref(caps);
    gst_bin_add_many(GST_BIN(bin), convert, filter, nullptr);
    gst_element_link(convert, filter);
    GstPad* in = gst_element_get_static_pad(convert, "sink");
    GstPad* out = gst_element_get_static_pad(filter, "src");
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", in));
    gst_element_add_pad(bin, gst_ghost_pad_new("src", out));
    gst_object_unref(in);
    gst_object_unref(out);
    return bin;
}
}  // namespace

HRESULT CPlayerGraph::BuildDefaultChain(const std::string& path) {
    GstElement* source = Make("filesrc", "File Source");
    GstElement* decoder = Make("decodebin", "Decoder");
    GstElement* format = MakeFormatStage();
    if (!source || !decoder || !format) return E_NOINTERFACE;
    g_object_set(source, "location", path.c_str(), nullptr);
    gst_bin_add_many(GST_BIN(m_pGraph), source, decoder, format, nullptr);
    m_pDecoder = GST_ELEMENT(gst_object_ref(decoder));
    g_signal_connect(decoder, "pad-added", G_CALLBACK(PadAdded), this);
    if (!gst_element_link(source, decoder)) return E_FAIL;
    return S_OK;
}

HRESULT CPlayerGraph::BuildWindowsMediaChain(const std::string& path) {
    // "ASF Reader": the file and its demuxer behind one output pad.
    GstElement* reader = gst_bin_new("ASF Reader");
    GstElement* file = Make("filesrc");
    GstElement* demux = Make("asfdemux");
    if (!reader || !file || !demux) {
        Trace("Failed to create WMAsfWriter filter!  hr=0x%x\n", static_cast<unsigned>(E_NOINTERFACE));
        return E_NOINTERFACE;
    }
    g_object_set(file, "location", path.c_str(), nullptr);
    gst_bin_add_many(GST_BIN(reader), file, demux, nullptr);
    gst_element_link(file, demux);
    gst_element_add_pad(reader, gst_ghost_pad_new_no_target("src", GST_PAD_SRC));
    if (!gst_bin_add(GST_BIN(m_pGraph), reader)) {
        Trace("Failed to add ASF reader filter to graph!  hr=0x%x\n", static_cast<unsigned>(E_FAIL));
        return E_FAIL;
    }
    m_pDecoder = GST_ELEMENT(gst_object_ref(demux));
    g_signal_connect(demux, "pad-added", G_CALLBACK(PadAdded), this);

    // "My DMO": the WMA decoder for the stream's version.
    const char* decoderName = m_wfxStream.wFormatTag == 0x0162 ? "avdec_wmapro"
                              : m_wfxStream.wFormatTag == 0x0163 ? "avdec_wmalossless"
                                                                 : "avdec_wmav2";
    GstElement* dmo = Make(decoderName, "My DMO");
    GstElement* format = MakeFormatStage();
    if (!dmo || !format) {
        if (dmo) gst_object_unref(gst_object_ref_sink(dmo));
        if (format) gst_object_unref(gst_object_ref_sink(format));
        HRESULT hr = E_NOINTERFACE;
        Trace("Failed to connect file source filter & DMO !  hr=0x%x\n", static_cast<unsigned>(hr));
        return hr;
    }
    gst_bin_add_many(GST_BIN(m_pGraph), dmo, format, nullptr);
    if (!gst_element_link(reader, dmo)) {
        Trace("Failed to connect file source filter & DMO !  hr=0x%x\n", static_cast<unsigned>(E_FAIL));
        return E_FAIL;
    }
    if (!gst_element_link(dmo, format)) {
        Trace("Failed to connect file Parser filter & renderer !  hr=0x%x\n", static_cast<unsigned>(E_FAIL));
        return E_FAIL;
    }
    return S_OK;
}

// The tee in front of the renderer: Output1 (src_0) feeds the renderer, Output2 (src_1) the
// Sample Grabber and the Null Renderer. Each branch has its own queue so both can preroll.
HRESULT CPlayerGraph::BuildRendererAndTap() {
    GstElement* renderer = gst_bin_new("Default DirectSound Device");
    GstElement* convert = Make("audioconvert");
    GstElement* volume = Make("volume");
    GstElement* convert2 = Make("audioconvert");
    GstElement* resample = Make("audioresample");
    GstElement* sink = Make("pulsesink");
    if (!sink) sink = Make("autoaudiosink");
    if (!renderer || !convert || !volume || !convert2 || !resample || !sink) return E_NOINTERFACE;
    gst_bin_add_many(GST_BIN(renderer), convert, volume, convert2, resample, sink, nullptr);
    gst_element_link_many(convert, volume, convert2, resample, sink, nullptr);
    GstPad* in = gst_element_get_static_pad(convert, "sink");
    gst_element_add_pad(renderer, gst_ghost_pad_new("sink", in));
    gst_object_unref(in);
    g_object_set(volume, "volume", m_volumeGain, "mute", m_volumeGain <= 0.0 ? TRUE : FALSE, nullptr);
    m_pAudio = GST_ELEMENT(gst_object_ref(volume));
    m_pRenderer = GST_ELEMENT(gst_object_ref(renderer));

    GstElement* tee = Make("tee", "InfTee");
    GstElement* queue1 = Make("queue");
    GstElement* queue2 = Make("queue");
    if (!tee || !queue1 || !queue2) return E_NOINTERFACE;
    gst_bin_add_many(GST_BIN(m_pGraph), renderer, tee, queue1, queue2, nullptr);
    m_pTee = GST_ELEMENT(gst_object_ref(tee));
    GstElement* format = gst_bin_get_by_name(GST_BIN(m_pGraph), "Format");
    if (format) {
        gst_element_link(format, tee);
        gst_object_unref(format);
    }
    gst_element_link_many(tee, queue1, renderer, nullptr);

    m_pGrabber = std::make_unique<CSampleGrabber>();
    if (!m_pGrabber->Element()) return E_NOINTERFACE;
    if (!gst_bin_add(GST_BIN(m_pGraph), m_pGrabber->Element())) return E_FAIL;
    HRESULT hr = m_pGrabber->SetMediaType();
    if (FAILED(hr)) return hr;
    gst_element_link_many(tee, queue2, m_pGrabber->Element(), nullptr);

    GstElement* nullRenderer = Make("fakesink", "NULLRenderer");
    if (nullRenderer) {
        // Renders in time with the output, so the tap follows what is heard.
        g_object_set(nullRenderer, "sync", TRUE, nullptr);
        m_pNullRenderer = GST_ELEMENT(gst_object_ref_sink(nullRenderer));
        if (gst_bin_add(GST_BIN(m_pGraph), m_pNullRenderer)) gst_element_link(m_pGrabber->Element(), m_pNullRenderer);
    }
    return S_OK;
}

HRESULT CPlayerGraph::WaitForPreroll() {
    if (gst_element_set_state(m_pGraph, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) return E_FAIL;
    if (gst_element_get_state(m_pGraph, nullptr, nullptr, kPrerollTimeout) != GST_STATE_CHANGE_SUCCESS) return E_FAIL;
    if (GstMessage* msg = gst_bus_pop_filtered(m_pEvent, GST_MESSAGE_ERROR)) {
        gst_message_unref(msg);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CPlayerGraph::OpenFile(const std::string& path, platform::WindowRef notifyWindow) {
    RebuildGraph();
    if (!m_pGraph || !m_pEvent) return E_NOINTERFACE;
    int type = kFileTypeUnplayable;
    m_fileDuration = 0;
    GetFileInfo(path, &m_fileDuration, &type);
    if (type < 0) {
        platform::MessageBox(notifyWindow, GetLocalizedMessage(kInvalidFileFormatMessage), {},
                             platform::MB_OK | platform::MB_ICONERROR);
        return E_FAIL;
    }
    m_nFileType = type;
    HRESULT hr = type == kFileTypeWindowsMedia ? BuildWindowsMediaChain(path) : BuildDefaultChain(path);
    if (SUCCEEDED(hr)) hr = BuildRendererAndTap();
    if (SUCCEEDED(hr)) {
        m_notify->window.store(notifyWindow);
        hr = WaitForPreroll();
    }
    if (FAILED(hr)) {
        Trace("*** Failed(%08lx) to Render WM File(%s)!\r\n", static_cast<unsigned long>(static_cast<std::uint32_t>(hr)),
              path.c_str());
        ReleaseGraph();
        CreateGraph();
        return hr;
    }
    // The format that reached the renderer.
    m_wfxOutput = WAVEFORMATEX{};
    if (GstPad* in = gst_element_get_static_pad(m_pRenderer, "sink")) {
        if (GstCaps* caps = gst_pad_get_current_caps(in)) {
            WaveFormatFromCaps(caps, &m_wfxOutput);
            gst_caps_unref(caps);
        }
        gst_object_unref(in);
    }
    m_nState = 0;
    m_strFile = path;
    return S_OK;
}

HRESULT CPlayerGraph::Run() {
    if (!m_pControl) return E_NOINTERFACE;
    HRESULT hr = gst_element_set_state(m_pControl, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE ? E_FAIL : S_OK;
    StartSampleTap();
    if (FAILED(hr)) {
        Trace("\r\n*** Failed(%08lx) in Run()!\r\n", static_cast<unsigned long>(static_cast<std::uint32_t>(hr)));
        return hr;
    }
    m_nState = 2;
    return S_OK;
}

HRESULT CPlayerGraph::Pause() {
    if (!m_pControl) return E_NOINTERFACE;
    if (m_nState != 2) return S_OK;
    StopSampleTap();
    if (gst_element_set_state(m_pControl, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
        Trace("\r\n*** Failed(%08lx) in Pause()!\r\n", static_cast<unsigned long>(static_cast<std::uint32_t>(E_FAIL)));
        return E_FAIL;
    }
    m_nState = 1;
    return S_OK;
}

HRESULT CPlayerGraph::Stop() {
    if (!m_pControl) return E_NOINTERFACE;
    if (m_nState == 0) return S_OK;
    StopSampleTap();
    if (TheSampleBuffer().HasBuffer())
        platform::SendWindowMessage(GetVisualizerWindow(), WM_VIS_SAMPLES, VIS_CMD_STOPPED, 0);
    // Stopped is cued: paused at the start, ready to run again.
    if (gst_element_set_state(m_pControl, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
        Trace("\r\n*** Failed(%08lx) in Stop()!\r\n", static_cast<unsigned long>(static_cast<std::uint32_t>(E_FAIL)));
        return E_FAIL;
    }
    LONGLONG zero = 0;
    HRESULT hr = SetCurrentPosition(&zero);
    m_nState = 0;
    return hr;
}

HRESULT CPlayerGraph::GetCurrentPosition(LONGLONG* position) {
    if (!m_pSeeking) return E_NOINTERFACE;
    if (!position) return E_POINTER;
    gint64 pos = 0;
    if (!gst_element_query_position(m_pSeeking, GST_FORMAT_TIME, &pos) || pos < 0) return E_FAIL;
    *position = pos / 100;
    return S_OK;
}

HRESULT CPlayerGraph::SetCurrentPosition(LONGLONG* position) {
    if (!m_pSeeking) return E_NOINTERFACE;
    if (!position) return E_POINTER;
    if (!gst_element_seek_simple(m_pSeeking, GST_FORMAT_TIME,
                                 static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                 *position * 100))
        return E_FAIL;
    // A flushing seek cues again; wait until it has.
    gst_element_get_state(m_pSeeking, nullptr, nullptr, kSeekTimeout);
    return S_OK;
}

HRESULT CPlayerGraph::GetDuration(LONGLONG* duration) {
    if (!m_pSeeking) return E_NOINTERFACE;
    if (!duration) return E_POINTER;
    gint64 length = 0;
    if (!gst_element_query_duration(m_pSeeking, GST_FORMAT_TIME, &length) || length <= 0) {
        // Some parsers cannot tell; the length the file's inspection found stands in.
        if (m_fileDuration <= 0) return E_FAIL;
        length = static_cast<gint64>(m_fileDuration * GST_SECOND);
    }
    *duration = length / 100;
    return S_OK;
}

HRESULT CPlayerGraph::SetVolume(long volume) {
    if (!m_pAudio) return E_NOINTERFACE;
    if (volume > 0 || volume < -10000) return E_INVALIDARG;
    // Hundredths of a decibel onto a linear gain; the bottom of the range is silence.
    m_volumeGain = volume <= -10000 ? 0.0 : std::pow(10.0, static_cast<double>(volume) / 2000.0);
    g_object_set(m_pAudio, "volume", m_volumeGain, "mute", volume <= -10000 ? TRUE : FALSE, nullptr);
    // A cued graph holds audio that already passed the volume: cue it again at the new volume, so
    // that the next run starts at it.
    if (m_nState != 2 && m_pSeeking) {
        LONGLONG position = 0;
        if (SUCCEEDED(GetCurrentPosition(&position))) SetCurrentPosition(&position);
    }
    return S_OK;
}

HRESULT CPlayerGraph::StartSampleTap() {
    if (!m_pGrabber) return S_OK;
    return HookSampleTap(*m_pGrabber);
}

HRESULT CPlayerGraph::StopSampleTap() {
    if (!m_pGrabber) return S_OK;
    HRESULT hr = m_pGrabber->SetCallback(nullptr, 1);
    TheSampleBuffer().Fill(m_wfxOutput.wBitsPerSample == 8 ? 0x80 : 0x00);
    return hr;
}

HRESULT CPlayerGraph::GetEvent(long* eventCode, LONG_PTR* param1, LONG_PTR* param2, long timeoutMs) {
    return PopGraphEvent(m_pEvent, EC_ERRORABORT, eventCode, param1, param2, timeoutMs);
}
