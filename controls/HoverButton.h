// Image buttons that show one frame of a horizontal strip chosen by their state and light up while
// the mouse rests on them. A click sends wxEVT_BUTTON with the button's ID, as a push button does.
#pragma once
#include <wx/bitmap.h>
#include <wx/control.h>
#include <wx/timer.h>

#include "controls/HoverFrames.h"

class CHoverButton : public wxControl {
public:
    // Creates the child at `rect` (its size becomes one frame once a strip is set).
    bool Create(wxWindow* parent, wxWindowID id, const wxRect& rect);
    ~CHoverButton() override;

    // Takes `strip` as the image strip and resizes to one frame, keeping the position. An invalid
    // bitmap leaves the size as it is and shows nothing. The owner refreshes a visible button.
    void SetSkinBitmap(const wxBitmap& strip);
    const wxBitmap& GetSkinBitmap() const { return strip_; }

    // With an empty text nothing happens; otherwise the button's one tool gets the text and the
    // tooltip is activated or deactivated.
    void SetTooltipText(const wxString& text, bool activate = true);
    wxString GetTooltipText() const { return tipText_; }
    bool IsTooltipActive() const { return tipActive_; }
    int GetToolCount() const { return toolCount_; }

    int FrameCount() const { return frames_; }
    controls::FrameSize GetFrameSize() const { return frame_; }
    bool IsHover() const { return hover_; }
    bool IsPressed() const { return pressed_; }
    controls::ButtonState State() const;

    // Draws what the button shows now at (0, 0) of `dc` (the paint handler uses this too).
    void DrawTo(wxDC& dc) const;

protected:
    explicit CHoverButton(int frames);
    // The frame for `s` and the frame drawn over it (-1 for none).
    virtual void ChooseFrames(const controls::ButtonState& s, int& frame, int& overlay) const = 0;

    wxSize DoGetBestSize() const override;

private:
    void OnPaint(wxPaintEvent&);
    void OnMouseMove(wxMouseEvent&);
    void OnLeave(wxMouseEvent&);
    void OnLeftDown(wxMouseEvent&);
    void OnLeftUp(wxMouseEvent&);
    void OnCaptureLost(wxMouseCaptureLostEvent&);
    void OnHoverTimer(wxTimerEvent&);
    void ApplyTooltip();
    void Click();

    const int frames_;
    wxBitmap strip_;
    controls::FrameSize frame_;
    bool hover_ = false;
    bool tracking_ = false;
    bool pressed_ = false;     // left button down on the button and still over it
    bool capturing_ = false;
    wxTimer hoverTimer_;       // the 1 ms hover notification
    wxString tipText_;
    bool tipActive_ = false;
    int toolCount_ = 0;
};

// help, minimize, close, open file, settings, editor hand-off, special-recording mode
class CHover3Button : public CHoverButton {
public:
    CHover3Button() : CHoverButton(3) {}
    CHover3Button(wxWindow* parent, wxWindowID id, const wxRect& rect) : CHoverButton(3) { Create(parent, id, rect); }

protected:
    void ChooseFrames(const controls::ButtonState& s, int& frame, int& overlay) const override;
};

// record, previous, play, stop, next
class CHover4Button : public CHoverButton {
public:
    CHover4Button() : CHoverButton(4) {}
    CHover4Button(wxWindow* parent, wxWindowID id, const wxRect& rect) : CHoverButton(4) { Create(parent, id, rect); }

protected:
    void ChooseFrames(const controls::ButtonState& s, int& frame, int& overlay) const override;
};
