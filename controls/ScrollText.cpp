#include "controls/ScrollText.h"

#include "controls/ControlMessages.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>

using controls::IDT_SCROLL_TEXT;

CScrollText::CScrollText() : backColour_(controls::RGB(197, 186, 255)), timer_(this, IDT_SCROLL_TEXT) {}

CScrollText::~CScrollText() { timer_.Stop(); }

bool CScrollText::Create(wxWindow* parent, wxWindowID id, const wxRect& rect) {
    if (!wxControl::Create(parent, id, rect.GetPosition(), rect.GetSize(), wxBORDER_NONE)) return false;
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    rect_ = wxRect(GetClientSize());
    Bind(wxEVT_PAINT, &CScrollText::OnPaint, this);
    Bind(wxEVT_TIMER, &CScrollText::OnTimer, this, IDT_SCROLL_TEXT);
    return true;
}

bool CScrollText::TakeOver(wxWindow* templateControl) {
    if (!templateControl || !templateControl->GetParent()) return false;
    const wxRect rect = templateControl->GetRect();
    wxWindow* parent = templateControl->GetParent();
    const wxWindowID id = templateControl->GetId();
    const wxString text = templateControl->GetLabel();
    templateControl->Destroy();
    if (!Create(parent, id, rect)) return false;
    text_ = text;
    return true;
}

void CScrollText::SetText(const wxString& text) {
    text_ = text;
    Refresh(true);
}

void CScrollText::StartScroll(const wxString& text, controls::ColorRef colour, int step, int, const wxString&, int) {
    SetText(text);
    textColour_ = colour;
    step_ = step;
    RestartScroll();
}

void CScrollText::RestartScroll() {
    rect_ = wxRect(GetClientSize());
    pos_.x = rect_.width;
    timer_.Start(40);
    running_ = true;
}

void CScrollText::StopScroll() {
    timer_.Stop();
    running_ = false;
    pos_.x = 0;
    Refresh(true);
}

bool CScrollText::SetFont(const wxFont& font) {
    if (!font.IsOk()) return false;
    font_ = font;
    return wxControl::SetFont(font);
}

void CScrollText::SetBackColor(controls::ColorRef colour) { backColour_ = colour; }
void CScrollText::SetTextTop(int top) { textTop_ = top; }

void CScrollText::Tick() {
    pos_.Tick(step_);
    Refresh(true);
}

void CScrollText::OnTimer(wxTimerEvent&) { Tick(); }

void CScrollText::DrawTo(wxDC& dc) {
    if (rect_.IsEmpty()) rect_ = wxRect(GetClientSize());
    if (rect_.IsEmpty()) return;
    wxBitmap bitmap(rect_.width, rect_.height, 24);
    wxMemoryDC mem(bitmap);
    mem.SetBrush(wxBrush(controls::ToWx(backColour_)));
    mem.SetPen(*wxTRANSPARENT_PEN);
    mem.DrawRectangle(0, 0, rect_.width, rect_.height);
    mem.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    mem.SetFont(font_.IsOk() ? font_ : GetFont());
    const wxSize extent = mem.GetTextExtent(text_);
    const int x = pos_.DrawX(extent.x, rect_.width);
    mem.SetTextForeground(controls::ToWx(textColour_));
    mem.DrawText(text_, x, textTop_);
    dc.Blit(rect_.x, rect_.y, rect_.width, rect_.height, &mem, 0, 0);
    mem.SelectObject(wxNullBitmap);
}

void CScrollText::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    DrawTo(dc);
}
