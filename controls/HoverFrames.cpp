#include "controls/HoverFrames.h"

namespace controls {

FrameSize StripFrameSize(int stripWidth, int stripHeight, int frames) {
    if (frames <= 0 || stripWidth <= 0 || stripHeight <= 0) return {};
    return {stripWidth / frames, stripHeight};
}

int Hover3Frame(const ButtonState& s) {
    if (s.disabled) return 1;
    return s.hover ? 2 : 0;
}

Hover4Choice Hover4Frame(const ButtonState& s) {
    Hover4Choice c;
    c.frame = s.pressed ? 2 : (s.hover ? 1 : 0);
    if (s.disabled) c.overlay = 3;
    return c;
}

}  // namespace controls
