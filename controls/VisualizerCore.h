// Everything the visualizer computes, free of windows: the signal level, the 1024-point transform,
// the pacing of announcements and the drawing of one picture into an RGB canvas.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "controls/SkinImage.h"

namespace controls {

constexpr int kFftSize = 1024;
constexpr int kPeakCount = 1048;
constexpr int kPeakNone = 120;     // below the window: no held peak
constexpr int kPeakStopped = 75;   // also below the window, set when the engine stopped

// Level over a whole buffer (8-bit unsigned with 128 as zero or 16-bit signed, interleaved).
// 0.0 for no data, digital silence, an unknown format, or a signal with too few samples on one
// side of zero.
double SignalLevel(const std::uint8_t* data, std::uint32_t length, int bytesPerSample, int channels);

// Forward complex radix-2 transform of size 1024 in place (bit reversal first, exponent
// -2*pi*i*k*n/N), result divided by N.
void Fft1024(double* re, double* im);

// A 24-bit picture, row after row, 3 bytes a pixel. Lines leave out their end point.
class PixelCanvas {
public:
    PixelCanvas(int width = 0, int height = 0) { Resize(width, height); }
    void Resize(int width, int height);
    int Width() const { return w_; }
    int Height() const { return h_; }
    std::uint8_t* Data() { return px_.data(); }
    const std::uint8_t* Data() const { return px_.data(); }

    void Fill(ColorRef c);
    // Copies a picture of size (w, h) (3 bytes a pixel, `stride` bytes a row) to the origin,
    // cropped to the canvas.
    void CopyFrom(const std::uint8_t* rgb, int w, int h, int stride);
    void SetPixel(int x, int y, ColorRef c);
    ColorRef GetPixel(int x, int y) const;
    void Line(int x0, int y0, int x1, int y1, ColorRef c);        // end point excluded
    void FillRect(int l, int t, int r, int b, ColorRef c);        // right and bottom excluded

private:
    int w_ = 0, h_ = 0;
    std::vector<std::uint8_t> px_;
};

// When the announcements of new buffers lead to a drawing, and what the refresh timer does.
class ArrivalPacer {
public:
    struct Decision {
        bool draw = false;
        bool startTimer = false;  // (re)start the refresh timer at 100 ms
        bool killTimer = false;
    };
    // A new buffer with sample time t (seconds).
    Decision OnBuffer(double sampleTime);
    int PreviousMs() const { return previousMs_; }

private:
    int previousMs_ = 0;
    unsigned toggle_ = 0;
};

// The state that lives across drawings and the drawing itself.
class VisualizerEngine {
public:
    VisualizerEngine();

    static constexpr ColorRef kLinePen = 0x00C87860;     // RGB(96, 120, 200)
    static constexpr ColorRef kOutlinePen = 0x00FFDEDE;  // RGB(222, 222, 255)
    static constexpr ColorRef kBarBrush = 0x00877447;    // RGB(71, 116, 135)

    // Command codes 10, 11, 12 for the type `vizState`; returns true when the window must be
    // repainted (code 10). `killTimer` is set for code 12.
    bool Command(std::uintptr_t code, int vizState, bool& killTimer);

    // A new buffer was announced: the sub-window goes back to the start.
    void ResetSubWindow() { index_ = 0; }
    // A refresh tick: the next sub-window; returns false when the timer must stop.
    bool NextSubWindow(std::uint32_t length);
    unsigned SubWindow() const { return index_; }

    // Draws one picture of `data` onto `canvas` (which already holds the background).
    // `timerRunning`: the refresh timer runs (one-byte data then shows one tenth of the buffer).
    // Returns false when nothing but the background is shown.
    bool Draw(PixelCanvas& canvas, int vizState, const std::uint8_t* data, std::uint32_t length,
              int bytesPerSample, int channels, bool timerRunning);

    bool EqualizerStopped() const { return eqStopped_; }
    unsigned SilentDrawings() const { return silent_; }
    const std::array<int, kPeakCount>& Peaks() const { return peaks_; }
    // The magnitudes of the last transform (bins 0..1023).
    const double* Magnitudes() const { return mag_.data(); }

private:
    void Transform(const std::uint8_t* data, std::uint32_t length, std::uint32_t start,
                   std::uint32_t windowLen, int bytesPerSample, int channels);
    void DrawGraph(PixelCanvas& c, bool flat, const std::uint8_t* data, std::uint32_t length, std::uint32_t start,
                   std::uint32_t windowLen, int bytesPerSample, int channels, double xscale);
    void DrawSpectrum(PixelCanvas& c, bool oneByte);
    void DrawEqualizer(PixelCanvas& c);

    std::array<int, kPeakCount> peaks_;
    bool eqStopped_ = false;
    unsigned index_ = 0;
    unsigned silent_ = 0;
    int span_ = 1024;
    std::array<double, kFftSize> re_{}, im_{}, mag_{};
};

}  // namespace controls
