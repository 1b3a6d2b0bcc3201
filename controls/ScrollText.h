// A one-line text with its own colours and font that can scroll from right to left on timer 666.
#pragma once
#include <wx/control.h>
#include <wx/font.h>
#include <wx/timer.h>

#include "controls/SkinImage.h"

namespace controls {

// Where the text stands: moved left by `step` per tick; when drawn with its right end past the
// left edge it re-enters at the right edge.
struct ScrollPosition {
    int x = 0;
    void Tick(int step) { x -= step; }
    // The x to draw at for a text `textWidth` wide in a rectangle `rectWidth` wide (updates x).
    int DrawX(int textWidth, int rectWidth) {
        if (x <= -textWidth) x = rectWidth;
        return x;
    }
};

}  // namespace controls

class CScrollText : public wxControl {
public:
    CScrollText();
    CScrollText(wxWindow* parent, wxWindowID id, const wxRect& rect) : CScrollText() { Create(parent, id, rect); }
    bool Create(wxWindow* parent, wxWindowID id, const wxRect& rect);
    // Takes the place of a control of a loaded template (same parent, ID, place); it is destroyed.
    bool TakeOver(wxWindow* templateControl);
    ~CScrollText() override;

    void SetText(const wxString& text);
    wxString GetText() const { return text_; }
    // Sets text, colour and step, then starts: the text enters at the right edge and moves `step`
    // pixels every 40 ms. The mode, face and size are accepted for the callers' sake; the font
    // given by SetFont draws.
    void StartScroll(const wxString& text, controls::ColorRef colour, int step, int mode = 2,
                     const wxString& face = wxString(), int size = 0);
    // The start step alone: text to the right edge, timer (re)started.
    void RestartScroll();
    void StopScroll();
    bool IsScrolling() const { return running_; }

    bool SetFont(const wxFont& font) override;  // an invalid font is ignored
    void SetBackColor(controls::ColorRef colour);
    void SetTextTop(int top);
    int GetTextX() const { return pos_.x; }

    // One timer tick, as timer 666 does it.
    void Tick();
    // Draws the line as it looks now into `dc` at (0, 0), wrapping the text as painting does.
    void DrawTo(wxDC& dc);

private:
    void OnPaint(wxPaintEvent&);
    void OnTimer(wxTimerEvent&);

    wxString text_;
    controls::ScrollPosition pos_;
    int textTop_ = 0;
    int step_ = 0;
    controls::ColorRef textColour_ = 0;
    controls::ColorRef backColour_;
    wxFont font_;
    wxRect rect_;
    bool running_ = false;
    wxTimer timer_;
};
