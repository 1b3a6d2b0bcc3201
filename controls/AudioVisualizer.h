// The live display of the audio being recorded or played: a waveform graph, a spectrum with falling
// peak markers or an equalizer of striped bars, on the background bitmap 1007 of the resource
// module. It reads the shared sample buffer when WM_VIS_SAMPLES announces new data and takes the
// command codes 10, 11 and 12 (with WM_VIS_SAMPLES or WM_NULL) as window messages.
#pragma once
#include <cstdint>
#include <vector>

#include <wx/bitmap.h>
#include <wx/control.h>
#include <wx/timer.h>

#include "controls/VisualizerCore.h"
#include "platform/WxMessageTarget.h"

class CAudioVisualizer : public wxControl {
public:
    CAudioVisualizer();
    CAudioVisualizer(wxWindow* parent, wxWindowID id, const wxRect& rect) : CAudioVisualizer() { Create(parent, id, rect); }
    bool Create(wxWindow* parent, wxWindowID id, const wxRect& rect);
    ~CAudioVisualizer() override;

    // Where the engines post WM_VIS_SAMPLES and WM_NULL commands.
    platform::WindowRef GetWindowRef() const { return ref_.get(); }

    // Sample size in bytes (1 or 2) and channels (1 or 2) of what is announced next.
    void SetFormat(int bytesPerSample, int channels);
    int BytesPerSample() const { return bytesPerSample_; }
    int Channels() const { return channels_; }
    // The level of the shared buffer for the given format.
    double SignalLevel(int bytesPerSample, int channels) const;

    // The message handling (also what the window message event runs); returns the result.
    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);
    // One tick of refresh timer 104.
    void OnRefreshTick();
    bool IsRefreshTimerRunning() const { return timer_.IsRunning(); }

    // Draws the shared buffer now.
    void DrawNow();

    // What the last drawing put on the window, and how many drawings there were.
    const wxBitmap& LastFrame() const { return lastFrame_; }
    const controls::PixelCanvas& LastCanvas() const { return canvas_; }
    unsigned DrawCount() const { return drawCount_; }
    bool LastDrawShowedSignal() const { return lastShowedSignal_; }
    const controls::VisualizerEngine& Engine() const { return engine_; }
    int Mode() const { return mode_; }

    // A repaint asked for from outside shows the bare background, as after any invalidation.
    void Refresh(bool eraseBackground = true, const wxRect* rect = nullptr) override;

private:
    void OnPaint(wxPaintEvent&);
    void OnTimer(wxTimerEvent&);
    void OnWindowMessage(platform::WindowMessageEvent&);
    void PaintBackground(controls::PixelCanvas& canvas);
    void Present();

    int mode_ = 1;
    int bytesPerSample_ = 0;
    int channels_ = 0;
    controls::VisualizerEngine engine_;
    controls::ArrivalPacer pacer_;
    controls::PixelCanvas canvas_;
    std::vector<std::uint8_t> copy_;
    std::vector<std::uint8_t> background_;  // bitmap 1007 as RGB rows
    int bgWidth_ = 0, bgHeight_ = 0;
    bool bgTried_ = false;
    wxBitmap lastFrame_;
    bool framePending_ = false;
    bool lastShowedSignal_ = false;
    unsigned drawCount_ = 0;
    wxTimer timer_;
    platform::MessageTargetScope ref_;
};
