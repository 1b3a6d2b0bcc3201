#include "options/FileFormat.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include <wx/choice.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/slider.h>

#include "app/Messages.h"
#include "app/SettingsStore.h"
#include "audio/LameSettings.h"
#include "options/Options.h"
#include "options/OptionsIds.h"
#include "platform/Drives.h"
#include "platform/ProgramFolder.h"
#include "platform/Registry.h"
#include "platform/Spawn.h"
#include "platform/Ui.h"

using namespace options;
using namespace options::general;
namespace setting = app::setting;

namespace {

constexpr int kQualityCombos[] = {kWavRate, kWavChannels, kWavBits, kMp3Quality, kUnused,
                                  kWmaQuality, kWmaStereo, kWmaMono, kMp3Channels};

void StartProgram(const std::string& path) { platform::StartProgram(path, {}); }

}  // namespace

CFileFormat::CFileFormat() : COptionsPage(IDD_GENERAL_PAGE), m_startHelper(StartProgram) {}

CFileFormat::~CFileFormat() = default;

// --- stored values -----------------------------------------------------------------------------

QualityCodes CFileFormat::StoredCodes() const {
    QualityCodes c;
    c.wavFrequency = m_stored.Number(setting::WavFrequency);
    c.wavMode = m_stored.Number(setting::WavMode);
    c.wavBit = m_stored.Number(setting::WavBit);
    c.wmaProfile = m_stored.Number(setting::WmaProfile);
    c.mp3Profile = m_stored.Number(setting::Mp3Profile);
    c.mp3Mode = m_stored.Number(setting::Mp3Mode);
    return c;
}

void CFileFormat::OnCreate() {
    m_stored.Read({setting::Fileformatwav, setting::Fileformatwma, setting::Fileformatmp3, setting::WavFrequency,
                   setting::WavMode, setting::WavBit, setting::WmaProfile, setting::Mp3Profile, setting::Mp3Mode,
                   setting::Manual, setting::RecordVolume, setting::FolderPath});
}

void CFileFormat::LoadInputChoice() {
    m_stored.Read({setting::InputSource, setting::InputDevice, setting::Pellow});
    m_nChosenDevice = 0;
    m_nChosenInput = 0;
    const std::string stored = m_stored.Text(setting::InputDevice);
    for (std::size_t i = 0; i < m_astrDeviceNames.size(); ++i) {
        if (m_astrDeviceNames[i] == stored) {
            m_nChosenDevice = static_cast<int>(i);
            m_nChosenInput = m_stored.Number(setting::InputSource);
            break;
        }
    }
}

// --- operations for the main window ------------------------------------------------------------

const std::string& CFileFormat::MakeAutoFileName() {
    m_tNameTime = std::time(nullptr);
    m_strExampleName = options::MakeAutoFileName(m_tNameTime);
    return m_strExampleName;
}

std::uint32_t CFileFormat::GetSaveDriveFreeMB() const {
    // The file system the recordings go to: the save folder, or its nearest existing parent.
    std::filesystem::path folder = m_strSaveFolder.empty() ? m_strDriveRoot : m_strSaveFolder;
    std::error_code ec;
    while (!folder.empty() && !std::filesystem::exists(folder, ec) && folder != folder.root_path()) {
        folder = folder.parent_path();
    }
    auto bytes = platform::FreeBytes(folder.string());
    return bytes ? BytesToFreeMB(*bytes) : 0;
}

void CFileFormat::WriteLameProfile() {
    const LameProfile p = LameProfileFor(m_CaptureGraph.m_nMp3Profile, m_nMp3Mode,
                                         static_cast<std::uint32_t>(m_nLameSampleRate),
                                         static_cast<std::uint32_t>(m_nLameStereoMode));
    m_nLameSampleRate = static_cast<int>(p.sampleRate);
    m_nLameStereoMode = static_cast<int>(p.stereoMode);
    WriteLameQuality(p.sampleRate, p.bitrate, p.stereoMode, p.forceMono != 0);
}

// --- quality controls --------------------------------------------------------------------------

QualityPanel CFileFormat::ReadPanel() const {
    QualityPanel panel;
    for (int id : kQualityCombos) {
        ComboState* state = panel.ById(id);
        if (auto* choice = ItemAs<wxChoice>(id)) {
            state->visible = choice->IsShown();
            state->selection = choice->GetSelection();
            state->count = static_cast<int>(choice->GetCount());
        }
    }
    panel.estimate = GetItemText(kEstimate);
    if (m_CaptureGraph.m_bWav) {
        panel.format = OutputFormat::Wav;
    } else if (m_CaptureGraph.m_bWma) {
        panel.format = OutputFormat::Wma;
    } else if (m_CaptureGraph.m_bMp3) {
        panel.format = OutputFormat::Mp3;
    }
    panel.codes.wavFrequency = m_CaptureGraph.m_nFreqCode;
    panel.codes.wavMode = m_CaptureGraph.m_nChannelCode;
    panel.codes.wavBit = m_CaptureGraph.m_nBitCode;
    panel.codes.wmaProfile = m_CaptureGraph.m_nWmaProfile;
    panel.codes.mp3Profile = m_CaptureGraph.m_nMp3Profile;
    panel.codes.mp3Mode = m_nMp3Mode;
    return panel;
}

void CFileFormat::ApplyPanel(const QualityPanel& panel) {
    for (int id : kQualityCombos) {
        const ComboState* state = panel.ById(id);
        auto* choice = ItemAs<wxChoice>(id);
        if (!choice) continue;
        choice->Show(state->visible);
        if (state->selection != choice->GetSelection()) choice->SetSelection(state->selection);
    }
    if (panel.caption) SetItemText(kQualityCaption, LoadResourceString(panel.caption));
    SetItemText(kEstimate, panel.estimate);
    ApplyFormat(panel.format);
    m_CaptureGraph.m_nFreqCode = panel.codes.wavFrequency;
    m_CaptureGraph.m_nChannelCode = panel.codes.wavMode;
    m_CaptureGraph.m_nBitCode = panel.codes.wavBit;
    m_CaptureGraph.m_nWmaProfile = panel.codes.wmaProfile;
    m_CaptureGraph.m_nMp3Profile = panel.codes.mp3Profile;
    m_nMp3Mode = panel.codes.mp3Mode;
    if (wxWindow* w = GetWindow()) w->Layout();
}

void CFileFormat::ApplyFormat(OutputFormat format) {
    if (format == OutputFormat::None) return;
    m_CaptureGraph.m_bWav = format == OutputFormat::Wav;
    m_CaptureGraph.m_bWma = format == OutputFormat::Wma;
    m_CaptureGraph.m_bMp3 = format == OutputFormat::Mp3;
}

void CFileFormat::HideMp3Controls() {
    ShowItem(kRadioMp3, false);
    ShowItem(kMp3Quality, false);
    ShowItem(kMp3Channels, false);
    ShowItem(kUnused, false);  // never has items
    auto up = [this](int id, int pixels) {
        if (wxWindow* w = Item(id)) {
            const wxPoint p = w->GetPosition();
            w->Move(p.x, p.y - pixels);
        }
    };
    up(kRadioWma, 25);
    up(kRadioWav, 20);
}

// --- helpers -----------------------------------------------------------------------------------

std::string CFileFormat::DeviceName(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_astrDeviceNames.size()) return {};
    return m_astrDeviceNames[static_cast<std::size_t>(index)];
}

std::string CFileFormat::InputName(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_astrInputNames.size()) return {};
    return m_astrInputNames[static_cast<std::size_t>(index)];
}

bool CFileFormat::InputIsMicrophone(const std::string& inputName) const {
    return LookupSourceType(m_InputLines, inputName) == kMicrophoneLineType;
}

void CFileFormat::FillDeviceCombo() {
    auto* combo = ItemAs<wxChoice>(kDevice);
    if (!combo) return;
    combo->Clear();
    for (const std::string& name : m_astrDeviceNames) combo->Append(wxString::FromUTF8(name));
}

void CFileFormat::FillInputCombo() {
    auto* combo = ItemAs<wxChoice>(kInput);
    if (!combo) return;
    combo->Clear();
    for (const std::string& name : m_astrInputNames) {
        if (name.empty()) break;
        combo->Append(wxString::FromUTF8(name));
    }
}

std::vector<std::string> CFileFormat::ListedInputNames() const {
    std::vector<std::string> names;
    for (const std::string& name : m_astrInputNames) {
        if (name.empty()) break;
        names.push_back(name);
    }
    return names;
}

std::string CFileFormat::SelectedName(int comboId) const {
    auto* combo = ItemAs<wxChoice>(comboId);
    return combo && combo->GetSelection() >= 0 ? combo->GetStringSelection().utf8_string() : std::string();
}

void CFileFormat::SetSaveFolder(const std::string& folder) {
    m_strSaveFolder = app::WithTrailingSlash(folder);
    m_strDriveRoot = platform::DriveRoot(m_strSaveFolder);
}

void CFileFormat::ShowFolder() { SetItemText(kFolder, m_strSaveFolder); }

void CFileFormat::ShowSaveFolder() { ShowFolder(); }

void CFileFormat::RefillDeviceList() {
    auto* devices = ItemAs<wxChoice>(kDevice);
    if (!devices) return;
    const std::string shownDevice = SelectedName(kDevice);
    const std::string shownInput = SelectedName(kInput);
    // The main window bound this device when it listed the devices again (the stored choice).
    const int bound = m_nChosenDevice;
    const int device = ChoiceAfterRefill(m_astrDeviceNames, shownDevice, bound);
    FillDeviceCombo();
    if (device >= 0) devices->SetSelection(device);
    const bool deviceStayed = !shownDevice.empty() && DeviceName(device) == shownDevice;
    if (device >= 0 && device != bound) {
        // The user's device, not the stored one: the main window binds it and lists its inputs.
        m_nChosenDevice = device;
        platform::SendWindowMessage(m_hMainWnd, WM_INPUT_DEVICE_CHANGED, 0, 0);
    }

    FillInputCombo();
    const int input = ChoiceAfterRefill(ListedInputNames(), deviceStayed ? shownInput : std::string(), m_nChosenInput);
    if (auto* inputs = ItemAs<wxChoice>(kInput); inputs && input >= 0) inputs->SetSelection(input);
    m_nChosenInput = std::max(0, input);
    m_strCurrentInput = InputName(m_nChosenInput);
    if (deviceStayed && m_strCurrentInput == shownInput) return;
    // The device or input the page showed is gone: as after a choice of the user's.
    if (COptions* sheet = GetSheet()) sheet->EnableOk(true);
    DisableMicrophoneControls();
    UpdateMicrophoneControls();
}

void CFileFormat::ShowVolumeCaption(int percent) {
    SetItemText(kVolumeCaption, LoadResourceString(IDS_RECORD_VOLUME) + " " + std::to_string(percent) + "%");
}

void CFileFormat::DisableMicrophoneControls() {
    EnableItem(kMicLabel, false);
    EnableItem(kMicBuiltIn, false);
    EnableItem(kMicExternal, false);
    CheckItem(kMicBuiltIn, false);
    CheckItem(kMicExternal, false);
}

void CFileFormat::ApplyMicPlan(const MicPlan& plan) {
    if (!plan.touch) return;
    EnableItem(kMicLabel, plan.labelEnabled);
    EnableItem(kMicBuiltIn, plan.builtInEnabled);
    EnableItem(kMicExternal, plan.externalEnabled);
    switch (plan.check) {
        case MicCheck::Unchanged: break;
        case MicCheck::None:
            CheckItem(kMicBuiltIn, false);
            CheckItem(kMicExternal, false);
            break;
        case MicCheck::BuiltIn: CheckItem(kMicBuiltIn, true); break;
        case MicCheck::External: CheckItem(kMicExternal, true); break;
    }
    if (plan.helper == MicHelper::BuiltIn) OnBuiltInMic();
    if (plan.helper == MicHelper::External) OnExternalMic();
}

void CFileFormat::UpdateMicrophoneControls() {
    m_strCurrentInput = InputName(m_nChosenInput);
    const MicPlan plan = PlanMicrophoneControls(DeviceName(m_nChosenDevice), m_nMicConfiguration,
                                                InputIsMicrophone(m_strCurrentInput), m_stored.Number(setting::Pellow) != 0);
    ApplyMicPlan(plan);
    if (plan.selectFirstInput) {
        if (auto* combo = ItemAs<wxChoice>(kInput); combo && combo->GetCount() > 0) combo->SetSelection(0);
        m_strCurrentInput = InputName(0);
    }
}

// --- page --------------------------------------------------------------------------------------

bool CFileFormat::OnInitDialog() {
    wxWindow* page = GetWindow();
    HideMp3Controls();
    // The lists start without a selection; only the chosen format's action below selects.
    for (int id : kQualityCombos) {
        if (auto* choice = ItemAs<wxChoice>(id)) choice->SetSelection(wxNOT_FOUND);
    }
    m_bRestoring = true;
    m_bPageOpen = true;
    m_strProgramFolder = platform::GetProgramFolder();

    CheckItem(m_stored.Number(setting::Manual) == 1 ? kRadioManual : kRadioAutomatic, true);

    SetSaveFolder(m_stored.Text(setting::FolderPath));
    if (!platform::DriveExists(m_stored.Text(setting::FolderPath))) {
        SetSaveFolder(m_strDefaultSaveFolder);
        app::WriteFolderPath(m_strSaveFolder);
    }
    ShowFolder();

    MakeAutoFileName();
    m_strExampleText = ExampleText(m_strExampleName);
    SetItemText(kExampleName, m_strExampleText);
    m_bManual = m_stored.Number(setting::Manual) != 0;

    if (m_stored.Number(setting::Fileformatwav) == 1) {
        CheckItem(kRadioWav, true);
        QualityPanel panel = ReadPanel();
        ChooseWav(panel, m_bRestoring, StoredCodes());
        ApplyPanel(panel);
    } else if (m_stored.Number(setting::Fileformatwma) == 1) {
        CheckItem(kRadioWma, true);
        QualityPanel panel = ReadPanel();
        ChooseWma(panel, m_bRestoring, StoredCodes());
        WmaQualityChanged(panel);
        ApplyPanel(panel);
    }

    FillDeviceCombo();
    FillInputCombo();

    LoadInputChoice();
    if (auto* devices = ItemAs<wxChoice>(kDevice);
        devices && m_nChosenDevice >= 0 && m_nChosenDevice < static_cast<int>(devices->GetCount()))
        devices->SetSelection(m_nChosenDevice);
    if (auto* inputs = ItemAs<wxChoice>(kInput);
        inputs && m_nChosenInput >= 0 && m_nChosenInput < static_cast<int>(inputs->GetCount()))
        inputs->SetSelection(m_nChosenInput);
    m_strCurrentInput = InputName(m_nChosenInput);

    UpdateMicrophoneControls();

    const int volume = std::clamp(m_stored.Number(setting::RecordVolume), 0, 100);
    if (auto* slider = ItemAs<wxSlider>(kVolumeSlider)) {
        slider->SetRange(0, 100);
        slider->SetValue(volume);
    }
    ShowVolumeCaption(volume);

    // Bindings come last so that filling the controls does not count as the user's changes.
    page->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { ChooseFormat(ChooseMp3); }, kRadioMp3);
    page->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { ChooseFormat(ChooseWma); }, kRadioWma);
    page->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { ChooseFormat(ChooseWav); }, kRadioWav);
    for (int id : {kWavRate, kWavChannels, kWavBits})
        page->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { ChangeQuality(WavQualityChanged); }, id);
    page->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { ChangeQuality(Mp3QualityChanged); }, kMp3Quality);
    page->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { ChangeQuality(Mp3ChannelsChanged); }, kMp3Channels);
    page->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { ChangeQuality(WmaQualityChanged); }, kWmaQuality);
    page->Bind(wxEVT_CHOICE, &CFileFormat::OnDeviceChanged, this, kDevice);
    page->Bind(wxEVT_CHOICE, &CFileFormat::OnInputChanged, this, kInput);
    page->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { OnBuiltInMic(); }, kMicBuiltIn);
    page->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { OnExternalMic(); }, kMicExternal);
    page->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { OnNaming(false); }, kRadioAutomatic);
    page->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { OnNaming(true); }, kRadioManual);
    page->Bind(wxEVT_BUTTON, &CFileFormat::OnBrowse, this, kBrowse);
    page->Bind(wxEVT_BUTTON, &CFileFormat::OnDefault, this, kDefault);
    page->Bind(wxEVT_SLIDER, &CFileFormat::OnVolumeMoved, this, kVolumeSlider);
    return true;
}

bool CFileFormat::OnKillActive() {
    const FolderCheck check = CheckSaveFolder(m_strSaveFolder);
    switch (check.verdict) {
        case FolderVerdict::Accept:
            return true;
        case FolderVerdict::TooLong:
            ShowSystemError(82);
            return false;
        case FolderVerdict::AccessDenied:
            ShowSystemError(check.error == EACCES ? 5u : static_cast<unsigned>(check.error));
            return false;
        case FolderVerdict::PathNotFound: {
            ShowSystemError(3);
            SetSaveFolder(m_strDefaultSaveFolder);
            ShowFolder();
            std::error_code ec;
            std::filesystem::create_directory(m_strSaveFolder, ec);
            return false;
        }
    }
    return true;
}

void CFileFormat::OnOK() {
    auto* slider = ItemAs<wxSlider>(kVolumeSlider);
    if (slider) m_nRecordVolume = slider->GetValue();

    QualityPanel panel = ReadPanel();
    TakeSelectedCodes(panel, StoredCodes());
    ApplyPanel(panel);

    if (auto* inputs = ItemAs<wxChoice>(kInput); inputs && inputs->GetSelection() >= 0)
        m_nChosenInput = inputs->GetSelection();
    if (auto* devices = ItemAs<wxChoice>(kDevice); devices && devices->GetSelection() >= 0)
        m_nChosenDevice = devices->GetSelection();
    m_strCurrentDevice = DeviceName(m_nChosenDevice);

    app::GeneralPageSettings values;
    values.format = m_CaptureGraph.m_bWav   ? app::StoredFormat::Wav
                    : m_CaptureGraph.m_bWma ? app::StoredFormat::Wma
                                            : app::StoredFormat::Mp3;
    values.wavFrequency = m_CaptureGraph.m_nFreqCode;
    values.wavBit = m_CaptureGraph.m_nBitCode;
    values.wavMode = m_CaptureGraph.m_nChannelCode;
    values.wmaProfile = m_CaptureGraph.m_nWmaProfile;
    values.mp3Profile = m_CaptureGraph.m_nMp3Profile;
    values.mp3Mode = m_nMp3Mode;
    values.inputSource = m_nChosenInput;
    values.inputDevice = m_strCurrentDevice;
    values.manual = m_bManual;
    values.folderPath = m_strSaveFolder;
    values.recordVolume = m_nRecordVolume;
    values.pellow = m_bBuiltInMic;
    app::WriteGeneralPageSettings(values);

    WriteLameProfile();
    platform::PostWindowMessage(m_hMainWnd, WM_OPTIONS_APPLIED, 0, 0);
}

void CFileFormat::OnCancel() {
    LoadInputChoice();
    m_strCurrentDevice = DeviceName(m_nChosenDevice);
    app::SettingsReader reader;
    auto number = [&](const char* name, auto& field) {
        if (auto value = reader.Number(name)) field = static_cast<std::remove_reference_t<decltype(field)>>(*value);
    };
    auto flag = [&](const char* name, unsigned char& field) {
        if (auto value = reader.Number(name)) field = *value != 0;
    };
    flag(setting::Fileformatwav, m_CaptureGraph.m_bWav);
    flag(setting::Fileformatwma, m_CaptureGraph.m_bWma);
    flag(setting::Fileformatmp3, m_CaptureGraph.m_bMp3);
    number(setting::WavFrequency, m_CaptureGraph.m_nFreqCode);
    number(setting::WavMode, m_CaptureGraph.m_nChannelCode);
    number(setting::WavBit, m_CaptureGraph.m_nBitCode);
    number(setting::WmaProfile, m_CaptureGraph.m_nWmaProfile);
    number(setting::Mp3Profile, m_CaptureGraph.m_nMp3Profile);
    number(setting::Mp3Mode, m_nMp3Mode);
    if (auto manual = reader.Number(setting::Manual)) m_bManual = *manual != 0;
    if (auto folder = reader.Text(setting::FolderPath)) SetSaveFolder(*folder);
    // A stored folder whose drive vanished while the sheet was open stays replaced by the default.
    if (!m_strDefaultSaveFolder.empty() && !platform::DriveExists(m_strSaveFolder)) SetSaveFolder(m_strDefaultSaveFolder);
    if (auto volume = reader.Number(setting::RecordVolume)) m_nRecordVolume = std::clamp(*volume, 0, 100);
    m_bPageOpen = false;
}

void CFileFormat::OnDestroy() { m_bPageOpen = false; }

// --- handlers ----------------------------------------------------------------------------------

void CFileFormat::ChooseFormat(void (*choose)(QualityPanel&, bool&, const QualityCodes&)) {
    QualityPanel panel = ReadPanel();
    choose(panel, m_bRestoring, StoredCodes());
    ApplyPanel(panel);
    SetModified();
}

void CFileFormat::ChangeQuality(void (*change)(QualityPanel&)) {
    QualityPanel panel = ReadPanel();
    change(panel);
    ApplyPanel(panel);
    SetModified();
}

void CFileFormat::OnDefault(wxCommandEvent&) {
    QualityPanel panel = ReadPanel();
    const bool modified = RestoreDefaultQuality(panel);
    ApplyPanel(panel);
    if (modified) SetModified();
}

void CFileFormat::OnDeviceChanged(wxCommandEvent&) {
    auto* devices = ItemAs<wxChoice>(kDevice);
    if (!devices || devices->GetSelection() < 0) return;
    m_nChosenDevice = devices->GetSelection();
    platform::SendWindowMessage(m_hMainWnd, WM_INPUT_DEVICE_CHANGED, 0, 0);
    FillInputCombo();
    if (auto* inputs = ItemAs<wxChoice>(kInput); inputs && inputs->GetCount() > 0) inputs->SetSelection(0);
    m_nChosenInput = 0;
    m_strCurrentInput = InputName(0);
    DisableMicrophoneControls();
    UpdateMicrophoneControls();
    SetModified();
}

void CFileFormat::OnInputChanged(wxCommandEvent&) {
    auto* inputs = ItemAs<wxChoice>(kInput);
    if (!inputs || inputs->GetSelection() < 0) return;
    m_nChosenInput = inputs->GetSelection();
    m_strCurrentInput = InputName(m_nChosenInput);
    const std::string device = DeviceName(m_nChosenDevice);
    if (COptions* sheet = GetSheet()) sheet->EnableOk(true);
    SetModified();
    const bool isMic = InputIsMicrophone(m_strCurrentInput);
    if (isMic && device.find("SoundMAX") != std::string::npos && m_nMicConfiguration == kMicConfigBuiltInAndExternal)
        m_stored.Read({setting::Pellow});
    const MicPlan plan = PlanInputChanged(device, m_nMicConfiguration, isMic, m_stored.Number(setting::Pellow) != 0);
    DisableMicrophoneControls();
    ApplyMicPlan(plan);
    if (plan.disableOk) {
        if (COptions* sheet = GetSheet()) sheet->EnableOk(false);
    }
    SetModified(plan.modified);
    if (plan.warnOtherInput) platform::MessageBox(PageRef(), kOtherInputText, {}, platform::MB_OK);
}

void CFileFormat::StartMicHelper(bool builtIn) {
    if (MicRadiosStartHelpers(DeviceName(m_nChosenDevice), m_nMicConfiguration)) {
        m_bBuiltInMic = builtIn;
        const std::string program = m_strProgramFolder + (builtIn ? "/Pellow" : "/Quillon");
        if (m_startHelper) m_startHelper(program);
        m_helperHider.Start(kMicHelperCaption);
    }
    SetModified();
}

void CFileFormat::OnBuiltInMic() { StartMicHelper(true); }

void CFileFormat::OnExternalMic() { StartMicHelper(false); }

void CFileFormat::OnNaming(bool manual) {
    MakeAutoFileName();
    m_strExampleText = ExampleText(m_strExampleName);
    SetItemText(kExampleName, m_strExampleText);
    m_bManual = manual;
    SetModified();
}

void CFileFormat::OnVolumeMoved(wxCommandEvent&) {
    if (auto* slider = ItemAs<wxSlider>(kVolumeSlider)) ShowVolumeCaption(slider->GetValue());
    SetModified();
}

void CFileFormat::OnBrowse(wxCommandEvent&) {
    const std::string start = m_strSaveFolder;
    auto chosen = platform::ShowFolderChooser(PageRef(), LoadResourceString(IDS_CHOOSE_FOLDER), start);
    if (chosen && !chosen->empty()) {
        SetSaveFolder(*chosen);
        const platform::DriveType type = platform::GetDriveType(m_strSaveFolder);
        if (type != platform::DriveType::Removable && type != platform::DriveType::Fixed) {
            platform::MessageBox(PageRef(), GetLocalizedMessage(MSG_DRIVE_NOT_ACCESSIBLE), {}, platform::MB_OK);
            SetSaveFolder(m_strDefaultSaveFolder);
        }
        ShowFolder();
    }
    SetModified();
}
