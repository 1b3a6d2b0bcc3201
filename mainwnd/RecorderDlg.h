// The main window: a borderless modal dialog built from template 102 of the resource module, with
// its skin, transport, status display and files. Its initialization and destruction run in fixed
// orders, one private method a step. The decisions live in TransportLogic, StatusText and
// RecordingFiles; this class applies them to the controls and the engines.
#pragma once
#include <wx/bitmap.h>
#include <wx/dialog.h>
#include <wx/font.h>
#include <wx/timer.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/DeviceWatcher.h"
#include "audio/GraphHelpers.h"
#include "audio/PlayerGraph.h"
#include "mainwnd/RecorderState.h"
#include "mainwnd/TransportLogic.h"
#include "options/FileFormat.h"
#include "options/FileSetUp.h"
#include "options/Options.h"
#include "platform/MountWatcher.h"
#include "platform/SharedMemory.h"
#include "platform/WxMessageTarget.h"

class CAudioVisualizer;
class CHover3Button;
class CHover4Button;
class CHoverButton;
class CScrollText;
class CSkinSlider;
class COleDrop;
class wxListBox;
class wxStaticBitmap;
class wxStaticText;

class CRecorderDlg : public wxDialog {
public:
    // Command identifiers the window answers (buttons and accelerators).
    static constexpr int IDC_HELP = 103;
    static constexpr int IDC_MINIMIZE = 1501;
    static constexpr int IDC_CLOSE = 1503;
    static constexpr int IDC_OPEN_FILE = 1504;
    static constexpr int IDC_SETTINGS = 1505;
    static constexpr int IDC_RECORD = 1506;
    static constexpr int IDC_PREV_FILE = 1507;
    static constexpr int IDC_PLAY = 1508;
    static constexpr int IDC_STOP = 1509;
    static constexpr int IDC_NEXT_FILE = 1510;
    static constexpr int IDC_MODE = 1518;
    static constexpr int IDC_SPEAKER = 1527;
    static constexpr int IDC_EDIT_FILE = 1528;
    static constexpr int IDM_ABOUTBOX = 0x10;
    static constexpr int SC_MINIMIZE = 0xF020;
    static constexpr int SC_CLOSE = 0xF060;

    explicit CRecorderDlg(wxWindow* parent = nullptr);
    ~CRecorderDlg() override;

    // The program's arguments after its name; the first file comes from them (set before Create).
    void SetCommandLineArguments(std::vector<std::string> arguments) { m_astrArguments = std::move(arguments); }

    // Builds the window from template 102 and runs its initialization. False when the template is
    // missing (no resource module) or the initialization ended the window.
    bool Create(wxWindow* parent);
    // The modal run; returns at once when Create failed.
    int DoModal();

    // A second instance's command line (the copy-data hand-over). Returns whether it was taken.
    bool OnCopyDataCommandLine(const std::string& commandLine);

    // The editor hand-off (command 1528, Ctrl+E) and the help (command 103, F1).
    void OnEditFile();
    void OnHelp();
    // Drives and audio devices came or went (platform/DeviceChange.h).
    void OnDeviceChange(std::uintptr_t what, std::intptr_t deviceClass);

    // The close command (1503): stops whatever runs and ends the modal run.
    void OnCloseCommand();

    // The X connection is gone: only the settings are saved (no window call is possible).
    void SaveSettingsForLostDisplay();

    // --- transport commands (also what the buttons run) ---
    void OnRecord();
    void OnPlay();
    void OnStop();
    void OnNextFile();
    void OnPrevFile();
    void OnMute();
    void OnModeButton();

    // --- state, for the accelerators' checks and for tests ---
    int GetRecorderState() const { return m_nState; }
    CFileFormat& GeneralPage() { return m_FileFormat; }
    CFileSetUp& AdvancedPage() { return m_FileSetUp; }
    COptions& OptionsSheet() { return m_Options; }
    bool IsWatchingDevices() const { return m_DeviceWatcher.IsWatching() && m_MountWatcher.IsRunning(); }
    CPlayerGraph& Player() { return m_PlayerGraph; }
    const std::string& OutputPath() const { return m_FileFormat.m_CaptureGraph.m_strFileName; }
    const std::string& LastRecordedPath() const { return m_strLastRecordedPath; }
    const std::string& EditorFile() const { return m_strEditorFile; }
    const std::string& SaveFolder() const { return m_FileFormat.m_strSaveFolder; }
    std::uint64_t RecordedSize() const { return m_nRecordedSize; }
    bool IsRecordPaused() const { return m_bRecordPaused; }
    bool IsMuted() const { return m_bMuted; }
    bool IsRecordTimerRunning() const { return m_RecordTimer.IsRunning(); }
    bool IsPlaybackTimerRunning() const { return m_PlaybackTimer.IsRunning(); }
    // The digits the read-out shows (−1: no digit), the three text lines.
    std::array<int, 6> ReadoutDigits() const { return m_anShownDigits; }
    std::string InfoLineText() const;
    std::string TitleLineText() const;
    std::string FileInfoText() const;
    // The recording length limit (the Advanced page's values).
    void SetLengthLimit(bool on, int hours, int minutes);
    // The limit in seconds the recording timer enforces; -1 without a limit.
    int EnforcedLimitSeconds() const { return m_bLimitOn ? m_nLimitSeconds : -1; }
    // Controls by command ID (buttons, bars, the speaker), for tests.
    wxWindow* Control(int id) const;
    CSkinSlider* ProgressBar() const { return m_pProgress; }
    CSkinSlider* VolumeBar() const { return m_pVolume; }
    COleDrop* DropTarget() const { return m_pDrop; }
    // One tick of a timer, as the timer runs it.
    void RecordTimerTick();
    void PlaybackTimerTick();

private:
    // --- initialization, in order ---
    bool OnInitDialog();
    void AppendAboutToContextMenu();          // 2
    void SetWindowIcons();                    // 3
    void RegisterDeviceNotification();        // 4
    void SetOptionsSheetTitle();              // 5
    void SetWindowStyles();                   // 6
    void RegisterDropTarget();                // 7
    void ComputeDefaultSaveFolder();          // 8
    void FillProgramFolder();                 // 9
    void RegisterMp3Encoder();                // 10
    void BuildSkinAndControls();              // 11 (title, visualizer, shape, skin, controls, fonts)
    void GiveGeneralPageWindow();             // 12
    void DecideMicConfiguration();            // 13
    void ShowSpecialRecordingMode();          // 14
    bool ListCaptureDevices();                // 15: false when there is none
    void LoadSettings();                      // 16
    void ChooseFirstFile();                   // 17
    void CheckSaveFolder();                   // 18
    void WriteEncoderDefaults();              // 19
    void PrepareFirstRecording();             // 20

    // --- destruction, in order ---
    void OnDestroyWindow();
    void CloseOpenedWindows();                // 1
    void SaveSettings();                      // 2
    void StopEverything();                    // 3
    void ReleaseCaptureDevices();             // 4
    void FreeSampleBuffer();                  // 5
    void EmptyFileList();                     // 6
    void DeleteKeptImages();                  // 7
    void UnregisterDeviceNotification();      // 8

    // --- skin ---
    wxString SkinFile(const char* file) const;  // file: "/name.png"
    wxBitmap Skin(const char* file) const;
    template <class Button>
    Button* MakeButton(int id, const char* file, const wxRect& rect);
    wxStaticBitmap* MakePicture(int id, const wxRect& rect, const wxBitmap& bitmap);
    void OnPaint(wxPaintEvent&);
    void OnMouseDown(wxMouseEvent&);
    void OnMouseMove(wxMouseEvent&);
    void OnMouseUp(wxMouseEvent&);

    // --- transport ---
    void SetButtonStates(int state);
    void SetState(int state);
    void SetRecordImage(bool pause);
    void SetPlayImage(bool pause);
    void ShowRecordingIndicator(bool show);
    void ShowRecordingEnded();  // visualizer, recording indicator and record button
    void StopPlayback();        // the stop command's halves
    void StopRecording();
    void SendVisualizer(std::uintptr_t command);
    mainwnd::RecordFormat Format() const;
    void OnWindowMessage(platform::WindowMessageEvent& event);
    void OnSliderMoving(int id, int pos);
    void OnSliderMoved(int id);
    void OnGraphNotify(std::intptr_t instance);
    void OnPlayDroppedFile();
    void OnOptionsApplied();

    // --- capture source ---
    HRESULT ListDevices();  // the engine list and the template's list box; 1 when there is none
    int RefreshCaptureDevices();
    void SelectCaptureDevice();
    void SelectCaptureInput();
    void ResetCaptureSource();
    void RelistCaptureDevices();

    // --- status display ---
    void ShowDigits(const std::array<int, 6>& digits);
    void ShowRecordTime(unsigned seconds);
    void ShowPlayTime();
    void MakeDurationText();
    void ClearTimeDisplay();
    void UpdateInfoLine();
    void UpdateProgressBar();
    void ShowSpecialMode(bool advance);
    void ShowRecordingFormat(mainwnd::RecordFormat format);
    void SetFormatIndicator(const wxBitmap& bitmap);
    void ApplyVolume();
    void ShowSpeaker();  // the speaker's image and tooltip follow the mute
    void UpdateVolumeTooltip();
    void SetTexts(const std::string& title, const std::string& info, const std::string& fileInfo);

    // --- files ---
    int OpenForPlayback(const std::string& path);
    void SetCurrentFile(const std::string& path);
    HRESULT PrepareNextRecording();
    void ComposeRecordingPath();
    void FinishRecordedFile();
    void ForgetFile();  // no time shown, nothing for the editor, no recording to remember
    void StepFile(bool forward);

    // --- commands ---
    void OnOpenFile();
    void OnSettings();
    std::string FreeSpaceText() const;  // the Advanced page's "%ldMB"
    void OnSysCommand(int id);
    void ShowContextMenu(const wxPoint& at);
    void OnCharHook(wxKeyEvent& event);
    void InstallCopyDataReceiver();

    bool created_ = false;
    bool destroyed_ = false;
    platform::MessageTargetScope target_;
    std::vector<std::string> m_astrArguments;
    std::string m_strAboutText;  // string 101; empty: no About entry

    // Engines and pages. The sheet borrows the two pages each time it is shown; it is declared
    // after them, so it goes first.
    CFileFormat m_FileFormat;
    CFileSetUp m_FileSetUp;
    COptions m_Options{" "};
    CPlayerGraph m_PlayerGraph;
    VectorListBox m_DeviceList;
    VectorListBox m_InputList;
    bool m_bNoSpeakerPhone = false;
    bool m_bDriverAbsent = true;

    // Skin.
    std::string m_strProgramFolder;
    std::string m_strSkinFolder;
    wxBitmap m_bmpBackground;
    CHover3Button* m_pHelp = nullptr;
    CHover3Button* m_pMinimize = nullptr;
    CHover3Button* m_pClose = nullptr;
    CHover3Button* m_pOpen = nullptr;
    CHover3Button* m_pSettings = nullptr;
    CHover3Button* m_pEdit = nullptr;
    CHover3Button* m_pMode = nullptr;
    CHover4Button* m_pRecord = nullptr;
    CHover4Button* m_pPrev = nullptr;
    CHover4Button* m_pPlay = nullptr;
    CHover4Button* m_pStop = nullptr;
    CHover4Button* m_pNext = nullptr;
    wxStaticBitmap* m_pSpeaker = nullptr;
    std::array<wxStaticBitmap*, 8> m_apCells{};
    wxStaticBitmap* m_pFormat = nullptr;
    wxStaticBitmap* m_pRecIndicator = nullptr;
    CScrollText* m_pFileInfo = nullptr;
    CScrollText* m_pInfoLine = nullptr;
    CScrollText* m_pTitle = nullptr;
    CSkinSlider* m_pProgress = nullptr;
    CSkinSlider* m_pVolume = nullptr;
    CAudioVisualizer* m_pVisualizer = nullptr;
    wxStaticText* m_pStatus = nullptr;
    wxListBox* m_pDeviceListBox = nullptr;
    wxListBox* m_pInputListBox = nullptr;
    COleDrop* m_pDrop = nullptr;  // owned by the window
    std::array<wxBitmap, 10> m_abmpDigits;
    wxBitmap m_bmpRecord, m_bmpPause, m_bmpPlay, m_bmpPausePlay;
    wxBitmap m_bmpVR, m_bmpDA, m_bmpSP;
    wxBitmap m_bmpWavEnabled, m_bmpWmaDisabled, m_bmpWmaEnabled, m_bmpRec;
    wxBitmap m_bmpSoundNormal, m_bmpSoundMute;
    wxFont m_FontA, m_FontB, m_FontC, m_FontD;
    wxPoint m_dragOffset;
    bool m_bDragging = false;

    // Transport.
    int m_nState = StateIdle;
    bool m_bRecordPaused = false;
    bool m_bReloadBeforePlay = false;
    bool m_bSeekStart = true;
    int m_nStateBeforeSeek = 0;
    bool m_bDeferredReset = false;
    bool m_bRecordingKept = false;
    bool m_bLimitOn = false;
    int m_nLimitSeconds = 0;
    std::uint64_t m_nRecordedSize = 0;
    unsigned m_nCheckCounter = 0;
    wxTimer m_RecordTimer;
    wxTimer m_PlaybackTimer;

    // Status display.
    std::string m_strDurationText;
    unsigned m_nRecordedMinutes = 0;
    bool m_bMuted = false;
    int m_nPlayVolume = 0;  // volume bar position, -2000..0
    std::string m_strFileDisplayName = " ";
    std::uint64_t m_nCurrentFileSize = 0;
    std::array<int, 6> m_anShownDigits{};

    // Hand-offs and device changes.
    platform::SharedMemoryBlock m_FileMapping;  // the editor's path block, once a running editor got one
    std::chrono::steady_clock::time_point m_tHelpOpened{};
    CDeviceWatcher m_DeviceWatcher;
    platform::MountWatcher m_MountWatcher;

    // Files.
    std::string m_strRecordingName;
    std::string m_strFormatExtension = "wav";
    std::string m_strOpenDialogFolder;
    std::string m_strEditorFile;
    std::string m_strLastRecordedPath;
    std::optional<std::string> m_LastFileCandidate;  // LastFile as read at start-up
    LONGLONG m_llDuration = 0;
};
