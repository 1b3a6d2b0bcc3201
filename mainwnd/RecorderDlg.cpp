#include "mainwnd/RecorderDlg.h"

#include <wx/dcbuffer.h>
#include <wx/graphics.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/AboutDlg.h"
#include "app/HandOver.h"
#include "app/Messages.h"
#include "app/SettingsStore.h"
#include "audio/LameSettings.h"
#include "audio/SampleBuffer.h"
#include "audio/WmaProfiles.h"
#include "controls/AudioVisualizer.h"
#include "controls/ControlMessages.h"
#include "controls/HoverButton.h"
#include "controls/ScrollText.h"
#include "controls/SkinImage.h"
#include "controls/SkinSlider.h"
#include "controls/VisualizerType.h"
#include "mainwnd/ManualNaming.h"
#include "mainwnd/OleDrop.h"
#include "mainwnd/RecordingFiles.h"
#include "mainwnd/SkinLayout.h"
#include "mainwnd/StatusText.h"
#include "micarray/MicArrayDriver.h"
#include "micarray/MicConfiguration.h"
#include "mixer/MixerControl.h"
#include "mixer/RecordingLevel.h"
#include "options/OptionsIds.h"
#include "platform/Chassis.h"
#include "platform/DesktopWindows.h"
#include "platform/DeviceChange.h"
#include "platform/Drives.h"
#include "platform/ProgramFolder.h"
#include "platform/ResourceModule.h"
#include "platform/Spawn.h"
#include "platform/Ui.h"

using namespace mainwnd;
using controls::RGB;

namespace {
constexpr unsigned kMainTemplate = 102;
constexpr unsigned kAboutString = 101;
constexpr unsigned kOptionsTitleString = 1202;
constexpr unsigned kHelpMissingString = 1227;
constexpr unsigned kErrorNameTooLong = 82;  // the system text for a name that does not fit

constexpr const char* kEditorTitle = "Sonaplex";
constexpr const char* kEditorProgram = "/../Sonaplex/Sonaplex";
constexpr const char* kHelpFile = "/Dizavadar.chm";
constexpr const char* kHelpTitle = "Quarnet Murmelo";
// A help viewer takes a moment to show its window; meanwhile F1 does not start a second one.
constexpr auto kHelpStartGrace = std::chrono::milliseconds(1000);

wxString U(const std::string& s) { return wxString::FromUTF8(s); }
std::string S(const wxString& s) { return std::string(s.utf8_str()); }
wxRect R(const SkinRect& r) { return wxRect(r.left, r.top, r.width(), r.height()); }

void Apply(wxWindow* w, Switch s) {
    if (w && s != Switch::Keep) w->Enable(s == Switch::Enable);
}

// The template's list box mirrors an engine list.
void ShowEntries(wxListBox* box, const VectorListBox& list) {
    if (!box) return;
    box->Clear();
    for (int i = 0; i < list.GetCount(); ++i) box->Append(U(list.GetText(i)));
}
}  // namespace

CRecorderDlg::CRecorderDlg(wxWindow*) : m_RecordTimer(this, IDT_RECORD), m_PlaybackTimer(this, IDT_PLAYBACK) {}

CRecorderDlg::~CRecorderDlg() {
    OnDestroyWindow();
    if (m_pVisualizer) SetVisualizerWindow(nullptr);
}

bool CRecorderDlg::Create(wxWindow* parent) {
    if (!platform::ResourceModule::LoadDialog(this, parent, kMainTemplate, kDialogBaseX, kDialogBaseY)) return false;
    created_ = true;
    return OnInitDialog();
}

int CRecorderDlg::DoModal() { return created_ && !destroyed_ ? ShowModal() : wxID_CANCEL; }

bool CRecorderDlg::OnInitDialog() {
    target_.Attach(this);
    AppendAboutToContextMenu();
    SetWindowIcons();
    RegisterDeviceNotification();
    SetOptionsSheetTitle();
    SetWindowStyles();
    RegisterDropTarget();
    ComputeDefaultSaveFolder();
    FillProgramFolder();
    RegisterMp3Encoder();
    BuildSkinAndControls();
    GiveGeneralPageWindow();
    DecideMicConfiguration();
    ShowSpecialRecordingMode();

    Bind(wxEVT_CHAR_HOOK, &CRecorderDlg::OnCharHook, this);
    Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent& e) {
        wxPoint at = e.GetPosition();
        ShowContextMenu(at == wxDefaultPosition ? wxPoint(0, 0) : ScreenToClient(at));
    });
    Bind(wxEVT_RIGHT_UP, [this](wxMouseEvent& e) { ShowContextMenu(e.GetPosition()); });
    for (auto type : {wxEVT_BUTTON, wxEVT_MENU}) {
        Bind(type, [this](wxCommandEvent&) { OnCloseCommand(); }, IDC_CLOSE);
        Bind(type, [this](wxCommandEvent&) { OnHelp(); }, IDC_HELP);
        Bind(type, [this](wxCommandEvent&) { OnOpenFile(); }, IDC_OPEN_FILE);
        Bind(type, [this](wxCommandEvent&) { OnSettings(); }, IDC_SETTINGS);
        Bind(type, [this](wxCommandEvent&) { OnEditFile(); }, IDC_EDIT_FILE);
        Bind(type, [this](wxCommandEvent&) { Iconize(true); }, IDC_MINIMIZE);
        Bind(type, [this](wxCommandEvent&) { OnRecord(); }, IDC_RECORD);
        Bind(type, [this](wxCommandEvent&) { OnPlay(); }, IDC_PLAY);
        Bind(type, [this](wxCommandEvent&) { OnStop(); }, IDC_STOP);
        Bind(type, [this](wxCommandEvent&) { OnNextFile(); }, IDC_NEXT_FILE);
        Bind(type, [this](wxCommandEvent&) { OnPrevFile(); }, IDC_PREV_FILE);
        Bind(type, [this](wxCommandEvent&) { OnModeButton(); }, IDC_MODE);
    }
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { RecordTimerTick(); }, IDT_RECORD);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { PlaybackTimerTick(); }, IDT_PLAYBACK);
    Bind(platform::EVT_WINDOW_MESSAGE, &CRecorderDlg::OnWindowMessage, this);
    // A dialog's own close (window manager, Alt+F4) takes the close command's path.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { OnCloseCommand(); });

    if (!ListCaptureDevices()) return false;
    LoadSettings();
    ChooseFirstFile();
    CheckSaveFolder();
    WriteEncoderDefaults();
    PrepareFirstRecording();
    InstallCopyDataReceiver();
    return true;
}

// 2: the context menu stands for the system menu; it ends with a separator and About.
void CRecorderDlg::AppendAboutToContextMenu() { m_strAboutText = platform::ResourceModule::LoadString(kAboutString); }

void CRecorderDlg::SetWindowIcons() {
    wxIconBundle icons = platform::ResourceModule::LoadIcon(103);
    if (!icons.IsEmpty()) SetIcons(icons);
}

// Audio capture devices through the sound server's device monitor, drives through the mount
// table; both post WM_DEVICECHANGE to this window. A failure is silent (no notifications then).
void CRecorderDlg::RegisterDeviceNotification() {
    m_DeviceWatcher.Start(target_.get());
    m_MountWatcher.Start(target_.get());
}

void CRecorderDlg::SetOptionsSheetTitle() { m_Options.SetTitle(LoadResourceString(kOptionsTitleString)); }

void CRecorderDlg::SetWindowStyles() { SetWindowStyleFlag(GetWindowStyleFlag() | wxMINIMIZE_BOX | wxMAXIMIZE_BOX); }

void CRecorderDlg::RegisterDropTarget() {
    m_pDrop = new COleDrop(target_.get());
    SetDropTarget(m_pDrop);  // the window owns it from here
}

void CRecorderDlg::ComputeDefaultSaveFolder() { m_FileFormat.m_strDefaultSaveFolder = app::DefaultSaveFolder(); }

void CRecorderDlg::FillProgramFolder() {
    m_strProgramFolder = platform::GetProgramFolder();
    m_FileFormat.m_strProgramFolder = m_strProgramFolder;
}

// The MP3 encoder is a GStreamer element found by the registry of plugins; nothing to register.
void CRecorderDlg::RegisterMp3Encoder() {}

// --- skin -------------------------------------------------------------------------------------

wxString CRecorderDlg::SkinFile(const char* file) const { return U(m_strSkinFolder + file); }
wxBitmap CRecorderDlg::Skin(const char* file) const { return LoadSkinBitmap(SkinFile(file)); }

template <class Button>
Button* CRecorderDlg::MakeButton(int id, const char* file, const wxRect& rect) {
    auto* b = new Button(this, id, rect);
    b->SetSkinBitmap(Skin(file));
    return b;
}

wxStaticBitmap* CRecorderDlg::MakePicture(int id, const wxRect& rect, const wxBitmap& bitmap) {
    auto* p = new wxStaticBitmap(this, id, bitmap.IsOk() ? bitmap : wxNullBitmap, rect.GetPosition(), rect.GetSize());
    p->SetMinSize(rect.GetSize());
    p->SetSize(rect);
    return p;
}

void CRecorderDlg::BuildSkinAndControls() {
    // 1: no caption is shown, but the title is what a second instance looks for.
    SetTitle("Murmelo");
    SetClientSize(kClientWidth, kClientHeight);
    const int W = kClientWidth, H = kClientHeight;

    // 3: the visualizer, announced to the engines.
    m_pVisualizer = new CAudioVisualizer(this, id::Visualizer, R(kVisualizerRect));
    SetVisualizerWindow(m_pVisualizer->GetWindowRef());

    // 4: rounded corners.
    {
        wxGraphicsPath path = wxGraphicsRenderer::GetDefaultRenderer()->CreatePath();
        path.AddRoundedRectangle(0, 0, W, H, kCornerEllipse / 2.0);
        // The template makes a plain borderless window; GTK shapes any realized window.
        SetWindowStyleFlag(GetWindowStyleFlag() | wxFRAME_SHAPED);
        SetShape(path);
    }

    // 5: background.
    m_strSkinFolder = m_strProgramFolder + "/res";
    m_bmpBackground = Skin("/skin_bg.bmp");
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CRecorderDlg::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CRecorderDlg::OnMouseDown, this);
    Bind(wxEVT_MOTION, &CRecorderDlg::OnMouseMove, this);
    Bind(wxEVT_LEFT_UP, &CRecorderDlg::OnMouseUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) { m_bDragging = false; });

    // 6: the run-time controls.
    for (const ButtonPlacement& p : SkinButtons(W, H)) {
        const wxRect rect(p.rect.left, p.rect.top, p.rect.width(), p.rect.height());
        CHoverButton* b = nullptr;
        if (p.frames == 3) {
            auto* b3 = MakeButton<CHover3Button>(p.id, p.file, rect);
            b = b3;
            switch (p.id) {
                case id::Help: m_pHelp = b3; break;
                case id::Minimize: m_pMinimize = b3; break;
                case id::Close: m_pClose = b3; break;
                case id::OpenFile: m_pOpen = b3; break;
                case id::Settings: m_pSettings = b3; break;
                case id::EditFile: m_pEdit = b3; break;
            }
        } else {
            auto* b4 = MakeButton<CHover4Button>(p.id, p.file, rect);
            b = b4;
            switch (p.id) {
                case id::Play: m_pPlay = b4; break;
                case id::Stop: m_pStop = b4; break;
                case id::Previous: m_pPrev = b4; break;
                case id::Next: m_pNext = b4; break;
                case id::Record: m_pRecord = b4; break;
            }
        }
        const std::string tip = p.fromMessageTable ? GetLocalizedMessage(p.tooltip) : LoadResourceString(p.tooltip);
        b->SetTooltipText(U(tip), true);
        if (p.hidden) b->Hide();
    }
    m_bmpPlay = Skin("/Play_en.png");
    m_bmpRecord = Skin("/Record_en.png");

    m_bmpSoundNormal = Skin("/sound_normal.bmp");
    m_pSpeaker = MakePicture(IDC_SPEAKER, R(SpeakerRect(H)), m_bmpSoundNormal);
    m_pSpeaker->SetToolTip(U(GetLocalizedMessage(1008)));
    m_pSpeaker->Bind(wxEVT_LEFT_UP, [this](wxMouseEvent&) {
        if (m_pSpeaker->IsEnabled()) OnMute();
    });
    m_bmpSoundMute = Skin("/sound_mute.bmp");
    m_bmpPause = Skin("/Pause_en.png");
    m_bmpPausePlay = Skin("/PausePlay_en.png");

    m_abmpDigits[0] = Skin("/zero.png");
    const wxBitmap colon = Skin("/colon.png");
    for (std::size_t i = 0; i < TimeCells().size(); ++i) {
        const CellPlacement& c = TimeCells()[i];
        m_apCells[i] = MakePicture(c.id, wxRect(c.left, kCellTop, c.right - c.left, kCellBottom - kCellTop),
                                   c.separator ? colon : m_abmpDigits[0]);
    }
    m_bmpWmaDisabled = Skin("/WMA_disabled.png");
    m_pFormat = MakePicture(id::FormatIndicator, R(kFormatIndicatorRect), m_bmpWmaDisabled);
    m_pMode = MakeButton<CHover3Button>(IDC_MODE, "/SP.png", R(kModeButtonRect));
    m_bmpVR = Skin("/VR.png");
    m_bmpDA = Skin("/DA.png");
    m_bmpSP = Skin("/SP.png");
    m_bmpWavEnabled = Skin("/WAV_enabled.png");
    m_bmpWmaEnabled = Skin("/WMA_enabled.png");
    m_pRecIndicator = MakePicture(id::RecordingIndicator, R(kRecordingIndicatorRect), wxNullBitmap);
    m_bmpRec = Skin("/Rec.png");
    for (int d = 1; d <= 9; ++d) m_abmpDigits[static_cast<std::size_t>(d)] = Skin(DigitFiles()[static_cast<std::size_t>(d)]);
    m_pFileInfo = new CScrollText(this, id::FileInfoLine, R(kFileInfoRect));
    m_pTitle = new CScrollText(this, id::TitleLine, R(kTitleRect));

    // Template controls taken over.
    m_pDeviceListBox = dynamic_cast<wxListBox*>(FindWindow(id::DeviceList));
    m_pInputListBox = dynamic_cast<wxListBox*>(FindWindow(id::InputList));
    m_pStatus = dynamic_cast<wxStaticText*>(FindWindow(id::StatusStatic));
    m_pProgress = new CSkinSlider();
    m_pVolume = new CSkinSlider();
    m_pInfoLine = new CScrollText();
    if (wxWindow* t = FindWindow(id::ProgressBar)) m_pProgress->TakeOver(t);
    else m_pProgress->Create(this, id::ProgressBar, wxRect(21, 144, 233, 20));
    if (wxWindow* t = FindWindow(id::VolumeBar)) m_pVolume->TakeOver(t);
    else m_pVolume->Create(this, id::VolumeBar, wxRect(200, 214, 51, 20));
    if (wxWindow* t = FindWindow(id::InfoLine)) m_pInfoLine->TakeOver(t);
    else m_pInfoLine->Create(this, id::InfoLine, wxRect(25, 76, 145, 16));
    m_pProgress->SetNotifyTarget(target_.get());
    m_pVolume->SetNotifyTarget(target_.get());

    // 7: progress bar.
    m_pProgress->SetChannelImages(SkinFile("/ProgressBar.png"), SkinFile("/ProgressBarActive.png"),
                                  false, controls::KEY_FROM_PIXEL, 0, 0);
    m_pProgress->SetThumbImages(SkinFile("/norma_bar.png"), SkinFile("/over_bar.png"), true,
                                controls::KEY_FROM_PIXEL, 0, 0);
    m_pProgress->ShowFocusFrame(false, false);
    m_pProgress->SetRange(0, 100, false);
    m_pProgress->SetPos(0);
    m_pProgress->SetMargins(1, 1, 2, 2);
    m_pProgress->SetToolTip(U(LoadResourceString(1203)));

    // 8: volume bar, 10 pixels to the left of its template place.
    m_pVolume->Move(m_pVolume->GetPosition().x - 10, m_pVolume->GetPosition().y);
    m_pVolume->SetChannelImages(SkinFile("/VolumeBar.png"), SkinFile("/VolumeBarActive.png"),
                                false, controls::KEY_FROM_PIXEL, 0, 0);
    m_pVolume->SetThumbImages(SkinFile("/VolumeNormal_Thumb.png"),
                              SkinFile("/VolumeNormal_Thumb.png"), true, controls::KEY_FROM_PIXEL, 0, 0);
    m_pVolume->ShowFocusFrame(false, false);
    m_pVolume->SetMargins(2, 0, 2, 2);

    // 9: fonts (pixel heights; the faces are substituted by fontconfig).
    m_FontA = wxFont(wxFontInfo(wxSize(5, 12)).FaceName("Tahoma").Bold());
    m_FontB = wxFont(wxFontInfo(wxSize(5, 10)).FaceName("Verdana"));
    m_FontC = wxFont(wxFontInfo(wxSize(6, 13)).FaceName("Tahoma"));
    m_FontD = wxFont(wxFontInfo(wxSize(5, 12)).FaceName("Tahoma"));

    // 10: the text lines.
    m_pFileInfo->SetTextTop(0);
    m_pFileInfo->SetFont(m_FontA);
    m_pFileInfo->SetBackColor(RGB(198, 198, 255));
    m_pFileInfo->StartScroll("   ", RGB(0, 0, 0), 1);
    m_pFileInfo->StopScroll();
    if (m_pStatus) {
        m_pStatus->SetFont(m_FontD);
        m_pStatus->SetBackgroundColour(wxColour(203, 203, 255));
        m_pStatus->SetForegroundColour(*wxBLACK);
        m_pStatus->Refresh();
    }
    m_pInfoLine->SetTextTop(3);
    m_pInfoLine->SetFont(m_FontB);
    m_pInfoLine->SetBackColor(RGB(125, 140, 195));
    m_pInfoLine->StartScroll("   ", RGB(255, 255, 255), 1);
    m_pInfoLine->StopScroll();
    m_pTitle->SetTextTop(0);
    m_pTitle->SetFont(m_FontC);
    m_pTitle->SetBackColor(RGB(197, 186, 255));
    m_pTitle->StartScroll("   ", RGB(0, 0, 0), 1);
}

void CRecorderDlg::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(*wxBLACK_BRUSH);
    dc.Clear();
    if (m_bmpBackground.IsOk()) dc.DrawBitmap(m_bmpBackground, 0, 0, false);
}

// Dragging by the window's own client area moves the window; children keep their clicks.
void CRecorderDlg::OnMouseDown(wxMouseEvent& e) {
    m_dragOffset = e.GetPosition();
    m_bDragging = true;
    if (!HasCapture()) CaptureMouse();
    e.Skip();
}

void CRecorderDlg::OnMouseMove(wxMouseEvent& e) {
    if (m_bDragging && e.LeftIsDown() && !e.MiddleIsDown() && !e.RightIsDown() && !e.HasAnyModifiers()) {
        Move(ClientToScreen(e.GetPosition()) - m_dragOffset - (GetClientAreaOrigin()));
    }
    e.Skip();
}

void CRecorderDlg::OnMouseUp(wxMouseEvent& e) {
    m_bDragging = false;
    if (HasCapture()) ReleaseMouse();
    e.Skip();
}

void CRecorderDlg::GiveGeneralPageWindow() { m_FileFormat.m_hMainWnd = target_.get(); }

void CRecorderDlg::DecideMicConfiguration() {
    MicConfigurationChoice c = ::DecideMicConfiguration(TheMicArrayDriver(), platform::IsTabletPc());
    m_FileFormat.m_nMicConfiguration = c.micConfiguration;
    m_bDriverAbsent = c.driverAbsent;
    m_bNoSpeakerPhone = c.noSpeakerPhone;
    m_FileSetUp.m_bNoSpeakerPhone = c.noSpeakerPhone;
    if (c.driverAbsent) m_FileSetUp.m_nSpecialMode = kModeNoDriver;
    if (m_bDriverAbsent && m_pMode) {
        m_pMode->Enable(false);
        m_pMode->SetSkinBitmap(m_bmpSP);
    }
}

void CRecorderDlg::ShowSpecialRecordingMode() {
    if (!m_bDriverAbsent) ShowSpecialMode(false);
}

// --- capture source ---------------------------------------------------------------------------

HRESULT CRecorderDlg::ListDevices() {
    ClearDeviceList(m_DeviceList);  // else every listing adds the devices once more
    const HRESULT hr = EnumerateDevices(m_DeviceWatcher.Monitor(), CLSID_AudioInputDeviceCategory, m_DeviceList);
    ShowEntries(m_pDeviceListBox, m_DeviceList);
    return hr;
}

int CRecorderDlg::RefreshCaptureDevices() {
    const HRESULT hr = ListDevices();
    if (hr == 1) return 1;
    m_FileFormat.m_astrDeviceNames.clear();
    for (int i = 0; i < m_DeviceList.GetCount(); ++i) m_FileFormat.m_astrDeviceNames.push_back(m_DeviceList.GetText(i));
    m_FileFormat.LoadInputChoice();
    ResetCaptureSource();
    return hr;
}

void CRecorderDlg::SelectCaptureDevice() {
    CCaptureGraph& g = m_FileFormat.m_CaptureGraph;
    if (FAILED(g.SelectCaptureDevice(m_DeviceList, m_FileFormat.m_nChosenDevice, m_InputList))) return;
    const auto& devices = m_FileFormat.m_astrDeviceNames;
    const auto chosen = static_cast<std::size_t>(m_FileFormat.m_nChosenDevice);
    m_FileFormat.m_strCurrentDevice = chosen < devices.size() ? devices[chosen] : std::string();
    m_FileFormat.m_astrInputNames = {};
    const int n = m_InputList.GetCount();
    for (int i = 0; i < n && i < static_cast<int>(kMaxInputNames); ++i)
        m_FileFormat.m_astrInputNames[static_cast<std::size_t>(i)] = m_InputList.GetText(i);
    m_FileFormat.m_nInputCount = n;
    ShowEntries(m_pInputListBox, m_InputList);
}

void CRecorderDlg::SelectCaptureInput() {
    const int i = m_FileFormat.m_nChosenInput;
    if (i < 0 || i >= static_cast<int>(kMaxInputNames)) return;
    // The chosen input is also the mixer line the recording level goes to.
    m_FileFormat.m_strCurrentInput = m_FileFormat.m_astrInputNames[static_cast<std::size_t>(i)];
    m_FileFormat.m_CaptureGraph.SelectCaptureInput(m_FileFormat.m_strCurrentInput);
}

void CRecorderDlg::ResetCaptureSource() {
    SelectCaptureDevice();
    m_FileFormat.m_CaptureGraph.StopAndRemoveWriters();
    SelectCaptureInput();
}

bool CRecorderDlg::ListCaptureDevices() {
    if (RefreshCaptureDevices() == 1) {
        platform::MessageBox(target_.get(), "No Sound Card driver found.", {}, platform::MB_OK);
        OnStop();
        ReleaseCaptureDevices();
        OnDestroyWindow();
        return false;
    }
    return true;
}

void CRecorderDlg::LoadSettings() {
    app::StartupSettings s = app::LoadStartupSettings();
    CCaptureGraph& g = m_FileFormat.m_CaptureGraph;
    ReadRecordingSources(m_FileFormat.m_InputLines, static_cast<std::size_t>(std::max(0, m_FileFormat.m_nInputCount)));
    if (s.selectDefaultMicrophone()) {
        std::vector<std::string> names(m_FileFormat.m_astrInputNames.begin(),
                                       m_FileFormat.m_astrInputNames.begin() + std::min<int>(m_FileFormat.m_nInputCount, kMaxInputNames));
        SelectDefaultMicrophone(m_FileFormat.m_InputLines, names, m_FileFormat.m_nChosenInput);
        app::StoreDefaultMicChoice(m_FileFormat.m_nChosenInput, m_FileFormat.m_strCurrentDevice);
        SelectCaptureInput();
    }
    // Volume bar and mute.
    m_nPlayVolume = s.playVolume.value_or(0);
    m_pVolume->SetRange(-2000, 0, false);
    m_pVolume->SetPos(m_nPlayVolume);
    UpdateVolumeTooltip();
    m_bMuted = s.muted.value_or(false);
    ShowSpeaker();
    ApplyVolume();

    SetState(StateIdle);
    if (s.vizState) SetVisualizerType(*s.vizState);

    if (s.format) {
        g.m_bWav = *s.format == app::StoredFormat::Wav;
        g.m_bWma = *s.format == app::StoredFormat::Wma;
        g.m_bMp3 = *s.format == app::StoredFormat::Mp3;
    } else if (!g.m_bWav && !g.m_bWma && !g.m_bMp3) {
        g.m_bWav = 1;
    }
    if (s.wavFrequency) g.m_nFreqCode = *s.wavFrequency;
    if (s.wavBit) g.m_nBitCode = *s.wavBit;
    if (s.wavMode) g.m_nChannelCode = *s.wavMode;
    if (s.wmaProfile) g.m_nWmaProfile = *s.wmaProfile;
    if (s.mp3Profile) g.m_nMp3Profile = *s.mp3Profile;
    if (s.mp3Mode) m_FileFormat.m_nMp3Mode = *s.mp3Mode;
    m_FileFormat.WriteLameProfile();
    if (s.manual) m_FileFormat.m_bManual = *s.manual;
    if (s.recordVolume) {
        m_FileFormat.m_nRecordVolume = *s.recordVolume;
        SetRecordingLevel(m_FileFormat.m_strCurrentInput,
                          LookupSourceType(m_FileFormat.m_InputLines, m_FileFormat.m_strCurrentInput),
                          MixerLevelFromPercent(*s.recordVolume));
    }
    if (s.limitApplies) SetLengthLimit(*s.limitApplies, s.limitHour, s.limitMinute);

    switch (s.placement()) {
        case app::StartupSettings::Placement::Centred: CentreOnScreen(); break;
        case app::StartupSettings::Placement::Stored:
            if (s.xPos && s.yPos) Move(*s.xPos, *s.yPos);
            break;
        default: break;
    }
    m_LastFileCandidate = s.lastFile;
}

void CRecorderDlg::SetLengthLimit(bool on, int hours, int minutes) {
    // The Advanced page holds the limit; the window keeps it in seconds for its timer.
    m_FileSetUp.m_bLimitOn = on;
    m_FileSetUp.m_nHours = hours;
    m_FileSetUp.m_nMinutes = minutes;
    m_bLimitOn = on;
    m_nLimitSeconds = LimitSeconds(hours, minutes);
}

void CRecorderDlg::ChooseFirstFile() {
    FirstFile first = mainwnd::ChooseFirstFile(m_astrArguments, m_LastFileCandidate);
    if (first.kind == FirstFile::None) {
        SetState(StateIdle);
        return;
    }
    if (OpenForPlayback(first.path) != 0) {
        SetState(StateIdle);
        return;
    }
    SetCurrentFile(first.path);
    SetState(StateFileReady);
    if (first.kind == FirstFile::CommandLine) {
        OnPlay();
    } else {
        m_pTitle->StopScroll();
        m_PlayerGraph.ReleaseGraph();
    }
}

void CRecorderDlg::CheckSaveFolder() {
    app::SaveFolderCheck c = app::CheckSaveFolder(m_strProgramFolder);
    m_FileFormat.m_strSaveFolder = c.saveFolder;
    m_FileFormat.m_strDriveRoot = c.driveRoot;
}

void CRecorderDlg::WriteEncoderDefaults() { WriteLameDefaults(); }

void CRecorderDlg::PrepareFirstRecording() { PrepareNextRecording(); }

void CRecorderDlg::InstallCopyDataReceiver() {
    platform::DesktopMessageHandlers handlers;
    handlers.onCopyData = [this](std::uintptr_t, const std::vector<std::uint8_t>& data) {
        const std::string line = app::DecodeHandOverRecord(data);
        app::LogReceivedCommandLine(line);
        OnCopyDataCommandLine(line);
    };
    handlers.onRegisteredMessage = [this](std::uint32_t message, std::uintptr_t, std::intptr_t) {
        if (message != AeFiltersMessage() || m_bDriverAbsent) return;
        m_FileSetUp.m_nDriverMode = TheMicArrayDriver().GetSpecialRecordingMode();
        ShowSpecialMode(false);
        if (m_FileSetUp.m_bPageOpen) m_FileSetUp.SyncSpecialRecordingRadios();
    };
    platform::InstallDesktopMessageReceiver(this, std::move(handlers));
}

bool CRecorderDlg::OnCopyDataCommandLine(const std::string& commandLine) {
    if (m_FileFormat.m_CaptureGraph.m_nState != kEngineStopped) return false;
    m_bReloadBeforePlay = false;
    OnStop();
    if (OpenForPlayback(commandLine) == 0) {
        SetCurrentFile(commandLine);
        OnPlay();
    } else {
        SetState(StateIdle);
    }
    return true;
}

// --- destruction ------------------------------------------------------------------------------

void CRecorderDlg::OnDestroyWindow() {
    if (!created_ || destroyed_) return;
    destroyed_ = true;
    platform::RemoveDesktopMessageReceiver(this);
    CloseOpenedWindows();
    SaveSettings();
    StopEverything();
    ReleaseCaptureDevices();
    FreeSampleBuffer();
    EmptyFileList();
    DeleteKeptImages();
    UnregisterDeviceNotification();
    // The path block goes with the program that made it (a POSIX block would outlive us).
    if (m_FileMapping) {
        m_FileMapping.Close();
        platform::SharedMemoryBlock::Remove();
    }
    m_RecordTimer.Stop();
    m_PlaybackTimer.Stop();
    target_.Reset();
}

void CRecorderDlg::CloseOpenedWindows() {
    for (const char* title : {"Quarnet Murmelo", "Recording Control", "Volume Control", "Master Volume"}) {
        if (auto w = platform::FindTopLevelWindow(title)) platform::PostCloseRequest(w);
    }
}

void CRecorderDlg::SaveSettings() {
    app::CloseTimeSettings values;
    values.lastFile = m_bRecordingKept ? m_strLastRecordedPath : m_PlayerGraph.m_strFile;
    values.playVolume = m_pVolume ? m_pVolume->GetPos() : m_nPlayVolume;
    values.muted = m_bMuted;
    const wxPoint at = GetPosition();
    values.xPos = at.x;
    values.yPos = at.y;
    app::SaveCloseTimeSettings(values);
}

void CRecorderDlg::SaveSettingsForLostDisplay() {
    if (!created_ || destroyed_) return;
    destroyed_ = true;
    SaveSettings();
}

void CRecorderDlg::StopEverything() { OnStop(); }

void CRecorderDlg::ReleaseCaptureDevices() {
    ClearDeviceList(m_DeviceList);
    m_InputList.ResetContent();
    if (m_pInputListBox) m_pInputListBox->Clear();
}

void CRecorderDlg::FreeSampleBuffer() { TheSampleBuffer().Free(); }
void CRecorderDlg::EmptyFileList() { TheFileList().Clear(); }
void CRecorderDlg::DeleteKeptImages() {
    for (auto& b : m_abmpDigits) b = wxNullBitmap;
    m_bmpRecord = m_bmpPause = m_bmpPlay = m_bmpPausePlay = wxNullBitmap;
    m_bmpVR = m_bmpDA = m_bmpSP = m_bmpWavEnabled = m_bmpWmaDisabled = m_bmpWmaEnabled = wxNullBitmap;
}
void CRecorderDlg::UnregisterDeviceNotification() {
    m_DeviceWatcher.Stop();
    m_MountWatcher.Stop();
}

// --- transport --------------------------------------------------------------------------------

mainwnd::RecordFormat CRecorderDlg::Format() const {
    const CCaptureGraph& g = m_FileFormat.m_CaptureGraph;
    if (g.m_bWav) return RecordFormat::Wav;
    if (g.m_bMp3) return RecordFormat::Mp3;
    if (g.m_bWma) return RecordFormat::Wma;
    return RecordFormat::Wav;
}

wxWindow* CRecorderDlg::Control(int id) const {
    switch (id) {
        case id::ProgressBar: return m_pProgress;
        case id::VolumeBar: return m_pVolume;
        case IDC_SPEAKER: return m_pSpeaker;
        case IDC_MODE: return m_pMode;
        default: return FindWindow(id);
    }
}

void CRecorderDlg::SetButtonStates(int state) {
    const ButtonStates b = ButtonStatesFor(state);
    Apply(m_pOpen, b.open);
    Apply(m_pSettings, b.settings);
    Apply(m_pRecord, b.record);
    Apply(m_pPrev, b.previous);
    Apply(m_pPlay, b.play);
    Apply(m_pStop, b.stop);
    Apply(m_pNext, b.next);
    Apply(m_pProgress, b.progress);
    Apply(m_pVolume, b.volume);
    Apply(m_pSpeaker, b.speaker);
    if (b.blankTexts) SetTexts(" ", " ", " ");
}

void CRecorderDlg::SetState(int state) {
    m_nState = state;
    SetButtonStates(state);
}

void CRecorderDlg::SetTexts(const std::string& title, const std::string& info, const std::string& fileInfo) {
    if (m_pTitle) m_pTitle->SetText(U(title));
    if (m_pInfoLine) m_pInfoLine->SetText(U(info));
    if (m_pFileInfo) m_pFileInfo->SetText(U(fileInfo));
}

std::string CRecorderDlg::InfoLineText() const { return m_pInfoLine ? S(m_pInfoLine->GetText()) : ""; }
std::string CRecorderDlg::TitleLineText() const { return m_pTitle ? S(m_pTitle->GetText()) : ""; }
std::string CRecorderDlg::FileInfoText() const { return m_pFileInfo ? S(m_pFileInfo->GetText()) : ""; }

void CRecorderDlg::SetRecordImage(bool pause) {
    m_pRecord->SetSkinBitmap(pause ? m_bmpPause : m_bmpRecord);
    m_pRecord->SetTooltipText(U(LoadResourceString(pause ? 1223 : 1209)), true);
    m_pRecord->Refresh();
}

void CRecorderDlg::SetPlayImage(bool pause) {
    m_pPlay->SetSkinBitmap(pause ? m_bmpPausePlay : m_bmpPlay);
    m_pPlay->SetTooltipText(U(LoadResourceString(pause ? 1215 : 1207)), true);
    m_pPlay->Refresh();
}

void CRecorderDlg::ShowRecordingIndicator(bool show) {
    m_pRecIndicator->SetBitmap(show ? m_bmpRec : wxNullBitmap);
    m_pRecIndicator->Show(show);
}

void CRecorderDlg::SendVisualizer(std::uintptr_t command) {
    if (m_pVisualizer) platform::SendWindowMessage(m_pVisualizer->GetWindowRef(), platform::WM_NULL, command, 0);
}

void CRecorderDlg::OnRecord() {
    CCaptureGraph& g = m_FileFormat.m_CaptureGraph;
    m_pProgress->Hide();
    m_pFileInfo->Hide();
    m_pEdit->Enable(false);
    if (!m_bRecordPaused) SendVisualizer(VIS_CMD_HALT);

    RecordInputs in;
    in.limitOn = m_bLimitOn;
    in.limitSeconds = m_nLimitSeconds;
    in.freeMB = m_FileFormat.GetSaveDriveFreeMB();
    in.engineState = g.m_nState;
    in.recordPaused = m_bRecordPaused;
    switch (DecideRecord(in)) {
        case RecordAction::RefuseLimitZero:
            m_RecordTimer.Stop();
            SetLengthLimit(m_bLimitOn, 0, 0);
            m_bRecordPaused = false;
            SetState(StateRecorded);
            ShowRecordingIndicator(false);
            SetRecordImage(false);
            platform::MessageBox(target_.get(), LoadResourceString(1236), LoadResourceString(1237), platform::MB_ICONWARNING);
            return;
        case RecordAction::RefuseDiskSpace:
            platform::MessageBox(target_.get(), LoadResourceString(1238), LoadResourceString(1237), platform::MB_ICONWARNING);
            return;
        case RecordAction::Pause:
            g.Pause();
            m_bRecordPaused = true;
            UpdateInfoLine();
            SetRecordImage(false);
            return;
        case RecordAction::Resume:
        case RecordAction::FreshStart:
            break;
    }
    // Prepare the window for recording.
    m_pInfoLine->SetText(" ");
    m_pFileInfo->SetText(" ");
    {
        std::error_code ec;
        std::filesystem::create_directory(m_FileFormat.m_strSaveFolder, ec);
    }
    m_PlayerGraph.ReleaseGraph();
    SetRecordImage(true);
    Refresh();
    ShowRecordingIndicator(true);

    if (m_bRecordPaused) {
        g.Recording();
        UpdateInfoLine();
        m_bRecordPaused = false;
        return;
    }
    ClearTimeDisplay();
    ComposeRecordingPath();
    const HRESULT set = g.SetOutputFile();
    if (set == S_OK && !g.m_pMC) return;
    const HRESULT run = set == S_OK ? g.Recording() : E_FAIL;
    if (set == S_OK && SUCCEEDED(run)) {
        m_pTitle->StartScroll(m_pTitle->GetText(), RGB(0, 0, 0), 2);
        SetState(StateRecording);
        m_RecordTimer.Start(kTimerPeriodMs);
        m_nRecordedSize = 0;
        UpdateInfoLine();
        m_pOpen->Enable(false);
        m_pPlay->Enable(false);
        return;
    }
    // The failed start leaves nothing recording: the record button and indicator say so at once.
    SetRecordImage(false);
    ShowRecordingIndicator(false);
    SetState(StateIdle);
}

void CRecorderDlg::OnPlay() {
    m_pEdit->Enable(false);
    switch (DecidePlay(m_PlayerGraph.m_nState, m_bReloadBeforePlay)) {
        case PlayAction::Pause:
            SendVisualizer(VIS_CMD_HALT);
            m_PlayerGraph.Pause();
            SetPlayImage(false);
            return;
        case PlayAction::ReloadAndRun:
            if (OpenForPlayback(m_PlayerGraph.m_strFile) != 0) return;
            SetCurrentFile(m_PlayerGraph.m_strFile);
            m_bReloadBeforePlay = false;
            break;
        case PlayAction::ReopenAndRun: {
            const std::string file = m_PlayerGraph.m_strFile;
            m_PlayerGraph.ReleaseGraph();
            if (OpenForPlayback(file) != 0) {
                SetState(StateFileReady);
                UpdateInfoLine();
                return;
            }
            SetCurrentFile(file);
            break;
        }
        case PlayAction::Resume:
            break;
    }
    if (SUCCEEDED(m_PlayerGraph.Run())) {
        m_pTitle->StartScroll(m_pTitle->GetText(), RGB(0, 0, 0), 2);
        m_PlaybackTimer.Start(kTimerPeriodMs);
    }
    UpdateInfoLine();
    SetPlayImage(true);
    SetState(StatePlaying);
}

void CRecorderDlg::OnStop() {
    if (!m_pProgress) return;  // the skin was never built
    CCaptureGraph& g = m_FileFormat.m_CaptureGraph;
    m_pProgress->Show();
    m_pFileInfo->Show();
    m_pEdit->Enable(true);

    switch (DecideStop(m_PlayerGraph.m_nState, g.m_nState)) {
        case StopAction::StopPlayback: StopPlayback(); return;
        case StopAction::FinishRecording: StopRecording(); break;
        case StopAction::ResetDisplays: break;
    }
    ShowRecordingEnded();
    TheSampleBuffer().SetSampleTime(0.0);
}

void CRecorderDlg::ShowRecordingEnded() {
    m_pVisualizer->Refresh();
    ShowRecordingIndicator(false);
    SetRecordImage(false);
}

void CRecorderDlg::StopPlayback() {
    m_strEditorFile = m_PlayerGraph.m_strFile;
    m_pTitle->StopScroll();
    m_PlaybackTimer.Stop();
    m_PlayerGraph.Stop();
    m_pProgress->SetPos(0);
    ShowPlayTime();
    SetPlayImage(false);
    SetState(StateFileReady);
    m_PlayerGraph.ReleaseGraph();
    if (m_bDeferredReset) {
        ResetCaptureSource();
        PrepareNextRecording();
        m_bDeferredReset = false;
    }
}

void CRecorderDlg::StopRecording() {
    CCaptureGraph& g = m_FileFormat.m_CaptureGraph;
    ShowRecordingEnded();  // at once: the manual naming's dialog may show before the end

    g.Pause();
    m_bRecordPaused = false;
    m_pTitle->StopScroll();
    m_strOpenDialogFolder = m_FileFormat.m_strSaveFolder;
    m_bRecordingKept = true;
    m_RecordTimer.Stop();
    g.Stop();

    double seconds = 0;
    int type = kFileTypeUnplayable;
    m_PlayerGraph.GetFileInfo(g.m_strFileName, &seconds, &type);
    m_nRecordedSize = GetFileSize32(g.m_strFileName);

    if (m_nRecordedSize == 0) {
        SetState(StateIdle);
        g.RemoveWriters();
        RefreshCaptureDevices();
        PrepareNextRecording();
        TheSampleBuffer().SetSampleTime(0.0);
        ShowRecordTime(0);
    } else {
        ShowRecordTime(seconds > 0 ? static_cast<unsigned>(seconds) : 0);
        UpdateInfoLine();
        m_nState = StateRecorded;
        if (m_FileFormat.m_bManual) {
            FinishRecordedFile();
        } else {
            SetCurrentFile(g.m_strFileName);
            m_strEditorFile = g.m_strFileName;
        }
        if (!m_bRecordingKept) {
            m_pTitle->SetText("");
            g.m_strFileName.clear();
        }
        m_strLastRecordedPath = g.m_strFileName;
        g.RemoveWriters();
        RefreshCaptureDevices();
        m_PlayerGraph.m_strFile = m_strLastRecordedPath;
        PrepareNextRecording();
        SetButtonStates(m_nState);
        m_bReloadBeforePlay = true;
    }
}

void CRecorderDlg::RecordTimerTick() {
    if (m_bRecordPaused) return;
    CCaptureGraph& g = m_FileFormat.m_CaptureGraph;
    m_pStop->Enable(true);
    const RecordFormat format = Format();
    const double elapsed = TheSampleBuffer().SampleTime();
    LONGLONG position = 0;
    if (format == RecordFormat::Wma) g.GetCurrentPosition(&position);

    if (m_bLimitOn && LengthLimitReached(format, m_nLimitSeconds, elapsed, position)) {
        m_RecordTimer.Stop();
        OnStop();
    } else {
        ShowRecordTime(RecordTickSeconds(format, elapsed, position));
        if (format == RecordFormat::Wma && m_nRecordedMinutes >= WmaLengthGuardMinutes(g.m_nWmaProfile)) {
            OnStop();
            platform::MessageBox(target_.get(), LoadResourceString(1224));
        }
        if (IsCheckTick(++m_nCheckCounter)) {
            m_nCheckCounter = 0;
            if (g.m_nState != kEngineStopped && m_FileFormat.GetSaveDriveFreeMB() < kMinFreeMBWhileRecording) {
                OnStop();
                ShowSystemError(112);
            }
            if (g.m_nState != kEngineStopped) {
                m_nRecordedSize = GetFileSize32(g.m_strFileName);
                if (RecordedSizeExceeded(m_nRecordedSize)) {
                    OnStop();
                    platform::MessageBox(target_.get(), LoadResourceString(1224));
                }
            }
            if (g.m_nState != kEngineStopped) UpdateInfoLine();
        }
    }
}

void CRecorderDlg::PlaybackTimerTick() {
    UpdateProgressBar();
    ShowPlayTime();
}

void CRecorderDlg::OnWindowMessage(platform::WindowMessageEvent& e) {
    switch (e.msg) {
        case controls::WM_SLIDER_MOVING: OnSliderMoving(static_cast<int>(e.wParam), static_cast<int>(e.lParam)); break;
        case controls::WM_SLIDER_MOVED: OnSliderMoved(static_cast<int>(e.wParam)); break;
        case WM_GRAPHNOTIFY: OnGraphNotify(e.lParam); break;
        case WM_PLAY_DROPPED_FILE: OnPlayDroppedFile(); break;
        case options::WM_INPUT_DEVICE_CHANGED: SelectCaptureDevice(); e.result = 0; break;
        case options::WM_OPTIONS_APPLIED: OnOptionsApplied(); break;
        case platform::WM_DEVICECHANGE: OnDeviceChange(e.wParam, e.lParam); break;
        default: e.Skip(); break;
    }
}

void CRecorderDlg::OnSliderMoving(int id, int pos) {
    if (id == id::ProgressBar) {
        if (m_bSeekStart) {
            m_nStateBeforeSeek = m_PlayerGraph.m_nState;
            m_bSeekStart = false;
        }
        if (m_PlayerGraph.m_nState == kEngineRunning) m_PlayerGraph.Pause();
        LONGLONG target = SeekTarget(m_llDuration, pos);
        m_PlayerGraph.SetCurrentPosition(&target);
    } else if (id == id::VolumeBar) {
        m_bMuted = false;
        ShowSpeaker();
        m_nPlayVolume = pos;
        UpdateVolumeTooltip();
        ApplyVolume();
    }
}

void CRecorderDlg::OnSliderMoved(int id) {
    if (id != id::ProgressBar) return;
    switch (SeekEnd(m_nStateBeforeSeek)) {
        case SeekEndAction::Stop: m_PlayerGraph.Stop(); break;
        case SeekEndAction::Run: m_PlayerGraph.Run(); break;
        case SeekEndAction::StayPaused: break;
    }
    m_bSeekStart = true;
}

void CRecorderDlg::OnGraphNotify(std::intptr_t instance) {
    if (instance == 0) return;
    long code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    while (m_PlayerGraph.GetEvent(&code, &p1, &p2, 0) == S_OK) {
        m_PlayerGraph.FreeEventParams(code, p1, p2);
        if (code == EC_COMPLETE) {
            OnStop();
            break;
        }
    }
}

void CRecorderDlg::OnPlayDroppedFile() {
    if (m_FileFormat.m_CaptureGraph.m_nState != kEngineStopped || !m_pDrop) return;
    OnStop();
    const std::string path = m_pDrop->DroppedPath();
    if (OpenForPlayback(path) == 0) {
        SetCurrentFile(path);
        m_bReloadBeforePlay = false;
        OnPlay();
    } else {
        SetState(StateIdle);
    }
}

void CRecorderDlg::OnOptionsApplied() {
    ResetCaptureSource();
    m_FileFormat.m_nRecordVolume *= 650;
    SetRecordingLevel(m_FileFormat.m_strCurrentInput,
                      LookupSourceType(m_FileFormat.m_InputLines, m_FileFormat.m_strCurrentInput),
                      static_cast<std::uint32_t>(std::max(0, m_FileFormat.m_nRecordVolume)));
}

void CRecorderDlg::OnMute() {
    m_bMuted = !m_bMuted;
    ShowSpeaker();
    ApplyVolume();
}

void CRecorderDlg::ShowSpeaker() {
    m_pSpeaker->SetBitmap(m_bMuted ? m_bmpSoundMute : m_bmpSoundNormal);
    m_pSpeaker->SetToolTip(U(GetLocalizedMessage(m_bMuted ? 1007 : 1008)));
}

void CRecorderDlg::OnModeButton() { ShowSpecialMode(true); }

// --- status display ---------------------------------------------------------------------------

void CRecorderDlg::ShowDigits(const std::array<int, 6>& digits) {
    m_anShownDigits = digits;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        wxStaticBitmap* cell = m_apCells[static_cast<std::size_t>(kDigitCells[i])];
        const int d = digits[i];
        cell->SetBitmap(d >= 0 && d <= 9 ? m_abmpDigits[static_cast<std::size_t>(d)] : wxNullBitmap);
        cell->Refresh();
    }
}

void CRecorderDlg::ShowRecordTime(unsigned seconds) {
    m_nRecordedMinutes = seconds / 60;
    ShowDigits(mainwnd::ReadoutDigits(seconds));
}

void CRecorderDlg::ShowPlayTime() {
    LONGLONG position = 0;
    if (FAILED(m_PlayerGraph.GetCurrentPosition(&position)) || position < 0) return;
    if (auto text = PlayTimeText(position, m_strDurationText)) m_pFileInfo->SetText(U(*text));
    ShowDigits(mainwnd::ReadoutDigits(SecondsOf(position)));
}

void CRecorderDlg::MakeDurationText() { m_strDurationText = mainwnd::MakeDurationText(m_llDuration, m_strDurationText); }

void CRecorderDlg::ClearTimeDisplay() { ShowDigits({0, 0, 0, 0, 0, 0}); }

void CRecorderDlg::UpdateInfoLine() {
    const CCaptureGraph& g = m_FileFormat.m_CaptureGraph;
    if (m_nState == StateRecording) {
        int rate = 0;
        std::string label;
        const bool stereoMp3 = m_FileFormat.m_nMp3Mode == 0;
        switch (Format()) {
            case RecordFormat::Wav:
                label = LoadResourceString(ChannelLabelId(g.m_nChannels));
                m_pVisualizer->SetFormat(g.m_nBytesPerSample, g.m_nChannels);
                rate = g.m_nSampleRate / 1000;
                break;
            case RecordFormat::Wma:
                rate = g.m_nWmaKHz;
                label = g.m_strWmaChannels;
                m_pVisualizer->SetFormat(2, stereoMp3 ? 2 : 1);
                break;
            case RecordFormat::Mp3: {
                label = LoadResourceString(stereoMp3 ? 1217 : 1220);
                m_pVisualizer->SetFormat(2, stereoMp3 ? 2 : 1);
                const LameSettings lame = ReadLameSettings();
                rate = static_cast<int>(lame.sampleRate / 1000);
                break;
            }
        }
        m_pInfoLine->SetText(U(mainwnd::InfoLineText(rate, label, m_nRecordedSize)));
        if (g.m_nState == kEngineRunning) m_pTitle->SetText(U(m_strRecordingName + "." + m_strFormatExtension));
        return;
    }
    m_pTitle->SetText(U(m_strFileDisplayName));
    const WAVEFORMATEX& w = m_PlayerGraph.m_wfxOutput;
    const std::string label = LoadResourceString(ChannelLabelId(w.nChannels));
    m_pVisualizer->SetFormat(w.wBitsPerSample / 8, w.nChannels);
    m_pInfoLine->SetText(U(mainwnd::InfoLineText(static_cast<int>(w.nSamplesPerSec / 1000), label, m_nCurrentFileSize)));
    if (m_PlayerGraph.m_nFileType == kFileTypeDefaultChain) SetFormatIndicator(m_bmpWavEnabled);
    else if (m_PlayerGraph.m_nFileType == kFileTypeWindowsMedia) SetFormatIndicator(m_bmpWmaEnabled);
    MakeDurationText();
}

void CRecorderDlg::UpdateProgressBar() {
    LONGLONG position = 0;
    if (FAILED(m_PlayerGraph.GetCurrentPosition(&position))) return;
    m_pProgress->SetPos(ProgressPosition(position, m_llDuration));
}

void CRecorderDlg::ShowSpecialMode(bool advance) {
    CMicArrayDriver& driver = TheMicArrayDriver();
    const SpecialModeStep step = DecideSpecialMode(!m_bNoSpeakerPhone, driver.GetSpecialRecordingMode(), advance);
    if (step.setModeBefore) driver.SetSpecialRecordingMode(*step.setModeBefore);
    if (step.image != ModeImage::None) {
        const wxBitmap& bmp = step.image == ModeImage::VR ? m_bmpVR : step.image == ModeImage::DA ? m_bmpDA : m_bmpSP;
        m_pMode->SetSkinBitmap(bmp);
        m_pMode->Refresh();
        std::optional<unsigned> tip = step.tooltipMessage;
        if (step.tooltipFromReread) tip = SpeakerPhoneTooltip(driver.GetSpecialRecordingMode());
        if (tip) m_pMode->SetTooltipText(U(GetLocalizedMessage(*tip)), true);
    }
    if (step.setModeAfter) driver.SetSpecialRecordingMode(*step.setModeAfter);
}

void CRecorderDlg::SetFormatIndicator(const wxBitmap& bitmap) {
    m_pFormat->SetBitmap(bitmap);
    m_pFormat->Refresh();
    Update();
}

void CRecorderDlg::ShowRecordingFormat(RecordFormat format) {
    switch (format) {
        case RecordFormat::Wav: SetFormatIndicator(m_bmpWavEnabled); break;
        case RecordFormat::Mp3: SetFormatIndicator(m_bmpWmaDisabled); break;
        case RecordFormat::Wma: SetFormatIndicator(m_bmpWmaEnabled); break;
    }
}

void CRecorderDlg::ApplyVolume() {
    m_PlayerGraph.SetVolume(EngineVolume(m_pVolume ? m_pVolume->GetPos() : m_nPlayVolume, m_bMuted));
}

void CRecorderDlg::UpdateVolumeTooltip() {
    char percent[32];
    std::snprintf(percent, sizeof percent, " %d%%", VolumePercent(m_pVolume->GetPos()));
    m_pVolume->SetToolTip(U(GetLocalizedMessage(1007) + percent));
}

// --- files ------------------------------------------------------------------------------------

void CRecorderDlg::ComposeRecordingPath() {
    m_strRecordingName = m_FileFormat.MakeAutoFileName();
    const RecordFormat format = Format();
    m_strFormatExtension = FormatExtension(format);
    m_FileFormat.m_CaptureGraph.m_strFileName = MakeRecordingPath(m_FileFormat.m_strSaveFolder, m_strRecordingName, format);
    ShowRecordingFormat(format);
}

HRESULT CRecorderDlg::PrepareNextRecording() {
    ComposeRecordingPath();
    CCaptureGraph& g = m_FileFormat.m_CaptureGraph;
    switch (Format()) {
        case RecordFormat::Wav:
            g.ConfigureWavCapture();
            return g.BuildWavGraph();
        case RecordFormat::Mp3: return g.BuildMp3Graph();
        case RecordFormat::Wma: return g.BuildWmaGraph();
    }
    return E_FAIL;
}

int CRecorderDlg::OpenForPlayback(const std::string& path) {
    m_PlayerGraph.Stop();
    m_nCurrentFileSize = GetFileSize32(path);
    if (m_nCurrentFileSize == 0) {
        // "File <path> non trovato": the second half is stored without its leading blank.
        std::string rest = LoadResourceString(1230);
        if (!rest.empty() && rest.front() != ' ') rest.insert(rest.begin(), ' ');
        const std::string text = LoadResourceString(1229) + " " + path + rest;
        platform::MessageBox(target_.get(), text, {}, platform::MB_ICONERROR);
        m_strFileDisplayName.assign(1, ' ');  // = " " draws a false -Wrestrict from GCC 12 here
        return -1;
    }
    {
        std::ifstream probe(path, std::ios::binary);
        if (!probe) {
            ShowLastError();
            return -1;
        }
    }
    m_strFileDisplayName = FileNameOf(path);
    errno = 0;
    const HRESULT hr = m_PlayerGraph.OpenFile(path, target_.get());
    if (FAILED(hr)) {
        // An unplayable file was already reported by the engine (message 1003).
        if (hr != E_FAIL && errno != 0) ShowLastError();
        return -1;
    }
    m_strEditorFile = path;
    m_llDuration = 0;
    m_PlayerGraph.GetDuration(&m_llDuration);
    MakeDurationText();
    UpdateInfoLine();
    ShowPlayTime();
    ApplyVolume();
    return 0;
}

void CRecorderDlg::SetCurrentFile(const std::string& path) {
    const std::string folder = FolderOf(path);
    m_strOpenDialogFolder = folder;
    if (folder.empty()) return;
    TheFileList().SetCurrentFile(path);
}

void CRecorderDlg::FinishRecordedFile() {
    CCaptureGraph& g = m_FileFormat.m_CaptureGraph;
    ManualSaveRequest request;
    request.owner = target_.get();
    request.outputPath = g.m_strFileName;
    request.saveFolder = m_FileFormat.m_strSaveFolder;
    request.recordingName = m_strRecordingName;
    request.extension = m_strFormatExtension;
    const ManualSaveResult r = FinishManualRecording(request);
    if (r.outcome == ManualSaveResult::Discarded) {
        m_pInfoLine->SetText(" ");
        ForgetFile();
        m_nState = StateIdle;  // the stop command applies it to the buttons
        return;
    }
    g.m_strFileName = r.path;
    m_strEditorFile = r.path;
    m_pTitle->StopScroll();
    m_pTitle->SetText(U(FileNameOf(r.path)));
    SetCurrentFile(r.path);
    m_bReloadBeforePlay = true;
}

void CRecorderDlg::ForgetFile() {
    ClearTimeDisplay();
    m_strEditorFile.clear();
    m_bRecordingKept = false;
}

void CRecorderDlg::StepFile(bool forward) {
    FileList& list = TheFileList();
    list.Rescan();
    std::optional<std::string> next = list.Step(forward);
    if (!next) {
        platform::MessageBox(target_.get(), LoadResourceString(1225), LoadResourceString(1226), platform::MB_ICONWARNING);
        return;
    }
    OnStop();
    if (OpenForPlayback(*next) == 0) {
        m_bReloadBeforePlay = false;
        OnPlay();
    } else {
        SetState(StateFileReady);
    }
}

void CRecorderDlg::OnNextFile() { StepFile(true); }
void CRecorderDlg::OnPrevFile() { StepFile(false); }

// --- commands ---------------------------------------------------------------------------------

void CRecorderDlg::OnCloseCommand() {
    OnStop();
    ReleaseCaptureDevices();
    if (IsModal()) EndModal(wxID_OK);
}

void CRecorderDlg::OnHelp() {
    const std::string help = m_strProgramFolder + kHelpFile;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(help, ec)) {
        platform::MessageBox(target_.get(), LoadResourceString(kHelpMissingString));
        return;
    }
    if (auto w = platform::FindTopLevelWindow(kHelpTitle)) {
        if (platform::IsMinimized(w)) platform::RestoreAndRaise(w);
        return;
    }
    // A viewer just started has no window yet: a second F1 must not start another one. The
    // window is not blocked meanwhile.
    const auto now = std::chrono::steady_clock::now();
    if (m_tHelpOpened != std::chrono::steady_clock::time_point{} && now - m_tHelpOpened < kHelpStartGrace) return;
    if (platform::OpenDocument(help)) m_tHelpOpened = now;
}

void CRecorderDlg::OnOpenFile() {
    if (!m_pOpen || !m_pOpen->IsEnabled()) return;
    auto chosen = platform::ShowOpenFileDialog(target_.get(), {}, m_strOpenDialogFolder, OpenDialogFilter());
    if (!chosen) return;
    Update();
    if (m_PlayerGraph.m_nState != kEngineStopped) OnStop();
    m_PlayerGraph.ReleaseGraph();
    if (OpenForPlayback(*chosen) == 0) {
        SetCurrentFile(*chosen);
        SetState(StateFileReady);
        m_bReloadBeforePlay = false;
        OnPlay();
    } else {
        SetState(StateIdle);
    }
}

std::string CRecorderDlg::FreeSpaceText() const {
    char freeSpace[32];
    std::snprintf(freeSpace, sizeof freeSpace, "%luMB", static_cast<unsigned long>(m_FileFormat.GetSaveDriveFreeMB()));
    return freeSpace;
}

void CRecorderDlg::OnSettings() {
    if (!m_pSettings || !m_pSettings->IsEnabled()) return;
    if (m_FileFormat.m_CaptureGraph.m_nState != kEngineStopped) return;
    if (m_Options.GetPageCount() == 0) {
        m_Options.AddPage(&m_FileFormat);
        m_Options.AddPage(&m_FileSetUp);
    }
    m_FileSetUp.m_strFreeSpace = FreeSpaceText();
    m_Options.DoModal(this);
    SendVisualizer(VIS_CMD_RESET);
    if (!m_bDriverAbsent) ShowSpecialMode(false);
    if (m_PlayerGraph.m_nState == kEngineStopped) {
        const RecordFormat f = Format();
        if (f != RecordFormat::Mp3) ShowRecordingFormat(f);
    }
    SetLengthLimit(m_FileSetUp.m_bLimitOn, m_FileSetUp.m_nHours, m_FileSetUp.m_nMinutes);
    if (m_PlayerGraph.m_nState == kEngineRunning) {
        m_bDeferredReset = true;
        return;
    }
    ResetCaptureSource();
    PrepareNextRecording();
}

// The editor finds the path in the shared block when it runs already, else on its command line.
void CRecorderDlg::OnEditFile() {
    if (!m_pEdit || !m_pEdit->IsEnabled()) return;
    OnStop();
    m_PlayerGraph.ReleaseGraph();
    FillProgramFolder();
    const std::string editor = m_strProgramFolder + kEditorProgram;
    const std::string file = m_strEditorFile;

    // Written before the editor is looked for, so that a running editor finds it after the post.
    // A path that does not fit the block is refused, never cut into another file's name.
    platform::SharedMemoryBlock block = platform::SharedMemoryBlock::Create();
    const bool written = block && !file.empty() && block.WritePath(file);

    const platform::DesktopWindow window = platform::FindTopLevelWindow(kEditorTitle);
    if (!window) {
        // Nobody reads the block: it goes, and the path travels as the one argument, in quotes.
        block.Close();
        m_FileMapping.Close();
        platform::SharedMemoryBlock::Remove();
        std::vector<std::string> args;
        if (!file.empty()) args.push_back("\"" + file + "\"");
        platform::StartProgram(editor, args);  // an editor that cannot start is not reported
        return;
    }
    platform::RestoreAndRaise(window);
    if (file.empty()) return;  // nothing to open: the editor only comes to the front
    if (!written) {
        ShowSystemError(kErrorNameTooLong);
        return;
    }
    platform::SendRegisteredMessage(window, platform::RegisterWindowMessage("FileMapping"), 0, 0);
    m_FileMapping = std::move(block);
}

// Listing the devices again rebinds the capture source, which takes the recording graph's writers:
// the next recording's graph is built again, or after the playback when one runs.
void CRecorderDlg::RelistCaptureDevices() {
    RefreshCaptureDevices();
    if (m_PlayerGraph.m_nState == kEngineRunning) m_bDeferredReset = true;
    else PrepareNextRecording();
}

void CRecorderDlg::OnDeviceChange(std::uintptr_t what, std::intptr_t deviceClass) {
    CCaptureGraph& g = m_FileFormat.m_CaptureGraph;
    if (what == platform::DBT_DEVNODES_CHANGED || what == platform::DBT_DEVICEARRIVAL ||
        what == platform::DBT_DEVICEREMOVECOMPLETE) {
        if (!platform::DriveExists(m_FileFormat.m_strSaveFolder)) {
            if (g.m_nState != kEngineStopped) OnStop();
            m_FileFormat.m_strSaveFolder = m_FileFormat.m_strDefaultSaveFolder;
            m_FileFormat.m_strDriveRoot = platform::DriveRoot(m_FileFormat.m_strSaveFolder);
            if (m_FileSetUp.m_bPageOpen) m_FileSetUp.ShowFreeSpace(FreeSpaceText());
        }
        if (m_PlayerGraph.m_nState != kEngineStopped && !platform::DriveExists(m_PlayerGraph.m_strFile)) {
            OnStop();
            m_PlayerGraph.m_strFile.clear();
            ForgetFile();
            SetState(StateIdle);
        }
        // The options sheet is modal, but these messages still reach us through its event loop.
        if (m_FileFormat.m_bPageOpen) m_FileFormat.ShowSaveFolder();
    }
    if (deviceClass != platform::kDeviceClassAudio) return;
    if (what == platform::DBT_DEVICEARRIVAL) {
        if (g.m_nState == kEngineStopped) RelistCaptureDevices();
        if (m_FileFormat.m_bPageOpen) m_FileFormat.RefillDeviceList();
    } else if (what == platform::DBT_DEVICEREMOVECOMPLETE) {
        if (g.m_nState == kEngineStopped) {
            RelistCaptureDevices();
            // Also after a removal: the page's list must keep matching the device names it
            // indexes, or OK would store another device.
            if (m_FileFormat.m_bPageOpen) m_FileFormat.RefillDeviceList();
            return;
        }
        // Recording: the list shows what is there now; the recording ends only when its own
        // device is gone.
        ListDevices();
        const std::string inUse = g.SourceName();
        bool present = false;
        for (int i = 0; i < m_DeviceList.GetCount() && !present; ++i) present = m_DeviceList.GetText(i) == inUse;
        if (!present) OnStop();
    }
}

void CRecorderDlg::OnSysCommand(int id) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.DoModal();
    } else if (id == SC_MINIMIZE) {
        Iconize(true);
    } else if (id == SC_CLOSE) {
        OnCloseCommand();
    }
}

void CRecorderDlg::ShowContextMenu(const wxPoint& at) {
    wxMenu menu;
    menu.Append(SC_MINIMIZE, "Minimize");
    menu.Append(SC_CLOSE, "Close");
    if (!m_strAboutText.empty()) {
        menu.AppendSeparator();
        menu.Append(IDM_ABOUTBOX, wxString::FromUTF8(m_strAboutText));
    }
    const int chosen = GetPopupMenuSelectionFromUser(menu, at);
    if (chosen != wxID_NONE) OnSysCommand(chosen);
}

void CRecorderDlg::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (key == WXK_ESCAPE || key == WXK_RETURN || key == WXK_NUMPAD_ENTER) return;  // never close through them
    if (key == WXK_F1) {
        OnHelp();
        return;
    }
    if (key == WXK_SPACE && event.GetModifiers() == wxMOD_ALT) {
        ShowContextMenu(wxPoint(0, 0));
        return;
    }
    event.Skip();
}
