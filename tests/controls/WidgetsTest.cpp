// The skinned controls as real windows on the test display: image loading, hover buttons, the image
// slider and the scrolling text. Pictures are drawn into real bitmaps and read back.
#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/file.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/tooltip.h>

#include <vector>

#include "controls/ControlMessages.h"
#include "controls/HoverButton.h"
#include "controls/ScrollText.h"
#include "controls/SkinImage.h"
#include "controls/SkinSlider.h"
#include "platform/WxMessageTarget.h"
#include "tests/harness/Harness.h"

using namespace controls;
using namespace std::chrono_literals;

namespace {

wxColour PixelOf(const wxBitmap& b, int x, int y) {
    wxImage img = b.ConvertToImage();
    return wxColour(img.GetRed(x, y), img.GetGreen(x, y), img.GetBlue(x, y));
}

// A strip of solid frames in the given colours; `extra` columns of white at the right.
wxString WriteStrip(const harness::TempDir& dir, const std::string& name, const std::vector<wxColour>& frames,
                    int frameWidth, int height, int extra = 0) {
    wxImage img(frameWidth * static_cast<int>(frames.size()) + extra, height);
    for (int x = 0; x < img.GetWidth(); ++x) {
        const int f = x / frameWidth;
        const wxColour c = f < static_cast<int>(frames.size()) ? frames[f] : *wxWHITE;
        for (int y = 0; y < height; ++y) img.SetRGB(x, y, c.Red(), c.Green(), c.Blue());
    }
    const wxString path = (dir / name).string();
    EXPECT_TRUE(img.SaveFile(path, wxBITMAP_TYPE_PNG));
    return path;
}

struct Window {
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "controls", wxDefaultPosition, wxSize(400, 200));
    Window() {
        frame->Show();
        harness::PumpFor(50ms);
    }
    ~Window() { frame->Destroy(); harness::PumpFor(10ms); }
};

template <class W>
wxBitmap Draw(W* w) {
    const wxSize size = w->GetClientSize();
    wxBitmap bitmap(size.x, size.y, 24);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxBLACK_BRUSH);
    dc.Clear();
    w->DrawTo(dc);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

void Send(wxWindow* w, wxEventType type, int x = 2, int y = 2) {
    wxMouseEvent e(type);
    e.SetPosition(wxPoint(x, y));
    e.SetEventObject(w);
    if (type == wxEVT_LEFT_DOWN || type == wxEVT_MOTION) e.SetLeftDown(type == wxEVT_LEFT_DOWN);
    w->GetEventHandler()->ProcessEvent(e);
}

}  // namespace

TEST(LoadSkinBitmap, TransparencyBlendsOntoBlackAndTheContentDecidesTheFormat) {
    harness::TempDir dir;
    wxImage img(4, 1);
    img.SetAlpha();
    const unsigned char alpha[] = {255, 128, 0, 255};
    for (int x = 0; x < 4; ++x) {
        img.SetRGB(x, 0, 200, 100, 50);
        img.SetAlpha(x, 0, alpha[x]);
    }
    // A PNG under a .bmp name still loads: the extension plays no part.
    const wxString path = (dir / "picture.bmp").string();
    ASSERT_TRUE(img.SaveFile(path, wxBITMAP_TYPE_PNG));
    wxBitmap a = LoadSkinBitmap(path);
    ASSERT_TRUE(a.IsOk());
    EXPECT_FALSE(a.HasAlpha());
    EXPECT_EQ(PixelOf(a, 0, 0), wxColour(200, 100, 50));
    EXPECT_EQ(PixelOf(a, 1, 0), wxColour(100, 50, 25));
    EXPECT_EQ(PixelOf(a, 2, 0), wxColour(0, 0, 0));

    // Two loads are independent: losing one leaves the other intact.
    wxBitmap b = LoadSkinBitmap(path);
    a = wxBitmap();
    ASSERT_TRUE(b.IsOk());
    EXPECT_EQ(PixelOf(b, 3, 0), wxColour(200, 100, 50));

    wxImage bmp(2, 2);
    bmp.SetRGB(1, 1, 10, 20, 30);
    const wxString bmpPath = (dir / "plain.png").string();
    ASSERT_TRUE(bmp.SaveFile(bmpPath, wxBITMAP_TYPE_BMP));
    wxBitmap c = LoadSkinBitmap(bmpPath);
    ASSERT_TRUE(c.IsOk());
    EXPECT_EQ(PixelOf(c, 1, 1), wxColour(10, 20, 30));

    EXPECT_FALSE(LoadSkinBitmap((dir / "missing.png").string()).IsOk());
    wxFile junk((dir / "junk.png").string(), wxFile::write);
    junk.Write("not a picture");
    junk.Close();
    EXPECT_FALSE(LoadSkinBitmap((dir / "junk.png").string()).IsOk());
    EXPECT_FALSE(LoadSkinBitmap("").IsOk());
}

TEST(HoverButtons, FrameOfEveryStateDrawnFromTheStrip) {
    harness::TempDir dir;
    Window w;
    const wxColour red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255), grey(128, 128, 128);
    // Widths that do not divide by the frame count: the spare columns are never shown.
    const wxString strip3 = WriteStrip(dir, "s3.png", {red, green, blue}, 10, 12, 2);
    const wxString strip4 = WriteStrip(dir, "s4.png", {red, green, blue, grey}, 9, 8, 3);

    auto* b3 = new CHover3Button(w.frame, 1501, wxRect(5, 5, 40, 40));
    auto* b4 = new CHover4Button(w.frame, 1506, wxRect(60, 5, 40, 40));
    b3->SetSkinBitmap(LoadSkinBitmap(strip3));
    b4->SetSkinBitmap(LoadSkinBitmap(strip4));
    EXPECT_EQ(b3->GetSize(), wxSize(10, 12));
    EXPECT_EQ(b3->GetPosition(), wxPoint(5, 5));
    EXPECT_EQ(b4->GetSize(), wxSize(9, 8));

    auto shown = [](CHoverButton* b) {
        wxBitmap bm = Draw(b);
        const wxColour first = PixelOf(bm, 0, 0);
        // The whole frame is one colour: exactly one frame was copied, from its own place.
        EXPECT_EQ(PixelOf(bm, bm.GetWidth() - 1, bm.GetHeight() - 1), first);
        return first;
    };
    EXPECT_EQ(shown(b3), red);
    EXPECT_EQ(shown(b4), red);

    // Hover comes with the hover notification a moment after the mouse moves onto the button.
    Send(b3, wxEVT_MOTION);
    Send(b4, wxEVT_MOTION);
    ASSERT_TRUE(harness::PumpUntil([&] { return b3->IsHover() && b4->IsHover(); }, 2s));
    EXPECT_EQ(shown(b3), blue);
    EXPECT_EQ(shown(b4), green);

    // Pressed: the four-frame strip has a frame for it, the three-frame one keeps hover. The
    // release over the button is a click.
    std::vector<int> clicks;
    w.frame->Bind(wxEVT_BUTTON, [&](wxCommandEvent& e) { clicks.push_back(e.GetId()); });
    Send(b3, wxEVT_LEFT_DOWN);
    EXPECT_TRUE(b3->IsPressed());
    EXPECT_EQ(shown(b3), blue);
    Send(b3, wxEVT_LEFT_UP);
    Send(b4, wxEVT_LEFT_DOWN);
    EXPECT_TRUE(b4->IsPressed());
    EXPECT_EQ(shown(b4), blue);
    Send(b4, wxEVT_MOTION, 30, 30);  // dragged off: not pressed, no click on release
    EXPECT_FALSE(b4->IsPressed());
    Send(b4, wxEVT_LEFT_UP, 30, 30);
    Send(b4, wxEVT_LEFT_DOWN);
    Send(b4, wxEVT_LEFT_UP);
    EXPECT_EQ(clicks, (std::vector<int>{1501, 1506}));
    EXPECT_EQ(shown(b4), green);

    // Disabled under the mouse: the disabled frame for both.
    b3->Enable(false);
    b4->Enable(false);
    EXPECT_TRUE(b3->IsHover());
    EXPECT_EQ(shown(b3), green);
    EXPECT_EQ(shown(b4), grey);

    Send(b3, wxEVT_LEAVE_WINDOW);
    Send(b4, wxEVT_LEAVE_WINDOW);
    EXPECT_FALSE(b3->IsHover());
    EXPECT_EQ(shown(b3), green);
    EXPECT_EQ(shown(b4), grey);
    b3->Enable(true);
    b4->Enable(true);
    EXPECT_EQ(shown(b3), red);
    EXPECT_EQ(shown(b4), red);

    // Swapping strips keeps the place and takes the new frame size.
    b4->SetSkinBitmap(LoadSkinBitmap(strip3));  // 32 wide: frames of 8
    EXPECT_EQ(b4->GetSize(), wxSize(8, 12));
    EXPECT_EQ(b4->GetPosition(), wxPoint(60, 5));
}

TEST(HoverButtons, SecondTooltipTextReplacesTheFirstInTheSameTool) {
    Window w;
    auto* b = new CHover3Button(w.frame, 103, wxRect(5, 5, 20, 20));
    b->SetTooltipText("");
    EXPECT_EQ(b->GetToolCount(), 0);
    EXPECT_EQ(b->GetToolTip(), nullptr);
    b->SetTooltipText("Aiuto");
    ASSERT_NE(b->GetToolTip(), nullptr);
    wxToolTip* tool = b->GetToolTip();
    b->SetTooltipText("Guida");
    EXPECT_EQ(b->GetToolCount(), 1);
    EXPECT_EQ(b->GetToolTip(), tool);
    EXPECT_EQ(b->GetToolTip()->GetTip(), "Guida");
    b->SetTooltipText("Spento", false);
    EXPECT_FALSE(b->IsTooltipActive());
    EXPECT_EQ(b->GetToolTip(), nullptr);
    EXPECT_EQ(b->GetTooltipText(), "Spento");
    b->SetTooltipText("Acceso", true);
    EXPECT_EQ(b->GetToolCount(), 1);
    ASSERT_NE(b->GetToolTip(), nullptr);
    EXPECT_EQ(b->GetToolTip()->GetTip(), "Acceso");
}

namespace {
struct SliderFixture {
    harness::TempDir dir;
    Window w;
    CSkinSlider* slider = nullptr;
    std::vector<std::pair<std::uint32_t, std::intptr_t>> posted;
    platform::MessageTargetScope target;

    SliderFixture() {
        // Channel 110 x 10: normal blue, active green; thumb 11 x 8 red with a black key corner.
        const wxString channel = WriteStrip(dir, "ch.png", {wxColour(0, 0, 200)}, 110, 10);
        const wxString active = WriteStrip(dir, "cha.png", {wxColour(0, 200, 0)}, 110, 10);
        wxImage thumb(11, 8);
        thumb.SetRGB(wxRect(0, 0, 11, 8), 200, 0, 0);
        thumb.SetRGB(0, 0, 0, 0, 0);
        thumb.SetRGB(10, 7, 0, 0, 0);
        const wxString thumbPath = (dir / "th.png").string();
        thumb.SaveFile(thumbPath, wxBITMAP_TYPE_PNG);

        w.frame->Bind(platform::EVT_WINDOW_MESSAGE, [this](platform::WindowMessageEvent& e) {
            if (e.msg == WM_SLIDER_MOVING || e.msg == WM_SLIDER_MOVED) {
                EXPECT_EQ(e.wParam, 1005u);
                posted.emplace_back(e.msg, e.lParam);
            }
        });
        target.Attach(w.frame);
        slider = new CSkinSlider(w.frame, 1005, wxRect(10, 10, 300, 20));
        slider->SetNotifyTarget(target.get());
        slider->SetChannelImages(channel, active, false, KEY_FROM_PIXEL, 0, 0);
        slider->SetThumbImages(thumbPath, thumbPath, true, KEY_FROM_PIXEL, 0, 0);
        slider->ShowFocusFrame(false);
        slider->SetRange(0, 100);
        slider->SetMargins(1, 1, 2, 2);  // travel 110 - 2 - 11 - 1 = 96
    }
    std::vector<std::pair<std::uint32_t, std::intptr_t>> Take() {
        harness::PumpFor(30ms);
        auto out = posted;
        posted.clear();
        return out;
    }
};
using Msgs = std::vector<std::pair<std::uint32_t, std::intptr_t>>;
}  // namespace

TEST(SkinSlider, TheChannelSetsTheSizeAndSetPosClamps) {
    SliderFixture f;
    EXPECT_EQ(f.slider->GetSize(), wxSize(110, 10));
    EXPECT_EQ(f.slider->Geometry().Travel(), 96);
    f.slider->SetPos(250);
    EXPECT_EQ(f.slider->GetPos(), 100);
    f.slider->SetPos(-3);
    EXPECT_EQ(f.slider->GetPos(), 0);
    f.slider->SetPos(50);
    EXPECT_EQ(f.slider->ThumbCentre(), 54);  // 48 + 1 + 5
    EXPECT_TRUE(f.Take().empty());           // SetPos tells nobody

    // Active channel left of the thumb centre, normal after it; the thumb's key pixels show
    // the channel.
    wxBitmap bm = Draw(f.slider);
    EXPECT_EQ(PixelOf(bm, 20, 5), wxColour(0, 200, 0));
    EXPECT_EQ(PixelOf(bm, 90, 5), wxColour(0, 0, 200));
    EXPECT_EQ(PixelOf(bm, 54, 4), wxColour(200, 0, 0));
    EXPECT_EQ(PixelOf(bm, 49, 1), wxColour(0, 200, 0));  // the thumb's key corner at (49, 1)
    EXPECT_EQ(PixelOf(bm, 59, 8), wxColour(0, 0, 200));  // its other black corner is keyed too
}

TEST(SkinSlider, ClickFarFromTheThumbJumpsAndReleaseReports) {
    SliderFixture f;
    f.slider->SetPos(10);
    Send(f.slider, wxEVT_LEFT_DOWN, 78, 5);  // position of pixel 78: (78-6)/96*100 = 75
    EXPECT_TRUE(f.slider->IsDragging());
    EXPECT_EQ(f.slider->GetPos(), 75);
    EXPECT_EQ(f.Take(), (Msgs{{WM_SLIDER_MOVING, 75}}));
    Send(f.slider, wxEVT_LEFT_UP, 78, 5);
    EXPECT_FALSE(f.slider->IsDragging());
    EXPECT_EQ(f.Take(), (Msgs{{WM_SLIDER_MOVED, 75}}));

    // A click on the thumb keeps the grip: no jump, no move message, still a release message.
    const int centre = f.slider->ThumbCentre();
    Send(f.slider, wxEVT_LEFT_DOWN, centre + 4, 5);
    EXPECT_EQ(f.slider->GetPos(), 75);
    Send(f.slider, wxEVT_MOTION, centre + 14, 5);  // pixel 88: position 85, whose centre is 87
    EXPECT_EQ(f.slider->GetPos(), 85);
    EXPECT_EQ(f.slider->ThumbCentre(), 87);
    Send(f.slider, wxEVT_LEFT_UP, centre + 14, 5);
    EXPECT_EQ(f.Take(), (Msgs{{WM_SLIDER_MOVING, 85}, {WM_SLIDER_MOVED, 85}}));
}

TEST(SkinSlider, DragPastEitherEndClampsAndPostsOnlyOnChange) {
    SliderFixture f;
    f.slider->SetPos(50);
    Send(f.slider, wxEVT_LEFT_DOWN, f.slider->ThumbCentre(), 5);
    for (int x : {300, 400, 2000}) Send(f.slider, wxEVT_MOTION, x, 5);
    EXPECT_EQ(f.slider->GetPos(), 100);
    for (int x : {-50, -400}) Send(f.slider, wxEVT_MOTION, x, 5);
    EXPECT_EQ(f.slider->GetPos(), 0);
    // Two pixels that stand for the same position: one message.
    Send(f.slider, wxEVT_MOTION, 7, 5);   // position 1 (1.04)
    Send(f.slider, wxEVT_MOTION, 8, 5);   // position 2 (2.08)
    Send(f.slider, wxEVT_MOTION, 8, 5);
    Send(f.slider, wxEVT_LEFT_UP, 8, 5);
    EXPECT_EQ(f.Take(), (Msgs{{WM_SLIDER_MOVING, 100}, {WM_SLIDER_MOVING, 0}, {WM_SLIDER_MOVING, 1},
                             {WM_SLIDER_MOVING, 2}, {WM_SLIDER_MOVED, 2}}));
    // A move without a button down is not a drag.
    Send(f.slider, wxEVT_MOTION, 90, 5);
    EXPECT_EQ(f.slider->GetPos(), 2);
    // Disabled: the mouse does nothing.
    f.slider->Enable(false);
    Send(f.slider, wxEVT_LEFT_DOWN, 90, 5);
    Send(f.slider, wxEVT_LEFT_UP, 90, 5);
    EXPECT_EQ(f.slider->GetPos(), 2);
    EXPECT_TRUE(f.Take().empty());
}

TEST(ScrollText, ReentersFromTheRightAndStopsAtTheLeftEdge) {
    Window w;
    auto* line = new CScrollText(w.frame, 1076, wxRect(10, 10, 120, 16));
    wxFont font(wxFontInfo(wxSize(6, 13)).FaceName("Tahoma"));
    line->SetFont(font);
    line->SetBackColor(RGB(197, 186, 255));
    line->SetTextTop(0);
    const wxString text = "Registrazione 2024-05-14.wav";
    line->StartScroll(text, RGB(0, 0, 0), 7, 2);
    EXPECT_TRUE(line->IsScrolling());
    EXPECT_EQ(line->GetTextX(), 120);

    wxBitmap probe(1, 1);
    wxMemoryDC mdc(probe);
    mdc.SetFont(font);
    const int width = mdc.GetTextExtent(text).x;
    mdc.SelectObject(wxNullBitmap);
    ASSERT_GT(width, 120);

    // Step while some of the text is still visible: drawing leaves it where it is.
    int ticks = 0;
    while (line->GetTextX() - 7 > -width) {
        line->Tick();
        const int x = line->GetTextX();
        Draw(line);
        ASSERT_EQ(line->GetTextX(), x);
        ASSERT_LT(++ticks, 200);
    }
    // Its right end leaves the left edge: the next drawing brings it back at the right edge.
    line->Tick();
    EXPECT_LE(line->GetTextX(), -width);
    Draw(line);
    EXPECT_EQ(line->GetTextX(), 120);
    // While the text is at the right edge the left part is bare background.
    line->Tick();
    wxBitmap bm = Draw(line);
    EXPECT_EQ(PixelOf(bm, 5, 8), wxColour(197, 186, 255));

    // The timer moves it by itself every 40 ms.
    const int before = line->GetTextX();
    ASSERT_TRUE(harness::PumpUntil([&] { return line->GetTextX() <= before - 14; }, 2s));

    line->StopScroll();
    EXPECT_FALSE(line->IsScrolling());
    EXPECT_EQ(line->GetTextX(), 0);
    harness::PumpFor(100ms);
    EXPECT_EQ(line->GetTextX(), 0);
    bm = Draw(line);
    bool dark = false;
    for (int x = 0; x < 6 && !dark; ++x)
        for (int y = 0; y < 16 && !dark; ++y) dark = PixelOf(bm, x, y).Red() < 100;
    EXPECT_TRUE(dark) << "stopped text starts at the left edge";
}
