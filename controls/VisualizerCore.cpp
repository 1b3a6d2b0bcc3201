#include "controls/VisualizerCore.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace controls {

namespace {

inline int Read16(const std::uint8_t* p) { return static_cast<std::int16_t>(p[0] | (p[1] << 8)); }

// The value of the frame at byte `offset`; false when the frame does not lie wholly in the buffer.
inline bool FrameValue(const std::uint8_t* data, std::uint32_t length, std::uint64_t offset, int bytesPerSample,
                       int channels, int& s) {
    if (bytesPerSample == 1) {
        if (offset + channels > length) return false;
        const std::uint8_t* p = data + offset;
        s = channels == 1 ? p[0] - 128 : (p[0] + p[1] - 256) / 2;
    } else {
        if (offset + 2u * channels > length) return false;
        const std::uint8_t* p = data + offset;
        s = channels == 1 ? Read16(p) : (Read16(p) + Read16(p + 2)) / 2;
    }
    return true;
}

struct Twiddles {
    double cosv[kFftSize / 2];
    double sinv[kFftSize / 2];
    std::uint16_t reversed[kFftSize];
    Twiddles() {
        const double pi = std::acos(-1.0);
        for (int k = 0; k < kFftSize / 2; ++k) {
            cosv[k] = std::cos(2 * pi * k / kFftSize);
            sinv[k] = -std::sin(2 * pi * k / kFftSize);
        }
        int bits = 0;
        while ((1 << bits) < kFftSize) ++bits;
        for (int i = 0; i < kFftSize; ++i) {
            int r = 0;
            for (int b = 0; b < bits; ++b)
                if (i & (1 << b)) r |= 1 << (bits - 1 - b);
            reversed[i] = static_cast<std::uint16_t>(r);
        }
    }
};

const Twiddles& TwiddleTable() {
    static const Twiddles t;
    return t;
}

inline std::uint8_t R(ColorRef c) { return c & 0xFF; }
inline std::uint8_t G(ColorRef c) { return (c >> 8) & 0xFF; }
inline std::uint8_t B(ColorRef c) { return (c >> 16) & 0xFF; }

}  // namespace

double SignalLevel(const std::uint8_t* data, std::uint32_t length, int bytesPerSample, int channels) {
    if (!data || length == 0 || bytesPerSample <= 0 || channels <= 0) return 0.0;
    const int used = std::min(channels, 2);
    long long sum = 0;
    long long positives = 0, negatives = 0;
    if (bytesPerSample == 1) {
        for (std::uint64_t i = 0; i + channels <= length; i += channels) {
            const int s = used == 1 ? data[i] - 128 : (data[i] + data[i + 1] - 256) / 2;
            if (s >= 0) {
                ++positives;
                sum += s;
            } else {
                ++negatives;
            }
        }
    } else {
        const std::uint64_t values = length / bytesPerSample;
        const std::uint64_t readable = std::min<std::uint64_t>(values, length / 2);
        for (std::uint64_t j = 0; j + channels <= readable; j += channels) {
            const int a = Read16(data + 2 * j);
            const int s = used == 1 ? a : (a + Read16(data + 2 * j + 2)) / 2;
            if (s >= 0)
                ++positives;
            else
                ++negatives;
            sum += s;
        }
    }
    const long long total = positives + negatives;
    if (total == 0) return 0.0;
    if (positives < total / 10 || negatives < total / 10) return 0.0;
    if (bytesPerSample == 1) return positives ? static_cast<double>(sum) / positives : 0.0;
    return static_cast<double>(sum) / total;
}

void Fft1024(double* re, double* im) {
    const Twiddles& t = TwiddleTable();
    for (int i = 0; i < kFftSize; ++i) {
        const int j = t.reversed[i];
        if (j > i) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
    }
    for (int size = 2; size <= kFftSize; size <<= 1) {
        const int half = size / 2;
        const int step = kFftSize / size;
        for (int start = 0; start < kFftSize; start += size) {
            for (int k = 0; k < half; ++k) {
                const double wr = t.cosv[k * step], wi = t.sinv[k * step];
                const int a = start + k, b = a + half;
                const double xr = re[b] * wr - im[b] * wi;
                const double xi = re[b] * wi + im[b] * wr;
                re[b] = re[a] - xr;
                im[b] = im[a] - xi;
                re[a] += xr;
                im[a] += xi;
            }
        }
    }
    for (int i = 0; i < kFftSize; ++i) {
        re[i] /= kFftSize;
        im[i] /= kFftSize;
    }
}

// ---- canvas

void PixelCanvas::Resize(int width, int height) {
    w_ = std::max(0, width);
    h_ = std::max(0, height);
    px_.assign(static_cast<std::size_t>(w_) * h_ * 3, 0);
}

void PixelCanvas::Fill(ColorRef c) {
    for (std::size_t i = 0; i + 2 < px_.size(); i += 3) {
        px_[i] = R(c);
        px_[i + 1] = G(c);
        px_[i + 2] = B(c);
    }
}

void PixelCanvas::CopyFrom(const std::uint8_t* rgb, int w, int h, int stride) {
    if (!rgb) return;
    const int cw = std::min(w, w_), ch = std::min(h, h_);
    for (int y = 0; y < ch; ++y) std::memcpy(&px_[static_cast<std::size_t>(y) * w_ * 3], rgb + static_cast<std::size_t>(y) * stride, cw * 3);
}

void PixelCanvas::SetPixel(int x, int y, ColorRef c) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    std::uint8_t* p = &px_[(static_cast<std::size_t>(y) * w_ + x) * 3];
    p[0] = R(c);
    p[1] = G(c);
    p[2] = B(c);
}

ColorRef PixelCanvas::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return 0;
    const std::uint8_t* p = &px_[(static_cast<std::size_t>(y) * w_ + x) * 3];
    return RGB(p[0], p[1], p[2]);
}

void PixelCanvas::Line(int x0, int y0, int x1, int y1, ColorRef c) {
    if (x0 == x1) {  // the common vertical case, clipped up front
        if (x0 < 0 || x0 >= w_ || y0 == y1) return;
        const int dir = y1 > y0 ? 1 : -1;
        int from = y0, to = y1;  // to excluded
        if (dir > 0) {
            from = std::max(from, 0);
            to = std::min(to, h_);
            for (int y = from; y < to; ++y) SetPixel(x0, y, c);
        } else {
            from = std::min(from, h_ - 1);
            to = std::max(to, -1);
            for (int y = from; y > to; --y) SetPixel(x0, y, c);
        }
        return;
    }
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0, y = y0;
    while (!(x == x1 && y == y1)) {
        SetPixel(x, y, c);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void PixelCanvas::FillRect(int l, int t, int r, int b, ColorRef c) {
    l = std::max(l, 0);
    t = std::max(t, 0);
    r = std::min(r, w_);
    b = std::min(b, h_);
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x) SetPixel(x, y, c);
}

// ---- pacing

ArrivalPacer::Decision ArrivalPacer::OnBuffer(double sampleTime) {
    Decision d;
    if (!std::isfinite(sampleTime)) sampleTime = 0.0;
    // Milliseconds as the tap's clock gives them; far-off times are held inside int's range.
    const double ms = std::clamp(std::trunc(sampleTime * 1000.0), -2147483648.0, 2147483647.0);
    const int now = static_cast<int>(ms);
    if (sampleTime != 0.0) {
        const long long elapsed = static_cast<long long>(now) - previousMs_;
        if (elapsed > 150) {
            d.startTimer = true;
            d.draw = true;
        } else {
            d.killTimer = true;
            if (elapsed < 40) {
                ++toggle_;
                d.draw = (toggle_ & 1u) != 0;
            } else {
                d.draw = true;
            }
        }
    }
    previousMs_ = now;
    return d;
}

// ---- drawing

VisualizerEngine::VisualizerEngine() { peaks_.fill(kPeakNone); }

bool VisualizerEngine::Command(std::uintptr_t code, int vizState, bool& killTimer) {
    killTimer = false;
    switch (code) {
    case 10:
        if (vizState == 3) eqStopped_ = true;
        if (vizState == 2) peaks_.fill(kPeakStopped);
        return true;
    case 11:
        if (vizState == 3) eqStopped_ = false;
        if (vizState == 2) peaks_.fill(kPeakNone);
        return false;
    case 12:
        killTimer = true;
        return false;
    default:
        return false;
    }
}

bool VisualizerEngine::NextSubWindow(std::uint32_t length) {
    ++index_;
    return !(static_cast<std::uint64_t>(length / 10) * index_ > length);
}

bool VisualizerEngine::Draw(PixelCanvas& canvas, int vizState, const std::uint8_t* data, std::uint32_t length,
                            int bytesPerSample, int channels, bool timerRunning) {
    const int W = canvas.Width(), H = canvas.Height();
    enum { Graph, Spectrum, Equalizer } type = Spectrum;
    if (vizState == 1) {
        type = Graph;
        span_ = 2048;
    } else if (vizState == 2) {
        span_ = 1024;
    } else if (vizState == 3) {
        type = Equalizer;
        span_ = 1024;
    }
    double xscale = static_cast<double>(W) / span_;

    const double level = SignalLevel(data, length, bytesPerSample, channels);
    bool flat = false;
    if (level == 0.0) {
        ++silent_;
        flat = silent_ > 10;
    } else {
        silent_ = 0;
    }

    // Nothing known about the samples, or nothing to show.
    if (!data || bytesPerSample <= 0 || channels <= 0 || W <= 0 || H < 2) return false;
    const int bps = bytesPerSample == 1 ? 1 : 2;
    std::uint64_t start = 0, windowLen = 0;
    if (bps == 2) {
        start = static_cast<std::uint64_t>(index_) * 2034;
        if (static_cast<long long>(start) > static_cast<long long>(length) - 1024) return false;
        windowLen = length - start;
    } else {
        if (timerRunning) {
            const std::uint64_t tenth = length / 10;
            start = tenth * index_;
            windowLen = tenth;
        } else {
            windowLen = length;
        }
        xscale = static_cast<double>(W) / 2048;
        if (start >= length) return false;
    }

    if (type == Graph) {
        DrawGraph(canvas, flat, data, length, static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(windowLen), bps,
                  channels, xscale);
        return true;
    }
    if (flat) return false;
    if (type == Equalizer && eqStopped_) {
        mag_.fill(0.0);
    } else {
        Transform(data, length, static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(windowLen), bps, channels);
    }
    if (type == Spectrum)
        DrawSpectrum(canvas, bps == 1);
    else
        DrawEqualizer(canvas);
    return true;
}

void VisualizerEngine::DrawGraph(PixelCanvas& c, bool flat, const std::uint8_t* data, std::uint32_t length,
                                 std::uint32_t start, std::uint32_t windowLen, int bps, int channels, double xscale) {
    const int W = c.Width(), H = c.Height(), midY = H / 2;
    int px = 0, py = midY;
    if (flat) {
        c.Line(0, midY, W, midY, kLinePen);
        return;
    }
    auto lineTo = [&](int x, int y) {
        if (y > H) y = H - 2;
        if (y < 0) y = 1;
        c.Line(px, py, x, y, kLinePen);
        px = x;
        py = y;
    };
    if (bps == 2) {
        const int div = 30000 / (H / 2);
        const std::uint32_t frameBytes = 2u * channels;
        for (int i = 0; i <= 1022; ++i) {
            const int x = static_cast<int>(i * xscale * 8);
            if (x >= W && px >= W) break;  // everything further right is clipped
            int s = 0;
            const bool inside = FrameValue(data, length, start + static_cast<std::uint64_t>(i) * frameBytes, 2, channels, s);
            lineTo(x, H / 2 - (inside ? s : 0) / div);
            if (!inside) break;
        }
    } else {
        for (std::uint32_t i = 0; i + 1 < windowLen; i += channels) {
            const int x = static_cast<int>(i * xscale * 8);
            if (x >= W && px >= W) break;
            int s = 0;
            const bool inside = FrameValue(data, length, static_cast<std::uint64_t>(start) + i, 1, channels, s);
            lineTo(x, H / 2 - (inside ? s : 0) / 10);
            if (!inside) break;
        }
    }
}

void VisualizerEngine::Transform(const std::uint8_t* data, std::uint32_t length, std::uint32_t start, std::uint32_t,
                                 int bps, int channels) {
    const std::uint32_t frameBytes = static_cast<std::uint32_t>(bps) * channels;
    bool inside = true;
    for (int k = 0; k < kFftSize; ++k) {
        int s = 0;
        if (inside) inside = FrameValue(data, length, start + static_cast<std::uint64_t>(k) * frameBytes, bps, channels, s);
        if (!inside) s = 0;
        re_[k] = bps == 2 ? s / 512.0 : static_cast<double>(s / 6);
        im_[k] = 0.0;
    }
    Fft1024(re_.data(), im_.data());
    for (int k = 0; k < kFftSize; ++k) mag_[k] = std::sqrt(re_[k] * re_[k] + im_[k] * im_[k]);
}

void VisualizerEngine::DrawSpectrum(PixelCanvas& c, bool oneByte) {
    const int W = std::min(c.Width(), kPeakCount - 1), H = c.Height();
    for (int x = 0; x < W; ++x) {
        const double m = x < kFftSize ? mag_[x] : 0.0;
        const int h = static_cast<int>(2.6 * H * m * std::exp(-m));
        const int y = H - h;
        if (y < peaks_[x])
            peaks_[x] = y;
        else
            peaks_[x] += 2;  // the held marker falls
        c.Line(x, H, x, peaks_[x], kLinePen);
    }
    const int limit = oneByte ? H - 1 : H;
    for (int x = 0; x < W; ++x) {
        const int peak = peaks_[x], next = peaks_[x + 1];
        if (peak >= limit) continue;
        c.SetPixel(x, peak, kOutlinePen);
        if (next < peak) {
            c.Line(x, peak, x, next, kOutlinePen);
        } else {
            c.SetPixel(x, peak - 1, kOutlinePen);
            c.Line(x + 1, peak - 1, x + 1, next - 1, kOutlinePen);
        }
    }
}

void VisualizerEngine::DrawEqualizer(PixelCanvas& c) {
    const int W = c.Width(), H = c.Height();
    for (int x = 3; x < W; x += 4) {
        double p = 0.0;
        for (int k = x; k <= x + 20 && k < kFftSize; ++k) p = std::max(p, mag_[k]);
        const double b = 2.6 * H * p * std::exp(-p);
        for (int y = H + 2; H - b < y; y -= 2) {
            if (y >= H - 1) continue;
            c.FillRect(x, y - 1, x + 3, y, kBarBrush);
        }
    }
}

}  // namespace controls
