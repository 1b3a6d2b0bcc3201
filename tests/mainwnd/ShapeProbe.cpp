#include "tests/mainwnd/ShapeProbe.h"

#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

namespace mainwndtest {

std::vector<wxRect> BoundingShape(unsigned long window) {
    std::vector<wxRect> out;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return out;
    int count = 0, ordering = 0;
    XRectangle* rects = XShapeGetRectangles(display, window, ShapeBounding, &count, &ordering);
    for (int i = 0; i < count; ++i) out.emplace_back(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
    if (rects) XFree(rects);
    XCloseDisplay(display);
    return out;
}

}  // namespace mainwndtest
