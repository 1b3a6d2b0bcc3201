#include "controls/SkinSlider.h"

#include <algorithm>

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>

#include "controls/ControlMessages.h"
#include "controls/MemoryDC.h"

bool CSkinSlider::Create(wxWindow* parent, wxWindowID id, const wxRect& rect) {
    if (!wxControl::Create(parent, id, rect.GetPosition(), rect.GetSize(), wxBORDER_NONE | wxWANTS_CHARS))
        return false;
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CSkinSlider::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CSkinSlider::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &CSkinSlider::OnLeftDown, this);
    Bind(wxEVT_MOTION, &CSkinSlider::OnMotion, this);
    Bind(wxEVT_LEFT_UP, &CSkinSlider::OnLeftUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CSkinSlider::OnCaptureLost, this);
    Bind(wxEVT_SET_FOCUS, &CSkinSlider::OnFocus, this);
    Bind(wxEVT_KILL_FOCUS, &CSkinSlider::OnKillFocus, this);
    Bind(wxEVT_KEY_DOWN, &CSkinSlider::OnKey, this);
    return true;
}

bool CSkinSlider::TakeOver(wxWindow* templateControl) {
    if (!templateControl || !templateControl->GetParent()) return false;
    const wxRect rect = templateControl->GetRect();
    wxWindow* parent = templateControl->GetParent();
    const wxWindowID id = templateControl->GetId();
    templateControl->Destroy();
    return Create(parent, id, rect);
}

bool CSkinSlider::SetChannelImages(const wxString& normal, const wxString& active, bool transparent,
                                   controls::ColorRef key, int keyX, int keyY) {
    channel_ = channelActive_ = wxBitmap();
    wxImage a, b;
    controls::LoadSkinImage(normal, a);
    controls::LoadSkinImage(active, b);
    if (transparent) {
        channel_ = controls::MakeKeyedBitmap(a, key, keyX, keyY);
        channelActive_ = controls::MakeKeyedBitmap(b, key, keyX, keyY);
    } else {
        if (a.IsOk()) channel_ = wxBitmap(a, 24);
        if (b.IsOk()) channelActive_ = wxBitmap(b, 24);
    }
    geo_.channelWidth = channel_.IsOk() ? channel_.GetWidth() : 0;
    channelHeight_ = channel_.IsOk() ? channel_.GetHeight() : 0;
    if (channel_.IsOk()) SetSize(channel_.GetWidth(), channel_.GetHeight());
    channelTransparent_ = transparent;
    Refresh(false);
    return true;
}

bool CSkinSlider::SetThumbImages(const wxString& normal, const wxString& active, bool transparent,
                                 controls::ColorRef key, int keyX, int keyY) {
    thumb_ = thumbActive_ = wxBitmap();
    wxImage a, b;
    controls::LoadSkinImage(normal, a);
    controls::LoadSkinImage(active, b);
    if (transparent) {
        thumb_ = controls::MakeKeyedBitmap(a, key, keyX, keyY);
        thumbActive_ = controls::MakeKeyedBitmap(b, key, keyX, keyY);
    } else {
        if (a.IsOk()) thumb_ = wxBitmap(a, 24);
        if (b.IsOk()) thumbActive_ = wxBitmap(b, 24);
    }
    geo_.thumbWidth = thumb_.IsOk() ? thumb_.GetWidth() : 0;
    thumbHeight_ = thumb_.IsOk() ? thumb_.GetHeight() : 0;
    if (!channel_.IsOk()) {
        const wxSize client = GetClientSize();
        geo_.channelWidth = client.x;
        channelHeight_ = client.y;
    }
    thumbTransparent_ = transparent;
    Refresh(false);
    return true;
}

void CSkinSlider::SetRange(int minimum, int maximum, bool redraw) {
    geo_.minimum = minimum;
    geo_.maximum = maximum;
    if (redraw) Refresh(true);
}

void CSkinSlider::SetPos(int pos) {
    pos_ = geo_.ClampPos(pos);
    Refresh(true);
}

void CSkinSlider::SetMargins(int left, int top, int right, int bottom) {
    geo_.marginLeft = left;
    marginTop_ = top;
    geo_.marginRight = right;
    marginBottom_ = bottom;
}

void CSkinSlider::ShowFocusFrame(bool show, bool redraw) {
    focusFrameWanted_ = show;
    if (redraw) Refresh(true);
}

void CSkinSlider::Post(std::uint32_t msg) {
    if (target_) platform::PostWindowMessage(target_, msg, static_cast<std::uintptr_t>(GetId()), pos_);
}

void CSkinSlider::HandleLeftDown(int x) {
    if (!IsEnabled()) return;
    if (!HasCapture()) CaptureMouse();
    SetFocus();
    dragging_ = true;
    const int centre = ThumbCentre();
    const int half = geo_.thumbWidth / 2;
    // A click on the thumb keeps its grip; anywhere else the centre jumps to the click.
    grabOffset_ = (x >= centre - half && x <= centre + half) ? x - centre : 0;
    HandleMouseMove(x);
    Refresh(true);
}

void CSkinSlider::HandleMouseMove(int mouseX) {
    if (!IsEnabled() || !dragging_) return;
    const int x = geo_.ClampPixel(mouseX - grabOffset_);
    if (x == ThumbCentre()) return;
    const int old = pos_;
    SetPos(geo_.PosOfPixel(x));
    // Pixels between two positions' centres map to the position already held: no news for the
    // parent then.
    if (pos_ != old) Post(controls::WM_SLIDER_MOVING);
}

void CSkinSlider::HandleLeftUp() {
    if (!IsEnabled()) return;
    if (HasCapture()) ReleaseMouse();
    dragging_ = false;
    Refresh(true);
    Post(controls::WM_SLIDER_MOVED);
}

void CSkinSlider::OnLeftDown(wxMouseEvent& e) { HandleLeftDown(e.GetX()); }
void CSkinSlider::OnMotion(wxMouseEvent& e) {
    HandleMouseMove(e.GetX());
    e.Skip();
}
void CSkinSlider::OnLeftUp(wxMouseEvent& e) {
    HandleLeftUp();
    e.Skip();
}
void CSkinSlider::OnCaptureLost(wxMouseCaptureLostEvent&) {
    dragging_ = false;
    Refresh(true);
}
void CSkinSlider::OnFocus(wxFocusEvent& e) {
    hasFocus_ = true;
    Refresh(true);
    e.Skip();
}
void CSkinSlider::OnKillFocus(wxFocusEvent& e) {
    hasFocus_ = false;
    Refresh(true);
    e.Skip();
}
void CSkinSlider::OnKey(wxKeyEvent& e) {
    // All keys are taken and none handled, except that Tab still moves the focus.
    if (e.GetKeyCode() == WXK_TAB) {
        Navigate(e.ShiftDown() ? wxNavigationKeyEvent::IsBackward : wxNavigationKeyEvent::IsForward);
        return;
    }
}

void CSkinSlider::DrawTo(wxDC& dc) {
    const wxSize client = GetClientSize();
    const wxRect rect(0, 0, client.x, client.y);
    CMemoryDC mem(dc, rect, channelTransparent_);
    const bool enabled = IsEnabled();
    const int centre = ThumbCentre();
    if (!channel_.IsOk() || channelTransparent_) {
        // Nothing of the parent shows through a window here: start from its colour.
        const wxColour bg = GetParent() ? GetParent()->GetBackgroundColour() : GetBackgroundColour();
        mem.SetBrush(wxBrush(bg));
        mem.SetPen(*wxTRANSPARENT_PEN);
        mem.DrawRectangle(rect);
    }
    if (channel_.IsOk()) {
        const bool split = channelActive_.IsOk() && enabled;
        wxMemoryDC src;
        if (split) {
            // Active channel up to the thumb centre, normal channel after it, each from the same
            // place of its own image.
            src.SelectObjectAsSource(channelActive_);
            const int w = std::min(centre, channelActive_.GetWidth());
            if (w > 0) mem.Blit(0, 0, w, channelActive_.GetHeight(), &src, 0, 0, wxCOPY, channelTransparent_);
            src.SelectObjectAsSource(channel_);
            if (channel_.GetWidth() > centre)
                mem.Blit(centre, 0, channel_.GetWidth() - centre, channel_.GetHeight(), &src, centre, 0, wxCOPY,
                         channelTransparent_);
        } else {
            src.SelectObjectAsSource(channel_);
            mem.Blit(0, 0, channel_.GetWidth(), channel_.GetHeight(), &src, 0, 0, wxCOPY, channelTransparent_);
        }
        src.SelectObject(wxNullBitmap);
    }
    if (thumb_.IsOk() && enabled) {
        const wxBitmap& image = (dragging_ && thumbActive_.IsOk()) ? thumbActive_ : thumb_;
        mem.DrawBitmap(image, centre - geo_.thumbWidth / 2, marginTop_, thumbTransparent_);
    }
    if (focusFrameWanted_ && hasFocus_ && enabled) {
        mem.SetBrush(*wxTRANSPARENT_BRUSH);
        mem.SetPen(wxPen(*wxBLACK, 1, wxPENSTYLE_DOT));
        mem.DrawRectangle(rect);
    }
}

void CSkinSlider::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    DrawTo(dc);
}
