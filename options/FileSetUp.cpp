#include "options/FileSetUp.h"

#include <algorithm>

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/spinbutt.h>
#include <wx/statbmp.h>

#include "app/Messages.h"
#include "app/SettingsStore.h"
#include "controls/SkinImage.h"
#include "controls/VisualizerType.h"
#include "micarray/MicArrayDriver.h"
#include "options/AdvancedPageLogic.h"
#include "options/OptionsIds.h"
#include "platform/DesktopWindows.h"
#include "platform/ProgramFolder.h"
#include "platform/Spawn.h"
#include "platform/Ui.h"

using namespace options;
using namespace options::advanced;
namespace setting = app::setting;

namespace {

constexpr int kModeRadios[] = {kRadioModeNone, kRadioModeVoice, kRadioModeDirectional, kRadioModeSpeakerPhone};

// The system's volume control and the arguments that open its input-devices tab.
constexpr const char* kVolumeControlProgram = "pavucontrol";
constexpr const char* kVolumeControlTitle = "Volume Control";

void StartVolumeControl(const std::string& program, const std::vector<std::string>& args) {
    platform::StartProgram(program, args);
}

}  // namespace

CFileSetUp::CFileSetUp() : COptionsPage(IDD_ADVANCED_PAGE), m_startProgram(StartVolumeControl) {}

CFileSetUp::~CFileSetUp() = default;

CMicArrayDriver& CFileSetUp::Driver() { return m_pDriver ? *m_pDriver : TheMicArrayDriver(); }

void CFileSetUp::OnCreate() {
    m_stored.Read({setting::UnlimitedRecording, setting::Hour, setting::Minute, setting::VizState});
}

bool CFileSetUp::OnInitDialog() {
    wxWindow* page = GetWindow();
    wxPoint anchor(0, 0);
    if (wxWindow* equalizer = Item(kRadioEqualizer)) anchor = equalizer->GetPosition();

    if (auto* spin = ItemAs<wxSpinButton>(kSpin)) spin->SetRange(5, 999);

    CMicArrayDriver& driver = Driver();
    ModeAvailability available;
    if (m_nSpecialMode != kModeNoDriver) {
        available.voice = driver.IsSpecialRecordingModeAvailable(kModeVoiceRecording);
        available.directional = driver.IsSpecialRecordingModeAvailable(kModeDirectionalArray);
        available.speakerPhone = driver.IsSpecialRecordingModeAvailable(kModeSpeakerPhone);
    }
    const int driverMode = m_nSpecialMode == kModeNoDriver ? kModeNone : driver.GetSpecialRecordingMode();
    const ModeRadios radios = PlanModeRadios(m_nSpecialMode, available, m_bNoSpeakerPhone, driverMode);

    if (m_stored.Number(setting::UnlimitedRecording) == 1) {
        CheckItem(kRadioLimit, true);
        OnLimit();
    } else {
        CheckItem(kRadioNoLimit, true);
        OnNoLimit();
    }

    const int viz = VizTypeFromStored(m_stored.Number(setting::VizState));
    CheckItem(viz == kVizEqualizer ? kRadioEqualizer : viz == kVizSpectrum ? kRadioSpectrum : kRadioGraph, true);
    SetVisualizerType(viz);

    for (int mode = 0; mode < 4; ++mode) EnableItem(kModeRadios[mode], radios.enabled[mode]);
    if (radios.checked >= 0) {
        CheckItem(kModeRadios[radios.checked], true);
        OnMode(radios.checked);
    }

    CreatePreviews(anchor.x, anchor.y);

    SetItemText(kFreeSpace, m_strFreeSpace);

    page->Bind(wxEVT_CHOICE, [this](wxCommandEvent& e) { m_nHours = e.GetSelection(); SetModified(); }, kHours);
    page->Bind(wxEVT_CHOICE, [this](wxCommandEvent& e) { m_nMinutes = e.GetSelection(); SetModified(); }, kMinutes);
    page->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { OnNoLimit(); }, kRadioNoLimit);
    page->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { OnLimit(); }, kRadioLimit);
    page->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { OnVisualizer(kVizEqualizer); }, kRadioEqualizer);
    page->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { OnVisualizer(kVizSpectrum); }, kRadioSpectrum);
    page->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { OnVisualizer(kVizGraph); }, kRadioGraph);
    for (int mode = 0; mode < 4; ++mode)
        page->Bind(wxEVT_RADIOBUTTON, [this, mode](wxCommandEvent&) { OnMode(mode); }, kModeRadios[mode]);
    page->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { m_dlgDetails.DoModal(GetWindow()); }, kDetails);
    page->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnRecordingVolume(); }, kRecordingVolume);
    page->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnPlaybackVolume(); }, kPlaybackVolume);
    page->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        if (auto* spin = ItemAs<wxSpinButton>(kSpin)) spin->SetValue(spin->GetMin());
    }, kSilenceDefault);
    page->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { OnSilenceToggle(); }, kSilenceCheck);

    m_bPageOpen = true;
    return true;
}

void CFileSetUp::CreatePreviews(int left, int top) {
    const std::string folder = platform::GetProgramFolder() + "/res";
    struct Preview {
        int id;
        const char* file;
        int top, bottom;
    };
    const Preview previews[] = {{kPreviewEqualizer, "/Equalizer.png", -6, 23},
                                {kPreviewSpectrum, "/spectrum.png", 34, 64},
                                {kPreviewGraph, "/graph.png", 75, 105}};
    m_previews.clear();
    for (const Preview& p : previews) {
        wxBitmap bitmap = LoadSkinBitmap(wxString::FromUTF8(folder + p.file));
        auto* picture = new wxStaticBitmap(GetWindow(), p.id, bitmap, wxPoint(left + 127, top + p.top),
                                           wxSize(66, p.bottom - p.top));
        m_previews.push_back(picture);
    }
}

void CFileSetUp::SelectLimitCombos() {
    if (auto* hours = ItemAs<wxChoice>(kHours); hours && hours->GetCount() > 0)
        hours->SetSelection(std::clamp(m_stored.Number(setting::Hour), 0, static_cast<int>(hours->GetCount()) - 1));
    if (auto* minutes = ItemAs<wxChoice>(kMinutes); minutes && minutes->GetCount() > 0)
        minutes->SetSelection(std::clamp(m_stored.Number(setting::Minute), 0, static_cast<int>(minutes->GetCount()) - 1));
}

void CFileSetUp::OnLimit() {
    m_bLimitOn = true;
    EnableItem(kHours, true);
    EnableItem(kMinutes, true);
    SelectLimitCombos();
    SetModified();
}

void CFileSetUp::OnNoLimit() {
    m_bLimitOn = false;
    SelectLimitCombos();
    EnableItem(kHours, false);
    EnableItem(kMinutes, false);
    SetModified();
}

void CFileSetUp::OnVisualizer(int type) {
    SetVisualizerType(type);
    SetModified();
}

void CFileSetUp::OnMode(int mode) {
    m_nSpecialMode = mode;
    SetModified();
}

void CFileSetUp::OpenVolumeControl(const std::vector<std::string>& titles, const std::vector<std::string>& args) {
    for (const std::string& title : titles) {
        if (platform::DesktopWindow window = platform::FindTopLevelWindow(title)) {
            if (platform::IsMinimized(window)) platform::RestoreAndRaise(window);
            return;
        }
    }
    if (m_startProgram) m_startProgram(kVolumeControlProgram, args);
}

void CFileSetUp::OnRecordingVolume() { OpenVolumeControl({kVolumeControlTitle}, {"-t", "4"}); }

void CFileSetUp::OnPlaybackVolume() { OpenVolumeControl({kVolumeControlTitle, "Master Volume"}, {}); }

void CFileSetUp::OnSilenceToggle() {
    const bool on = IsItemChecked(kSilenceCheck);
    EnableItem(kSilenceEdit, on);
    EnableItem(kSpin, on);
    EnableItem(kSilenceDefault, on);
}

bool CFileSetUp::OnKillActive() {
    if (auto* hours = ItemAs<wxChoice>(kHours)) m_nHours = std::max(0, hours->GetSelection());
    if (auto* minutes = ItemAs<wxChoice>(kMinutes)) m_nMinutes = std::max(0, minutes->GetSelection());
    if (LimitRefused(m_bLimitOn, m_nHours, m_nMinutes)) {
        platform::MessageBox(PageRef(), LoadResourceString(IDS_LIMIT_TOO_SHORT), LoadResourceString(IDS_WARNING),
                             platform::MB_ICONWARNING);
        return false;
    }
    Save();
    return true;
}

void CFileSetUp::Save() {
    app::AdvancedPageSettings values;
    values.limitApplies = m_bLimitOn;
    values.hour = m_nHours;
    values.minute = m_nMinutes;
    values.vizState = GetVisualizerType();
    app::WriteAdvancedPageSettings(values);

    if (m_nSpecialMode == kModeNoDriver) return;
    CMicArrayDriver& driver = Driver();
    const bool available = m_nSpecialMode != kModeNone && driver.IsSpecialRecordingModeAvailable(m_nSpecialMode);
    if (auto mode = ModeToApply(m_nSpecialMode, available)) driver.SetSpecialRecordingMode(*mode);
}

void CFileSetUp::OnCancel() {
    app::SettingsReader reader;
    if (auto limit = reader.Number(setting::UnlimitedRecording)) m_bLimitOn = *limit != 0;
    if (auto hour = reader.Number(setting::Hour)) m_nHours = *hour;
    if (auto minute = reader.Number(setting::Minute)) m_nMinutes = *minute;
    if (auto viz = reader.Number(setting::VizState)) SetVisualizerType(*viz);
    m_bPageOpen = false;
}

void CFileSetUp::OnDestroy() {
    m_previews.clear();
    m_bPageOpen = false;
}

void CFileSetUp::SyncSpecialRecordingRadios() {
    auto mode = RadioForDriverMode(m_nDriverMode);
    if (!mode) return;
    for (int m = 0; m < 4; ++m) CheckItem(kModeRadios[m], m == *mode);
    m_nSpecialMode = *mode;
    SetModified(false);
}

void CFileSetUp::ShowFreeSpace(const std::string& text) {
    m_strFreeSpace = text;
    SetItemText(kFreeSpace, m_strFreeSpace);
}
