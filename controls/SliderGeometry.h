// The arithmetic of a horizontal image slider: where a position's thumb centre lies and which
// position a pixel stands for. Integer results truncate toward zero.
#pragma once

namespace controls {

struct SliderGeometry {
    int minimum = 0;
    int maximum = 100;
    int channelWidth = 0;
    int thumbWidth = 0;
    int marginLeft = 0;
    int marginRight = 0;

    // channel width - right margin - thumb width - left margin
    int Travel() const;
    // The thumb centre for position p. An empty range or no travel puts it at the start.
    int PixelOfPos(int p) const;
    // The position for a thumb centre at x (not clamped; callers clamp x first). An empty range or
    // no travel gives the minimum.
    int PosOfPixel(int x) const;
    // The thumb centre's limits: [left margin + thumb/2, channel width - right margin - thumb/2].
    int MinPixel() const;
    int MaxPixel() const;
    int ClampPixel(int x) const;
    int ClampPos(int p) const;
};

}  // namespace controls
