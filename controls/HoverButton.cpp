#include "controls/HoverButton.h"

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/tooltip.h>

namespace {
constexpr int kHoverTimerId = 1;  // the hover notification's delay timer
constexpr int kHoverDelayMs = 1;
}  // namespace

CHoverButton::CHoverButton(int frames) : frames_(frames), hoverTimer_(this, kHoverTimerId) {}

CHoverButton::~CHoverButton() {
    hoverTimer_.Stop();
    if (HasCapture()) ReleaseMouse();
}

bool CHoverButton::Create(wxWindow* parent, wxWindowID id, const wxRect& rect) {
    if (!wxControl::Create(parent, id, rect.GetPosition(), rect.GetSize(), wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE))
        return false;
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CHoverButton::OnPaint, this);
    Bind(wxEVT_MOTION, &CHoverButton::OnMouseMove, this);
    Bind(wxEVT_ENTER_WINDOW, &CHoverButton::OnMouseMove, this);
    Bind(wxEVT_LEAVE_WINDOW, &CHoverButton::OnLeave, this);
    Bind(wxEVT_LEFT_DOWN, &CHoverButton::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &CHoverButton::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &CHoverButton::OnLeftUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CHoverButton::OnCaptureLost, this);
    Bind(wxEVT_TIMER, &CHoverButton::OnHoverTimer, this, kHoverTimerId);
    return true;
}

void CHoverButton::SetSkinBitmap(const wxBitmap& strip) {
    strip_ = strip;
    if (!strip_.IsOk()) {
        frame_ = {};
        return;
    }
    frame_ = controls::StripFrameSize(strip_.GetWidth(), strip_.GetHeight(), frames_);
    SetSize(frame_.width, frame_.height);
    SetMinSize(wxSize(frame_.width, frame_.height));
    Raise();
}

wxSize CHoverButton::DoGetBestSize() const {
    if (frame_.width > 0) return wxSize(frame_.width, frame_.height);
    return GetSize();
}

void CHoverButton::SetTooltipText(const wxString& text, bool activate) {
    if (text.empty()) return;
    if (toolCount_ == 0) toolCount_ = 1;  // the button's one tool, ID 1, over its client area
    tipText_ = text;
    tipActive_ = activate;
    ApplyTooltip();
}

void CHoverButton::ApplyTooltip() {
    if (tipActive_) {
        if (wxToolTip* tip = GetToolTip())
            tip->SetTip(tipText_);
        else
            SetToolTip(tipText_);
    } else {
        UnsetToolTip();
    }
}

controls::ButtonState CHoverButton::State() const {
    controls::ButtonState s;
    s.disabled = !IsThisEnabled();
    s.hover = hover_;
    s.pressed = pressed_;
    return s;
}

void CHoverButton::DrawTo(wxDC& dc) const {
    if (!strip_.IsOk() || frame_.width <= 0) {
        // No strip: the button shows the parent's colour, nothing else.
        const wxColour bg = GetParent() ? GetParent()->GetBackgroundColour() : GetBackgroundColour();
        dc.SetBrush(wxBrush(bg));
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.DrawRectangle(wxPoint(0, 0), GetClientSize());
        return;
    }
    int frame = 0, overlay = -1;
    ChooseFrames(State(), frame, overlay);
    wxMemoryDC src;
    src.SelectObjectAsSource(strip_);
    dc.Blit(0, 0, frame_.width, frame_.height, &src, frame * frame_.width, 0);
    if (overlay >= 0) dc.Blit(0, 0, frame_.width, frame_.height, &src, overlay * frame_.width, 0);
    src.SelectObject(wxNullBitmap);
}

void CHoverButton::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    DrawTo(dc);
}

void CHoverButton::OnMouseMove(wxMouseEvent& e) {
    if (!tracking_) {
        tracking_ = true;
        hoverTimer_.StartOnce(kHoverDelayMs);
    }
    if (capturing_) {
        const bool inside = wxRect(GetClientSize()).Contains(e.GetPosition());
        if (inside != pressed_) {
            pressed_ = inside;
            Refresh(true);
        }
    }
    e.Skip();
}

void CHoverButton::OnHoverTimer(wxTimerEvent&) {
    if (!tracking_) return;
    hover_ = true;
    Refresh(true);
}

void CHoverButton::OnLeave(wxMouseEvent& e) {
    hoverTimer_.Stop();
    tracking_ = false;
    hover_ = false;
    if (pressed_ && !capturing_) pressed_ = false;
    Refresh(true);
    e.Skip();
}

void CHoverButton::OnLeftDown(wxMouseEvent& e) {
    if (!IsEnabled()) return;
    if (!HasCapture()) CaptureMouse();
    capturing_ = true;
    pressed_ = true;
    Refresh(true);
}

void CHoverButton::OnLeftUp(wxMouseEvent& e) {
    if (!capturing_) return;
    const bool fire = pressed_ && wxRect(GetClientSize()).Contains(e.GetPosition());
    capturing_ = false;
    pressed_ = false;
    if (HasCapture()) ReleaseMouse();
    Refresh(true);
    if (fire) Click();
}

void CHoverButton::OnCaptureLost(wxMouseCaptureLostEvent&) {
    capturing_ = false;
    pressed_ = false;
    Refresh(true);
}

void CHoverButton::Click() {
    wxCommandEvent event(wxEVT_BUTTON, GetId());
    event.SetEventObject(this);
    ProcessWindowEvent(event);
}

void CHover3Button::ChooseFrames(const controls::ButtonState& s, int& frame, int& overlay) const {
    frame = controls::Hover3Frame(s);
    overlay = -1;
}

void CHover4Button::ChooseFrames(const controls::ButtonState& s, int& frame, int& overlay) const {
    const controls::Hover4Choice c = controls::Hover4Frame(s);
    frame = c.frame;
    overlay = c.overlay;
}
