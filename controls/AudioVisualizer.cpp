#include "controls/AudioVisualizer.h"

#include <wx/dcclient.h>
#include <wx/image.h>

#include "audio/SampleBuffer.h"
#include "controls/ControlMessages.h"
#include "controls/VisualizerType.h"
#include "platform/ResourceModule.h"

using namespace controls;

namespace {
constexpr unsigned kBackgroundBitmap = 1007;

int ModeOf(int type) {
    switch (type) {
    case 1: return 0;
    case 3: return 2;
    default: return 1;
    }
}
}  // namespace

CAudioVisualizer::CAudioVisualizer() : timer_(this, IDT_VIS_REFRESH) {}

CAudioVisualizer::~CAudioVisualizer() {
    timer_.Stop();
    ref_.Reset();
}

bool CAudioVisualizer::Create(wxWindow* parent, wxWindowID id, const wxRect& rect) {
    if (!wxControl::Create(parent, id, rect.GetPosition(), rect.GetSize(), wxBORDER_NONE)) return false;
    SetLabel("STATIC");
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    mode_ = ModeOf(GetVisualizerType());
    Bind(wxEVT_PAINT, &CAudioVisualizer::OnPaint, this);
    Bind(wxEVT_TIMER, &CAudioVisualizer::OnTimer, this, IDT_VIS_REFRESH);
    Bind(platform::EVT_WINDOW_MESSAGE, &CAudioVisualizer::OnWindowMessage, this);
    ref_.Attach(this);
    return true;
}

void CAudioVisualizer::SetFormat(int bytesPerSample, int channels) {
    bytesPerSample_ = bytesPerSample;
    channels_ = channels;
}

double CAudioVisualizer::SignalLevel(int bytesPerSample, int channels) const {
    double level = 0.0;
    TheSampleBuffer().Read([&](const std::uint8_t* bytes, std::uint32_t length, double) {
        level = controls::SignalLevel(bytes, length, bytesPerSample, channels);
    });
    return level;
}

void CAudioVisualizer::OnWindowMessage(platform::WindowMessageEvent& e) {
    e.result = HandleMessage(e.msg, e.wParam, e.lParam);
}

std::intptr_t CAudioVisualizer::HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t) {
    if (msg != platform::WM_NULL && msg != WM_VIS_SAMPLES) return 0;
    bool repaint = false;
    if (wParam == VIS_CMD_STOPPED || wParam == VIS_CMD_RESET || wParam == VIS_CMD_HALT) {
        bool killTimer = false;
        repaint = engine_.Command(wParam, GetVisualizerType(), killTimer);
        if (killTimer && timer_.IsRunning()) timer_.Stop();
    }
    if (msg == WM_VIS_SAMPLES) {
        engine_.ResetSubWindow();
        const ArrivalPacer::Decision d = pacer_.OnBuffer(TheSampleBuffer().SampleTime());
        if (d.startTimer) timer_.Start(100);
        if (d.killTimer && timer_.IsRunning()) timer_.Stop();
        if (d.draw) DrawNow();
    }
    // The invalidation lands after any drawing of this message, so the stopped display ends as
    // the bare background.
    if (repaint) Refresh();
    return 0;
}

void CAudioVisualizer::OnTimer(wxTimerEvent&) { OnRefreshTick(); }

void CAudioVisualizer::OnRefreshTick() {
    if (!engine_.NextSubWindow(TheSampleBuffer().Length())) timer_.Stop();
    DrawNow();
}

void CAudioVisualizer::PaintBackground(PixelCanvas& canvas) {
    if (background_.empty() && !bgTried_) {
        // Bitmap 1007 never changes while the program runs: decode it once.
        bgTried_ = true;
        wxBitmap bitmap = platform::ResourceModule::LoadBitmap(kBackgroundBitmap);
        if (bitmap.IsOk()) {
            wxImage image = bitmap.ConvertToImage();
            bgWidth_ = image.GetWidth();
            bgHeight_ = image.GetHeight();
            background_.assign(image.GetData(), image.GetData() + static_cast<std::size_t>(bgWidth_) * bgHeight_ * 3);
        }
    }
    // Without the bitmap the surface starts from the window's own colour.
    const wxColour bg = GetBackgroundColour();
    canvas.Fill(RGB(bg.Red(), bg.Green(), bg.Blue()));
    if (!background_.empty()) canvas.CopyFrom(background_.data(), bgWidth_, bgHeight_, bgWidth_ * 3);
}

void CAudioVisualizer::DrawNow() {
    const wxSize client = GetClientSize();
    if (canvas_.Width() != client.x || canvas_.Height() != client.y) canvas_.Resize(client.x, client.y);
    PaintBackground(canvas_);
    TheSampleBuffer().CopyOut(copy_);
    lastShowedSignal_ = engine_.Draw(canvas_, GetVisualizerType(), copy_.empty() ? nullptr : copy_.data(),
                                     static_cast<std::uint32_t>(copy_.size()), bytesPerSample_, channels_,
                                     timer_.IsRunning());
    ++drawCount_;
    Present();
}

void CAudioVisualizer::Present() {
    if (canvas_.Width() <= 0 || canvas_.Height() <= 0) return;
    wxImage image(canvas_.Width(), canvas_.Height(), canvas_.Data(), true);
    lastFrame_ = wxBitmap(image, 24);
    framePending_ = true;
    wxControl::Refresh(false);
}

void CAudioVisualizer::Refresh(bool eraseBackground, const wxRect* rect) {
    framePending_ = false;
    wxControl::Refresh(eraseBackground, rect);
}

void CAudioVisualizer::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    if (framePending_ && lastFrame_.IsOk()) {
        dc.DrawBitmap(lastFrame_, 0, 0);
        framePending_ = false;
        return;
    }
    const wxSize client = GetClientSize();
    if (client.x <= 0 || client.y <= 0) return;
    PixelCanvas bare(client.x, client.y);
    PaintBackground(bare);
    wxImage image(bare.Width(), bare.Height(), bare.Data(), true);
    dc.DrawBitmap(wxBitmap(image, 24), 0, 0);
}
