// The main window: a borderless modal dialog built from template 102 of the resource module. Its
// initialization and destruction run in fixed orders, one private method a step.
#pragma once
#include <wx/dialog.h>

#include <string>

#include "platform/WxMessageTarget.h"

class CRecorderDlg : public wxDialog {
public:
    // Command identifiers the window answers (buttons and accelerators).
    static constexpr int IDC_HELP = 103;
    static constexpr int IDC_MINIMIZE = 1501;
    static constexpr int IDC_CLOSE = 1503;
    static constexpr int IDC_OPEN_FILE = 1504;
    static constexpr int IDC_SETTINGS = 1505;
    static constexpr int IDC_EDIT_FILE = 1528;
    static constexpr int IDM_ABOUTBOX = 0x10;
    static constexpr int SC_MINIMIZE = 0xF020;
    static constexpr int SC_CLOSE = 0xF060;

    explicit CRecorderDlg(wxWindow* parent = nullptr);
    ~CRecorderDlg() override;

    // Builds the window from template 102 and runs its initialization. False when the template is
    // missing (no resource module) or the initialization ended the window.
    bool Create(wxWindow* parent);
    // The modal run; returns at once when Create failed.
    int DoModal();

    // A second instance's command line (the copy-data hand-over). Returns whether it was taken.
    bool OnCopyDataCommandLine(const std::string& commandLine);

    // The close command (1503): stops whatever runs and ends the modal run.
    void OnCloseCommand();

    // The X connection is gone: only the settings are saved (no window call is possible).
    void SaveSettingsForLostDisplay();

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

    // --- commands and keys ---
    void OnStop();
    void OnHelp();
    void OnOpenFile();
    void OnSettings();
    void OnEditFile();
    void OnSysCommand(int id);
    void ShowContextMenu(const wxPoint& at);
    void OnCharHook(wxKeyEvent& event);
    void InstallCopyDataReceiver();

    bool created_ = false;
    bool destroyed_ = false;
    platform::MessageTargetScope target_;

    // Values the close-time save writes.
    std::string m_strLastFile;
    int m_nPlayVolume = 0;     // volume bar position, -2000..0
    bool m_bMuted = false;
    std::string m_strAboutText;  // string 101; empty: no About entry
};
