// The built skin: every picture the main window and the options page load is in res/, loads, and
// has the frame layout and size its place on the 331 x 236 window needs. Also writes a composite
// preview of the window (skin_preview.png beside the program) drawn by the real controls.
#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include <cmath>
#include <filesystem>
#include <map>

#include "audio/SampleBuffer.h"
#include "controls/AudioVisualizer.h"
#include "controls/ControlMessages.h"
#include "controls/HoverButton.h"
#include "controls/ScrollText.h"
#include "controls/SkinImage.h"
#include "controls/SkinSlider.h"
#include "controls/VisualizerType.h"
#include "platform/ResourceModule.h"
#include "tests/harness/Harness.h"

using namespace controls;
using namespace std::chrono_literals;

namespace {
constexpr int W = 331, H = 236;

wxString Res(const std::string& name) { return (harness::BinDir() / "res" / name).string(); }

struct Expect {
    int frames;
    int frameWidth, frameHeight;
};

const std::map<std::string, Expect>& Table() {
    static const std::map<std::string, Expect> table = {
        {"skin_bg.bmp", {1, W, H}},
        {"help.png", {3, 19, 19}}, {"down.png", {3, 19, 19}}, {"close.png", {3, 19, 19}},
        {"file_open.png", {3, 21, 18}}, {"setting.png", {3, 50, 22}}, {"edit.bmp", {3, 50, 22}},
        {"Play_en.png", {4, 30, 30}}, {"Stop_en.png", {4, 30, 30}}, {"Backward_en.png", {4, 30, 30}},
        {"Forward_en.png", {4, 30, 30}}, {"PausePlay_en.png", {4, 30, 30}},
        {"Record_en.png", {4, 40, 40}}, {"Pause_en.png", {4, 40, 40}},
        {"sound_normal.bmp", {1, 18, 18}}, {"sound_mute.bmp", {1, 18, 18}},
        {"zero.png", {1, 17, 30}}, {"One.png", {1, 17, 30}}, {"Two.png", {1, 17, 30}}, {"Three.png", {1, 17, 30}},
        {"Four.png", {1, 17, 30}}, {"Five.png", {1, 17, 30}}, {"Six.png", {1, 17, 30}}, {"Seven.png", {1, 17, 30}},
        {"Eight.png", {1, 17, 30}}, {"Nine.png", {1, 17, 30}}, {"colon.png", {1, 6, 30}},
        {"WMA_disabled.png", {1, 32, 23}}, {"WAV_enabled.png", {1, 32, 23}}, {"WMA_enabled.png", {1, 32, 23}},
        {"VR.png", {3, 34, 18}}, {"DA.png", {3, 34, 18}}, {"SP.png", {3, 34, 18}}, {"Rec.png", {1, 29, 13}},
        {"ProgressBar.png", {1, 290, 11}}, {"ProgressBarActive.png", {1, 290, 11}},
        {"norma_bar.png", {1, 11, 9}}, {"over_bar.png", {1, 11, 9}},
        {"VolumeBar.png", {1, 56, 10}}, {"VolumeBarActive.png", {1, 56, 10}}, {"VolumeNormal_Thumb.png", {1, 7, 10}},
        {"graph.png", {1, 66, 29}}, {"spectrum.png", {1, 66, 29}}, {"Equalizer.png", {1, 66, 29}},
    };
    return table;
}

bool Overlap(const wxRect& a, const wxRect& b) { return a.Intersects(b); }

}  // namespace

TEST(Skin, EveryPictureLoadsWithItsFrameLayout) {
    for (const auto& [name, e] : Table()) {
        SCOPED_TRACE(name);
        wxBitmap b = LoadSkinBitmap(Res(name));
        ASSERT_TRUE(b.IsOk());
        EXPECT_EQ(b.GetWidth(), e.frames * e.frameWidth);
        EXPECT_EQ(b.GetHeight(), e.frameHeight);
        // Frames differ from each other: every state is visible.
        if (e.frames > 1) {
            wxImage img = b.ConvertToImage();
            for (int f = 1; f < e.frames; ++f) {
                int differing = 0;
                for (int y = 0; y < e.frameHeight; ++y)
                    for (int x = 0; x < e.frameWidth; ++x) {
                        const int a = (y * img.GetWidth() + x) * 3, c = (y * img.GetWidth() + f * e.frameWidth + x) * 3;
                        differing += std::abs(img.GetData()[a] - img.GetData()[c]) > 24;
                    }
                EXPECT_GT(differing, 10) << "frame " << f;
            }
        }
    }
    for (const char* keyed : {"norma_bar.png", "over_bar.png", "VolumeNormal_Thumb.png"}) {
        wxImage img = LoadSkinBitmap(Res(keyed)).ConvertToImage();
        const wxColour corner(img.GetRed(0, 0), img.GetGreen(0, 0), img.GetBlue(0, 0));
        const wxColour middle(img.GetRed(img.GetWidth() / 2, 4), img.GetGreen(img.GetWidth() / 2, 4),
                              img.GetBlue(img.GetWidth() / 2, 4));
        EXPECT_NE(corner, middle) << keyed << ": the key colour must not fill the thumb";
    }
}

TEST(Skin, ButtonsAndBarsFitTheirPlacesWithoutOverlap) {
    auto frameRect = [](const std::string& name, int x, int y) {
        const Expect& e = Table().at(name);
        return wxRect(x, y, e.frameWidth, e.frameHeight);
    };
    const std::vector<wxRect> buttons = {
        frameRect("help.png", W - 80, 10), frameRect("down.png", W - 59, 10), frameRect("close.png", W - 39, 10),
        frameRect("file_open.png", W - 47, H - 80), frameRect("setting.png", W - 62, H - 53),
        frameRect("Play_en.png", 14, H - 44), frameRect("Stop_en.png", 45, H - 44),
        frameRect("Backward_en.png", 76, H - 44), frameRect("Forward_en.png", 107, H - 44),
        frameRect("Record_en.png", 138, H - 50), frameRect("VR.png", 76, 56),
        frameRect("sound_normal.bmp", 190, H - 40), frameRect("WAV_enabled.png", 30, 50), frameRect("Rec.png", 124, 60),
        frameRect("ProgressBar.png", 21, 144), frameRect("VolumeBar.png", 190, 214),
        wxRect(175, 58, 128, 30),   // time read-out
        wxRect(25, 76, 145, 16),    // information line
        wxRect(28, 92, 272, 40),    // visualizer
        wxRect(192, 133, 110, 10),  // file information line
        wxRect(32, 157, 238, 16),   // title line
    };
    const wxRect client(0, 0, W, H);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_TRUE(client.Contains(buttons[i])) << i;
        for (std::size_t j = i + 1; j < buttons.size(); ++j)
            EXPECT_FALSE(Overlap(buttons[i], buttons[j])) << i << " and " << j;
    }
    // The static pictures fit the statics that centre them.
    EXPECT_TRUE(wxRect(30, 50, 32, 23).Contains(frameRect("WMA_disabled.png", 30, 50)));
    EXPECT_TRUE(wxRect(124, 60, 29, 13).Contains(frameRect("Rec.png", 124, 60)));
    EXPECT_TRUE(wxRect(190, H - 40, 18, 18).Contains(frameRect("sound_mute.bmp", 190, H - 40)));
}

namespace {
template <class Control>
void DrawAt(wxDC& target, Control* c) {
    const wxSize s = c->GetClientSize();
    wxBitmap b(s.x, s.y, 24);
    {
        wxMemoryDC m(b);
        c->DrawTo(m);
    }
    target.DrawBitmap(b, c->GetPosition());
}
}  // namespace

// The composite a reviewer looks at: skin_preview.png (normal state) and skin_preview_states.png
// (hover, pressed and disabled buttons, a drag on the progress bar, recording indicator).
TEST(Skin, WritesACompositePreview) {
    const auto lexel = harness::BinDir() / "Lexel.so";
    const bool module = std::filesystem::exists(lexel) && platform::ResourceModule::Load(lexel.string());

    for (int variant = 0; variant < 2; ++variant) {
        auto* frame = new wxFrame(nullptr, wxID_ANY, "preview", wxDefaultPosition, wxSize(W, H));
        auto* panel = new wxPanel(frame, wxID_ANY, wxPoint(0, 0), wxSize(W, H));
        frame->Show();
        harness::PumpFor(30ms);

        struct B {
            CHoverButton* b;
        };
        auto make3 = [&](int id, const char* file, int x, int y) {
            auto* b = new CHover3Button(panel, id, wxRect(x, y, 10, 10));
            b->SetSkinBitmap(LoadSkinBitmap(Res(file)));
            return b;
        };
        auto make4 = [&](int id, const char* file, int x, int y) {
            auto* b = new CHover4Button(panel, id, wxRect(x, y, 10, 10));
            b->SetSkinBitmap(LoadSkinBitmap(Res(file)));
            return b;
        };
        std::vector<CHoverButton*> buttons = {
            make3(103, "help.png", W - 80, 10), make3(1501, "down.png", W - 59, 10), make3(1503, "close.png", W - 39, 10),
            make3(1504, "file_open.png", W - 47, H - 80), make3(1505, "setting.png", W - 62, H - 53),
            make4(1508, variant ? "PausePlay_en.png" : "Play_en.png", 14, H - 44), make4(1509, "Stop_en.png", 45, H - 44),
            make4(1507, "Backward_en.png", 76, H - 44), make4(1510, "Forward_en.png", 107, H - 44),
            make4(1506, variant ? "Pause_en.png" : "Record_en.png", 138, H - 50),
            make3(1518, variant ? "DA.png" : "VR.png", 76, 56)};

        auto* progress = new CSkinSlider(panel, 1005, wxRect(21, 144, 233, 20));
        progress->SetChannelImages(Res("ProgressBar.png"), Res("ProgressBarActive.png"), false, KEY_FROM_PIXEL, 0, 0);
        progress->SetThumbImages(Res("norma_bar.png"), Res("over_bar.png"), true, KEY_FROM_PIXEL, 0, 0);
        progress->ShowFocusFrame(false);
        progress->SetRange(0, 100);
        progress->SetMargins(1, 1, 2, 2);
        progress->SetPos(38);
        auto* volume = new CSkinSlider(panel, 1007, wxRect(190, 214, 51, 20));
        volume->SetChannelImages(Res("VolumeBar.png"), Res("VolumeBarActive.png"), false, KEY_FROM_PIXEL, 0, 0);
        volume->SetThumbImages(Res("VolumeNormal_Thumb.png"), Res("VolumeNormal_Thumb.png"), true, KEY_FROM_PIXEL, 0, 0);
        volume->ShowFocusFrame(false);
        volume->SetMargins(2, 0, 2, 2);
        volume->SetRange(-2000, 0);
        volume->SetPos(-600);

        auto* info = new CScrollText(panel, 1051, wxRect(25, 76, 145, 16));
        info->SetTextTop(3);
        info->SetFont(wxFont(wxFontInfo(wxSize(5, 10)).FaceName("Verdana")));
        info->SetBackColor(RGB(125, 140, 195));
        info->StartScroll(variant ? "Registrazione..." : "Stereo  44 kHz  16 bit  5,2 MB", RGB(255, 255, 255), 1);
        info->StopScroll();
        auto* fileInfo = new CScrollText(panel, 1013, wxRect(192, 133, 110, 10));
        fileInfo->SetFont(wxFont(wxFontInfo(wxSize(5, 12)).FaceName("Tahoma").Bold()));
        fileInfo->SetBackColor(RGB(198, 198, 255));
        fileInfo->StartScroll("00:00:31 / 00:01:22", RGB(0, 0, 0), 1);
        fileInfo->StopScroll();
        auto* title = new CScrollText(panel, 1076, wxRect(32, 157, 238, 16));
        title->SetFont(wxFont(wxFontInfo(wxSize(6, 13)).FaceName("Tahoma")));
        title->SetBackColor(RGB(197, 186, 255));
        title->StartScroll("Lezione di storia 2024-05-14 10.22.07.wav", RGB(0, 0, 0), 1);
        title->StopScroll();

        SetVisualizerType(variant ? 3 : 2);
        auto* vis = new CAudioVisualizer(panel, 1001, wxRect(28, 92, 272, 40));
        vis->SetFormat(2, 2);
        std::vector<std::uint8_t> pcm;
        for (int i = 0; i < 2048; ++i) {
            // A voice-like mixture: a fundamental and its harmonics, weaker as they rise.
            double v = 3;
            for (int k = 1; k <= 24; ++k) v += 2400.0 / (k + 1) * std::sin(2 * M_PI * 6.3 * k * i / 1024 + k);
            const int s = static_cast<int>(v);
            for (int c = 0; c < 2; ++c) {
                pcm.push_back(static_cast<std::uint8_t>(s & 0xFF));
                pcm.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
            }
        }
        TheSampleBuffer().Store(2.0, pcm.data(), static_cast<std::uint32_t>(pcm.size()));
        platform::SendWindowMessage(vis->GetWindowRef(), WM_VIS_SAMPLES, 0, 0);

        if (variant) {
            // States: hover on play, pressed record, disabled previous and open, dragged progress.
            wxMouseEvent move(wxEVT_MOTION);
            buttons[5]->GetEventHandler()->ProcessEvent(move);
            harness::PumpUntil([&] { return buttons[5]->IsHover(); }, 1s);
            wxMouseEvent down(wxEVT_LEFT_DOWN);
            down.SetPosition(wxPoint(5, 5));
            buttons[9]->GetEventHandler()->ProcessEvent(down);
            buttons[7]->Enable(false);
            buttons[3]->Enable(false);
            progress->HandleLeftDown(progress->ThumbCentre());
        }

        wxBitmap out(W, H, 24);
        {
            wxMemoryDC dc(out);
            dc.DrawBitmap(LoadSkinBitmap(Res("skin_bg.bmp")), 0, 0);
            for (auto* b : buttons) DrawAt(dc, b);
            DrawAt(dc, progress);
            DrawAt(dc, volume);
            DrawAt(dc, info);
            DrawAt(dc, fileInfo);
            DrawAt(dc, title);
            dc.DrawBitmap(vis->LastFrame(), 28, 92);
            const char* cells[] = {"zero.png", "zero.png", "colon.png", "Two.png", "Seven.png", "colon.png", "Four.png", "Nine.png"};
            const int lefts[] = {175, 194, 213, 221, 240, 259, 267, 286};
            for (int i = 0; i < 8; ++i) dc.DrawBitmap(LoadSkinBitmap(Res(cells[i])), lefts[i], 58);
            dc.DrawBitmap(LoadSkinBitmap(Res(variant ? "WMA_enabled.png" : "WAV_enabled.png")), 30, 50);
            if (variant) dc.DrawBitmap(LoadSkinBitmap(Res("Rec.png")), 124, 60);
            dc.DrawBitmap(LoadSkinBitmap(Res(variant ? "sound_mute.bmp" : "sound_normal.bmp")), 190, H - 40);
        }
        if (variant) progress->HandleLeftUp();
        const auto path = harness::BinDir() / (variant ? "skin_preview_states.png" : "skin_preview.png");
        EXPECT_TRUE(out.SaveFile(path.string(), wxBITMAP_TYPE_PNG));
        std::printf("preview: %s%s\n", path.c_str(), module ? "" : " (no Lexel.so: visualizer without background)");
        if (buttons[9]->HasCapture()) buttons[9]->ReleaseMouse();
        frame->Destroy();
        harness::PumpFor(10ms);
    }
    if (module) platform::ResourceModule::Free();
    TheSampleBuffer().Free();
}
