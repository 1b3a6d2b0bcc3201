#include "controls/MemoryDC.h"

CMemoryDC::CMemoryDC(wxDC& target, const wxRect& rect, bool copyTarget) : target_(target), rect_(rect) {
    Init(copyTarget);
}

CMemoryDC::CMemoryDC(wxDC& target, bool copyTarget) : target_(target) {
    wxCoord x = 0, y = 0, w = 0, h = 0;
    target.GetClippingBox(&x, &y, &w, &h);
    if (w <= 0 || h <= 0) {
        const wxSize size = target.GetSize();
        x = y = 0;
        w = size.x;
        h = size.y;
    }
    rect_ = wxRect(x, y, w, h);
    Init(copyTarget);
}

void CMemoryDC::Init(bool copyTarget) {
    bitmap_.Create(std::max(1, rect_.width), std::max(1, rect_.height), 24);
    SelectObject(bitmap_);
    // Drawing uses the target's coordinates.
    SetDeviceOrigin(-rect_.x, -rect_.y);
    if (copyTarget && wxDynamicCast(&target_, wxMemoryDC)) {
        Blit(rect_.x, rect_.y, rect_.width, rect_.height, &target_, rect_.x, rect_.y);
    } else {
        wxColour bg = target_.GetBackground().IsOk() ? target_.GetBackground().GetColour() : *wxWHITE;
        SetBrush(wxBrush(bg));
        SetPen(*wxTRANSPARENT_PEN);
        DrawRectangle(rect_);
    }
}

CMemoryDC::~CMemoryDC() {
    SetDeviceOrigin(0, 0);
    target_.Blit(rect_.x, rect_.y, rect_.width, rect_.height, this, 0, 0);
    SelectObject(wxNullBitmap);
}
