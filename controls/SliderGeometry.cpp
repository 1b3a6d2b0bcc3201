#include "controls/SliderGeometry.h"

#include <algorithm>

namespace controls {

int SliderGeometry::Travel() const { return channelWidth - marginRight - thumbWidth - marginLeft; }

int SliderGeometry::PixelOfPos(int p) const {
    const int travel = Travel();
    const int base = marginLeft + thumbWidth / 2;
    if (maximum == minimum || travel <= 0) return base;
    const double fraction = static_cast<double>(p - minimum) / (maximum - minimum);
    return static_cast<int>(fraction * travel) + base;
}

int SliderGeometry::PosOfPixel(int x) const {
    const int travel = Travel();
    if (maximum == minimum || travel <= 0) return minimum;
    const double fraction = static_cast<double>(x - thumbWidth / 2 - marginLeft) / travel;
    return static_cast<int>(fraction * (maximum - minimum) + minimum);
}

int SliderGeometry::MinPixel() const { return marginLeft + thumbWidth / 2; }
int SliderGeometry::MaxPixel() const { return channelWidth - marginRight - thumbWidth / 2; }

int SliderGeometry::ClampPixel(int x) const {
    // Clamp to the lower end last, so a control narrower than its thumb stays at the start.
    return std::max(std::min(x, MaxPixel()), MinPixel());
}

int SliderGeometry::ClampPos(int p) const {
    const int lo = std::min(minimum, maximum), hi = std::max(minimum, maximum);
    return std::clamp(p, lo, hi);
}

}  // namespace controls
