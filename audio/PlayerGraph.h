// The playback engine: plays one file at a time through the default output and feeds the sample
// tap. The file's last audio stream decides the chain (GetFileInfo): format tags the default chain
// decodes (type 1) go through decodebin, Windows Media Audio v2/Pro/Lossless (type 2) through
// "ASF Reader" (asfdemux) -> "My DMO" (avdec_wma*), anything else is refused with message 1003.
// In front of the renderer sits "InfTee": Output1 feeds "Default DirectSound Device" (volume +
// default sink), Output2 feeds "Sample Grabber" -> "NULLRenderer".
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "audio/EngineTypes.h"

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstPad GstPad;
class CSampleGrabber;

// Playback type of a WAVE format tag: 1 for a tag the default chain plays, 2 for Windows Media
// Audio (0x161, 0x162, 0x163), else -1.
int ClassifyWaveFormatTag(std::uint16_t tag);

class CPlayerGraph {
public:
    CPlayerGraph();
    ~CPlayerGraph();
    CPlayerGraph(const CPlayerGraph&) = delete;
    CPlayerGraph& operator=(const CPlayerGraph&) = delete;

    std::string m_strFile;       // path of the file last opened successfully
    int m_nState = 0;            // 0 stopped, 1 paused, 2 running
    WAVEFORMATEX m_wfxStream{};  // format of the file's last stream
    WAVEFORMATEX m_wfxOutput{};  // format connected at the renderer's input

    GstElement* m_pGraph = nullptr;    // the pipeline
    GstElement* m_pSeeking = nullptr;  // positions of m_pGraph
    GstElement* m_pControl = nullptr;  // run/pause/stop of m_pGraph
    GstBus* m_pEvent = nullptr;        // events of m_pGraph
    GstElement* m_pAudio = nullptr;    // the renderer's volume element
    std::unique_ptr<CSampleGrabber> m_pGrabber;
    GstElement* m_pTee = nullptr;          // "InfTee"
    GstElement* m_pNullRenderer = nullptr; // "NULLRenderer"
    int m_nFileType = 0;

    // Builds the graph for the file; posts WM_GRAPHNOTIFY (lParam 1) to `notifyWindow` for each
    // graph event. Unplayable: message 1003 in a message box and E_FAIL.
    HRESULT OpenFile(const std::string& path, platform::WindowRef notifyWindow);
    HRESULT Run();
    HRESULT Pause();
    HRESULT Stop();
    HRESULT GetCurrentPosition(LONGLONG* position);   // 100 ns units
    HRESULT SetCurrentPosition(LONGLONG* position);
    HRESULT GetDuration(LONGLONG* duration);
    HRESULT SetVolume(long volume);  // hundredths of a decibel, -10000 silent .. 0 full
    // Inspects a file without playing it: duration in seconds (may be null) and the playback type
    // (the caller presets it to -1).
    HRESULT GetFileInfo(const std::string& path, double* duration, int* type);
    HRESULT CreateGraph();
    HRESULT ReleaseGraph();
    HRESULT RebuildGraph();
    HRESULT StartSampleTap();
    HRESULT StopSampleTap();

    // Next pending graph event (EC_COMPLETE at the end of the file, EC_ERRORABORT on a stream
    // error): S_OK, or E_ABORT when none arrives within timeoutMs.
    HRESULT GetEvent(long* eventCode, LONG_PTR* param1, LONG_PTR* param2, long timeoutMs);
    HRESULT FreeEventParams(long, LONG_PTR, LONG_PTR) { return S_OK; }

    // Streaming-thread entries.
    void OnPadAdded(GstElement* element, GstPad* pad);
    struct NotifyTarget;  // where graph events are posted

private:
    HRESULT BuildWindowsMediaChain(const std::string& path);
    HRESULT BuildDefaultChain(const std::string& path);
    HRESULT BuildRendererAndTap();
    HRESULT WaitForPreroll();
    void ClearNotifyWindow();

    GstElement* m_pRenderer = nullptr;   // "Default DirectSound Device"
    GstElement* m_pDecoder = nullptr;    // where the decoded stream appears (decodebin or "My DMO")
    std::shared_ptr<NotifyTarget> m_notify;  // shared with the bus's sync handler
    double m_volumeGain = 1.0;
    double m_fileDuration = 0;  // seconds, from the inspection at OpenFile
};
