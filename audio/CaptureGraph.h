// The recording engine: one GStreamer pipeline into which the main window binds the chosen capture
// device ("Audio Capture"), and on top of it one of three encode chains:
//   WAV: Audio Capture -> Sample Grabber -> WAV Dest (wavenc) -> File Writer (filesink)
//   MP3: Audio Capture -> Sample Grabber -> Lame encoder (lamemp3enc) -> WAV Dest (identity, or
//        xingmux when the encoder key asks for a Xing tag) -> File Writer: a plain MP3 file
//   WMA: Audio Capture -> Sample Grabber -> WM ASF Writer (avenc_wmav2 + avmux_asf + filesink)
// One graph serves one recording. Stop finishes the file: end-of-stream is sent into the chain and
// awaited at the writer before the pipeline is torn down.
#pragma once
#include <memory>
#include <string>

#include "audio/EngineTypes.h"
#include "audio/GraphHelpers.h"

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstCaps GstCaps;
class CSampleGrabber;

class CCaptureGraph {
public:
    CCaptureGraph();
    ~CCaptureGraph();
    CCaptureGraph(const CCaptureGraph&) = delete;
    CCaptureGraph& operator=(const CCaptureGraph&) = delete;

    int m_nState = 0;            // 0 stopped, 1 paused, 2 recording
    std::string m_strFileName;   // full path of the file being recorded
    int m_nFreqCode = 0;         // WavFrequency
    int m_nChannelCode = 0;      // WavMode
    int m_nBitCode = 0;          // WavBit
    int m_nWmaProfile = 0;       // WmaProfile
    unsigned char m_bMp3 = 0, m_bWma = 0, m_bWav = 0;
    int m_nSampleRate = 0;       // derived from m_nFreqCode
    int m_nChannels = 0;         // derived from m_nChannelCode
    int m_nBytesPerSample = 0;   // derived from m_nBitCode
    int m_nAvgBytesPerSec = 0;
    int m_nMp3Profile = 0;       // Mp3Profile
    int m_nWmaKHz = 0;           // sample-rate label of the chosen WMA profile
    std::string m_strWmaChannels;  // channel label of the chosen WMA profile

    // Graph pieces (GStreamer objects; each holds one reference, released by ReleaseGraph).
    GstElement* m_pGB = nullptr;              // the pipeline
    GstElement* m_pMC = nullptr;              // run/pause/stop of m_pGB
    GstBus* m_pME = nullptr;                  // events of m_pGB
    GstElement* m_pMS = nullptr;              // position of m_pGB
    GstElement* m_pSource = nullptr;          // "Audio Capture"
    GstElement* m_pFileWriter = nullptr;      // "File Writer" (WAV and MP3)
    GstElement* m_pAsfWriter = nullptr;       // "WM ASF Writer" (WMA)
    GstElement* m_pWavDest = nullptr;         // "WAV Dest" (WAV and MP3)
    GstElement* m_pGrabberFilter = nullptr;   // "Sample Grabber"
    std::unique_ptr<CSampleGrabber> m_pGrabber;
    GstElement* m_pFileSink = nullptr;        // the element that writes the file (its name is set here)

    HRESULT CreateGraph();
    HRESULT ReleaseGraph();
    HRESULT RebuildGraph();
    HRESULT RemoveWriters();
    HRESULT StopAndRemoveWriters();
    HRESULT ConfigureWavCapture();
    HRESULT BuildWavGraph();
    HRESULT BuildMp3Graph();
    HRESULT BuildWmaGraph();
    // Hands m_strFileName to the writer. A path longer than 259 characters is refused
    // (HRESULT for ERROR_FILENAME_EXCED_RANGE) rather than cut into another file's name.
    HRESULT SetOutputFile();
    HRESULT Recording();
    HRESULT Pause();
    HRESULT Stop();
    HRESULT StartSampleTap();
    HRESULT StopSampleTap();

    // The engine side of the main window's SelectCaptureDevice: rebuilds the graph when a source is
    // bound, binds the device stored at `deviceIndex` of `deviceList` as "Audio Capture" and lists its
    // inputs into `inputList`. Fails (graph left without a source) when there is no such device or
    // the binding fails.
    HRESULT SelectCaptureDevice(const IListBox& deviceList, int deviceIndex, IListBox& inputList);
    // Enables the input named `inputName` of the bound device (exact, case-sensitive) and so
    // disables the others; S_FALSE when the device has no such input.
    HRESULT SelectCaptureInput(const std::string& inputName);
    // The bound device's friendly name (empty when none).
    std::string SourceName() const;

    // Recording time of the running graph in 100 ns units (paused time excluded).
    HRESULT GetCurrentPosition(LONGLONG* position);
    // Next pending graph event without waiting: S_OK with a code, E_ABORT when none.
    HRESULT GetEvent(long* eventCode, LONG_PTR* param1, LONG_PTR* param2, long timeoutMs);
    HRESULT FreeEventParams(long, LONG_PTR, LONG_PTR) { return S_OK; }

    // Pausing keeps the pipeline running and holds the capture back at the source's output; later
    // buffers are moved back in time by the paused span, so files and the tap see one continuous
    // stream. The gate lives as long as the graph's source.
    struct Gate;

private:
    HRESULT BuildCommonFront();
    HRESULT LinkSourceToGrabber();
    HRESULT SetFileName(GstElement* writer);
    HRESULT FinishStream();

    HRESULT InstallGate();

    std::shared_ptr<Gate> m_gate;
    DeviceMonikerPtr m_pSourceMoniker;   // device bound as m_pSource
    GstCaps* m_pSourceCaps = nullptr;    // capture format set by ConfigureWavCapture (WAV only)
};
