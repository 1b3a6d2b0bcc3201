// Which frame of an image strip a hover button shows, and how large a frame is.
#pragma once

namespace controls {

struct ButtonState {
    bool disabled = false;
    bool hover = false;
    bool pressed = false;
};

// Frames side by side, all one width; columns left over at the right are never shown.
struct FrameSize {
    int width = 0;
    int height = 0;
};
FrameSize StripFrameSize(int stripWidth, int stripHeight, int frames);

// Three-frame strip: 0 normal, 1 disabled, 2 hover; pressed has no frame of its own.
int Hover3Frame(const ButtonState& s);

// Four-frame strip: 0 normal, 1 hover, 2 pressed, 3 disabled. The disabled frame is drawn over the
// chosen one, so `overlay` is 3 for a disabled button and -1 otherwise.
struct Hover4Choice {
    int frame = 0;
    int overlay = -1;
};
Hover4Choice Hover4Frame(const ButtonState& s);

}  // namespace controls
