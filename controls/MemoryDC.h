// An off-screen surface over a rectangle of a target DC: drawing lands in a bitmap that is copied
// to the same place of the target when the surface goes away.
#pragma once
#include <wx/bitmap.h>
#include <wx/dcmemory.h>

class CMemoryDC : public wxMemoryDC {
public:
    // `copyTarget`: start from the target's pixels (a memory target only; others give its
    // background colour); otherwise the rectangle is filled with the target's background colour.
    CMemoryDC(wxDC& target, const wxRect& rect, bool copyTarget = false);
    explicit CMemoryDC(wxDC& target, bool copyTarget = false);
    ~CMemoryDC() override;
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    const wxRect& Rect() const { return rect_; }

private:
    void Init(bool copyTarget);

    wxDC& target_;
    wxRect rect_;
    wxBitmap bitmap_;
};
