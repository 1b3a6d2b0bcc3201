// The options sheet's General page (template 107): input device and line, microphone, recording
// volume, output format and quality, naming and save folder. The main window owns the page object
// for its whole life; the recording engine is a member, so the format flags and quality codes the
// page edits are the ones the engine records with. MakeAutoFileName, GetSaveDriveFreeMB,
// LoadInputChoice and WriteLameProfile serve the main window outside the sheet too.
#pragma once
#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "app/SettingsStore.h"
#include "audio/CaptureGraph.h"
#include "mixer/RecordingSources.h"
#include "options/GeneralPageLogic.h"
#include "options/OptionsPage.h"
#include "platform/DesktopWindows.h"

class wxCommandEvent;

constexpr std::size_t kMaxInputNames = 20;

class CFileFormat : public COptionsPage {
public:
    CFileFormat();
    ~CFileFormat() override;

    // --- for the main window ---
    // Builds the automatic name for now into m_strExampleName (and returns it).
    const std::string& MakeAutoFileName();
    // Free megabytes where recordings go (0 when that cannot be measured).
    std::uint32_t GetSaveDriveFreeMB() const;
    // Resolves the stored device name and input index against the device names.
    void LoadInputChoice();
    // Copies the MP3 choice (m_CaptureGraph.m_nMp3Profile, m_nMp3Mode) into the encoder's key.
    void WriteLameProfile();
    // While the page is open: the device names changed (devices came or went, the main window
    // listed them again). The device list shows them; the device the page showed stays chosen
    // while it is there, else the main window's choice; the input list follows the chosen device.
    void RefillDeviceList();
    // While the page is open: the save folder changed outside the page (its drive vanished).
    void ShowSaveFolder();

    // The recording engine with the format flags and quality codes.
    CCaptureGraph m_CaptureGraph;
    int m_nMp3Mode = 0;
    // Last values WriteLameProfile wrote ("Sample Rate", "Stereo Mode"); 0 before any.
    int m_nLameSampleRate = 0;
    int m_nLameStereoMode = 0;

    bool m_bManual = false;
    std::string m_strSaveFolder;         // ends with "/"
    std::string m_strDriveRoot;          // platform::DriveRoot of the save folder
    std::string m_strDefaultSaveFolder;  // set by the main window
    std::string m_strExampleName;
    std::string m_strExampleText;
    std::time_t m_tNameTime = 0;
    int m_nRecordVolume = 0;             // percent; the main window scales it when it applies it

    std::vector<std::string> m_astrDeviceNames;              // filled by the main window
    std::array<std::string, kMaxInputNames> m_astrInputNames;  // ends at the first empty name
    RecordingSourceTable m_InputLines;                       // filled once at start-up
    int m_nInputCount = 0;
    int m_nChosenDevice = 0;
    int m_nChosenInput = 0;
    std::string m_strCurrentInput;
    std::string m_strCurrentDevice;
    bool m_bBuiltInMic = true;
    std::string m_strProgramFolder;
    int m_nMicConfiguration = kMicConfigNone;
    platform::WindowRef m_hMainWnd = nullptr;
    bool m_bRestoring = false;
    bool m_bPageOpen = false;

    // Starts a program beside the executable (Pellow, Quillon); replaceable for tests.
    std::function<void(const std::string& path)> m_startHelper;
    // Hides the helper's window once it shows.
    platform::WindowHider m_helperHider;

    // --- page ---
    void OnCreate() override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnKillActive() override;
    void OnDestroy() override;

private:
    options::QualityCodes StoredCodes() const;

    // The quality controls as a state table, to and from the window.
    options::QualityPanel ReadPanel() const;
    void ApplyPanel(const options::QualityPanel& panel);
    void ApplyFormat(options::OutputFormat format);
    void HideMp3Controls();

    std::string DeviceName(int index) const;
    std::string InputName(int index) const;
    bool InputIsMicrophone(const std::string& inputName) const;
    void FillDeviceCombo();
    void FillInputCombo();
    std::vector<std::string> ListedInputNames() const;
    std::string SelectedName(int comboId) const;
    void ShowFolder();
    void SetSaveFolder(const std::string& folder);
    void ShowVolumeCaption(int percent);
    void DisableMicrophoneControls();
    void ApplyMicPlan(const options::MicPlan& plan);
    void UpdateMicrophoneControls();

    // A format radio or quality list changed: the panel goes through the rule and back to the
    // window, and the page counts as modified.
    void ChooseFormat(void (*choose)(options::QualityPanel&, bool&, const options::QualityCodes&));
    void ChangeQuality(void (*change)(options::QualityPanel&));

    // Handlers.
    void OnDeviceChanged(wxCommandEvent&);
    void OnInputChanged(wxCommandEvent&);
    void OnBuiltInMic();
    void OnExternalMic();
    void OnNaming(bool manual);
    void OnBrowse(wxCommandEvent&);
    void OnDefault(wxCommandEvent&);
    void OnVolumeMoved(wxCommandEvent&);
    void StartMicHelper(bool builtIn);

    app::SettingsSnapshot m_stored;  // last text read of each value
};
