// The bounding shape of an X window as the X server holds it (the X headers stay out of tests).
#pragma once
#include <wx/gdicmn.h>

#include <vector>

namespace mainwndtest {

std::vector<wxRect> BoundingShape(unsigned long window);

}  // namespace mainwndtest
