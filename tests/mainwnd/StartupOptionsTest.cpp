// The main window's start-up writes and the options sheet it runs: the input stored on a first
// start, the encoder's fixed settings, the recording level on the sound server's capture volume,
// and both options pages wired into the sheet.
#include <wx/app.h>
#include <wx/choice.h>
#include <wx/panel.h>
#include <wx/dialog.h>
#include <wx/radiobut.h>

#include <cctype>

#include "app/Messages.h"
#include "audio/LameSettings.h"
#include "options/OptionsIds.h"
#include "platform/DesktopWindows.h"
#include "platform/Registry.h"
#include "tests/mainwnd/MainWindowFixture.h"
#include "tests/mainwnd/ShapeProbe.h"

using namespace mainwndtest;
namespace a = options::advanced;

namespace {

std::optional<std::string> Stored(const std::string& name) {
    platform::RegKey key;
    if (!key.OpenForQuery(platform::Hive::LocalMachine, "Software\\Murmelo")) return std::nullopt;
    return key.QueryString(name);
}

// The default source's volume in percent as the sound server reports it (first channel).
int SourceVolumePercent() {
    const harness::RunResult r = harness::Run({"pactl", "get-source-volume", "@DEFAULT_SOURCE@"});
    const std::size_t percent = r.out.find('%');
    if (percent == std::string::npos) return -1;
    std::size_t start = percent;
    while (start > 0 && std::isdigit(static_cast<unsigned char>(r.out[start - 1]))) --start;
    return start == percent ? -1 : std::stoi(r.out.substr(start, percent - start));
}

class MainWindowStart : public MainWindowTest {};

TEST_F(MainWindowStart, FirstStartStoresTheChosenInputAndTheEncoderDefaults) {
    Set("DefaultMic", "1");
    Open();
    const std::string device = dlg->GeneralPage().m_strCurrentDevice;
    EXPECT_FALSE(device.empty());
    EXPECT_EQ(device, dlg->GeneralPage().m_CaptureGraph.SourceName());
    EXPECT_EQ(Stored("InputDevice"), device);
    EXPECT_EQ(Stored("InputSource"), std::to_string(dlg->GeneralPage().m_nChosenInput));

    platform::RegKey lame;
    ASSERT_TRUE(lame.OpenForQuery(platform::Hive::CurrentUser, kLameRegistryKey));
    const std::pair<const char*, std::uint32_t> expected[] = {
        {"Quality", 5}, {"Set Duration", 1}, {"VariableMax", 160}, {"VariableMin", 80}, {"VBR Quality", 4},
        {"Copyright", 0}, {"Xing Tag", 0}, {"Strict ISO", 0}, {"Voice Mode", 0}};
    for (const auto& [name, value] : expected) EXPECT_EQ(lame.QueryDword(name), value) << name;
}

TEST_F(MainWindowStart, RecordingVolumeReachesTheSoundServersCaptureVolume) {
    // The inputs are named after the sound server's devices, its mixer has one "Capture" element
    // (the default source): that is where the level goes.
    Set("RecordVolume", "40");
    Open();
    EXPECT_EQ(SourceVolumePercent(), 40);
    Close();
    Set("RecordVolume", "100");
    Open();
    EXPECT_EQ(SourceVolumePercent(), 100);
}

TEST_F(MainWindowStart, OptionsSheetShowsBothPagesAndTheLimitComesBackFromTheAdvancedPage) {
    Set("UnlimitedRecording", "0");
    Open();
    EXPECT_EQ(dlg->EnforcedLimitSeconds(), -1);

    bool checked = false;
    wxTheApp->CallAfter([&] {
        COptions& sheet = dlg->OptionsSheet();
        checked = true;
        EXPECT_TRUE(sheet.IsShown());
        EXPECT_EQ(sheet.GetPageCount(), 2);
        EXPECT_EQ(sheet.GetTitle(), LoadResourceString(1202));
        EXPECT_EQ(sheet.GetPage(0), &dlg->GeneralPage());
        EXPECT_EQ(sheet.GetPage(1), &dlg->AdvancedPage());
        if (sheet.SetActivePage(1)) {
            wxWindow* page = dlg->AdvancedPage().GetWindow();
            wxWindow* free = page ? page->FindWindow(a::kFreeSpace) : nullptr;
            ASSERT_TRUE(free);
            const std::string text = free->GetLabel().utf8_string();
            EXPECT_TRUE(text.size() > 2 && text.ends_with("MB") &&
                        text.find_first_not_of("0123456789") == text.size() - 2)
                << text;
            auto* limit = page ? dynamic_cast<wxRadioButton*>(page->FindWindow(a::kRadioLimit)) : nullptr;
            auto* minutes = page ? dynamic_cast<wxChoice*>(page->FindWindow(a::kMinutes)) : nullptr;
            if (limit && minutes) {
                limit->SetValue(true);
                wxCommandEvent radio(wxEVT_RADIOBUTTON, a::kRadioLimit);
                radio.SetEventObject(limit);
                radio.SetInt(1);
                limit->ProcessWindowEvent(radio);
                minutes->SetSelection(3);
                wxCommandEvent choice(wxEVT_CHOICE, a::kMinutes);
                choice.SetEventObject(minutes);
                choice.SetInt(3);
                minutes->ProcessWindowEvent(choice);
            }
        }
        wxWindow* ok = sheet.GetWindow() ? sheet.GetWindow()->FindWindow(wxID_OK) : nullptr;
        ASSERT_TRUE(ok);
        wxCommandEvent press(wxEVT_BUTTON, wxID_OK);
        press.SetEventObject(ok);
        ok->ProcessWindowEvent(press);
    });
    Command(dlg, CRecorderDlg::IDC_SETTINGS);  // Ctrl+S: returns when the sheet has closed
    ASSERT_TRUE(checked) << "the sheet did not show";
    EXPECT_FALSE(dlg->OptionsSheet().IsShown());
    EXPECT_EQ(dlg->AdvancedPage().m_nMinutes, 3);
    EXPECT_EQ(dlg->EnforcedLimitSeconds(), 3 * 60);
    EXPECT_EQ(Stored("UnlimitedRecording"), "1");
    EXPECT_EQ(Stored("Minute"), "3");
    EXPECT_EQ(dlg->GetRecorderState(), StateIdle);
    // The General page applied its stored volume: the session's source keeps its full level.
    EXPECT_EQ(SourceVolumePercent(), 100);
}

TEST_F(MainWindowStart, WindowHasItsRoundedShape) {
    Open();
    const platform::DesktopWindow window = platform::DesktopWindowOf(dlg);
    ASSERT_NE(window, 0u);
    const std::vector<wxRect> rects = mainwndtest::BoundingShape(window);
    auto covered = [&](int x, int y) {
        for (const wxRect& r : rects)
            if (r.Contains(x, y)) return true;
        return false;
    };
    const wxSize size = dlg->GetClientSize();
    EXPECT_GT(rects.size(), 1u) << "the window is not shaped";
    EXPECT_TRUE(covered(size.x / 2, size.y / 2));
    EXPECT_TRUE(covered(size.x / 2, 0));
    for (const wxPoint corner : {wxPoint(0, 0), wxPoint(size.x - 1, 0), wxPoint(0, size.y - 1), wxPoint(size.x - 1, size.y - 1)})
        EXPECT_FALSE(covered(corner.x, corner.y)) << corner.x << "," << corner.y;
}

}  // namespace
