// A horizontal slider drawn from images: a channel and a thumb, each with a normal and an active
// picture. A drag posts WM_SLIDER_MOVING on every change of position and the release posts
// WM_SLIDER_MOVED, both to the notify target with the slider's ID and the position.
#pragma once
#include <wx/bitmap.h>
#include <wx/control.h>

#include "controls/SkinImage.h"
#include "controls/SliderGeometry.h"
#include "platform/WindowMessage.h"

class CSkinSlider : public wxControl {
public:
    CSkinSlider() = default;
    CSkinSlider(wxWindow* parent, wxWindowID id, const wxRect& rect) { Create(parent, id, rect); }
    bool Create(wxWindow* parent, wxWindowID id, const wxRect& rect);
    // Takes the place of a control of a loaded template: same parent, ID, position and size; the
    // template control is destroyed.
    bool TakeOver(wxWindow* templateControl);

    // Where the two messages go (the parent registers itself as a message target).
    void SetNotifyTarget(platform::WindowRef target) { target_ = target; }
    platform::WindowRef GetNotifyTarget() const { return target_; }

    // Images through LoadSkinBitmap's rules; with `transparent` the key colour (or, with
    // KEY_FROM_PIXEL, the colour at keyX, keyY) is not drawn. The channel sets the control's size.
    bool SetChannelImages(const wxString& normal, const wxString& active, bool transparent = false,
                          controls::ColorRef key = controls::KEY_FROM_PIXEL, int keyX = 0, int keyY = 0);
    bool SetThumbImages(const wxString& normal, const wxString& active, bool transparent = false,
                        controls::ColorRef key = controls::KEY_FROM_PIXEL, int keyX = 0, int keyY = 0);

    void SetRange(int minimum, int maximum, bool redraw = false);
    void SetPos(int pos);  // clamped into the range; always redraws
    int GetPos() const { return pos_; }
    int GetRangeMin() const { return geo_.minimum; }
    int GetRangeMax() const { return geo_.maximum; }
    void SetMargins(int left, int top, int right, int bottom);
    void ShowFocusFrame(bool show, bool redraw = false);

    const controls::SliderGeometry& Geometry() const { return geo_; }
    int ThumbCentre() const { return geo_.PixelOfPos(pos_); }
    bool IsDragging() const { return dragging_; }

    // Draws the control as it looks now into `dc` at (0, 0).
    void DrawTo(wxDC& dc);

    // The mouse handling, also reachable by tests with synthesized positions.
    void HandleLeftDown(int x);
    void HandleMouseMove(int x);
    void HandleLeftUp();

private:
    void OnPaint(wxPaintEvent&);
    void OnLeftDown(wxMouseEvent&);
    void OnMotion(wxMouseEvent&);
    void OnLeftUp(wxMouseEvent&);
    void OnCaptureLost(wxMouseCaptureLostEvent&);
    void OnFocus(wxFocusEvent&);
    void OnKillFocus(wxFocusEvent&);
    void OnKey(wxKeyEvent&);
    void Post(std::uint32_t msg);

    controls::SliderGeometry geo_;
    int pos_ = 0;
    int channelHeight_ = 0;
    int thumbHeight_ = 0;
    int marginTop_ = 0;
    int marginBottom_ = 0;
    int grabOffset_ = 0;
    bool dragging_ = false;
    bool hasFocus_ = false;
    bool focusFrameWanted_ = true;
    bool channelTransparent_ = false;
    bool thumbTransparent_ = false;
    wxBitmap channel_, channelActive_, thumb_, thumbActive_;
    platform::WindowRef target_ = nullptr;
};
