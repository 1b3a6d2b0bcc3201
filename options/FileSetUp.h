// The options sheet's Advanced page (template 108): the recording-length limit, the visualizer
// type, the array-microphone processing mode, and the system's volume controls. The page saves its
// values and applies the mode every time it is left with valid input.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/SettingsStore.h"
#include "options/OptionsPage.h"
#include "options/SpecialRecording.h"

class CMicArrayDriver;
class wxCommandEvent;
class wxStaticBitmap;

class CFileSetUp : public COptionsPage {
public:
    CFileSetUp();
    ~CFileSetUp() override;

    // --- set and read by the main window ---
    bool m_bLimitOn = false;
    int m_nHours = 0;
    int m_nMinutes = 0;
    std::string m_strFreeSpace;     // shown in 1061, "%ldMB"
    int m_nSpecialMode = 0;         // 0..3; 4 when the driver is absent
    int m_nDriverMode = 0;          // the driver's mode as last announced
    bool m_bNoSpeakerPhone = false;
    bool m_bPageOpen = false;

    // The driver the mode radios talk to (the program-wide one unless set).
    void SetDriver(CMicArrayDriver* driver) { m_pDriver = driver; }
    // Starts a program by name with arguments (the volume controls); replaceable for tests.
    std::function<void(const std::string& program, const std::vector<std::string>& args)> m_startProgram;

    // The save folder moved while the page is open: 1061 shows `text` ("%ldMB").
    void ShowFreeSpace(const std::string& text);

    // The driver announced a mode change while the page is open.
    void SyncSpecialRecordingRadios();

    // --- page ---
    void OnCreate() override;
    bool OnInitDialog() override;
    void OnCancel() override;
    bool OnKillActive() override;
    void OnDestroy() override;

    CSpecialRecording m_dlgDetails;

private:
    CMicArrayDriver& Driver();
    void SelectLimitCombos();
    void OnLimit();
    void OnNoLimit();
    void OnVisualizer(int type);
    void OnMode(int mode);
    void OnRecordingVolume();
    void OnPlaybackVolume();
    void OpenVolumeControl(const std::vector<std::string>& titles, const std::vector<std::string>& args);
    void OnSilenceToggle();
    void Save();
    void CreatePreviews(int left, int top);

    CMicArrayDriver* m_pDriver = nullptr;
    app::SettingsSnapshot m_stored;  // the page's values as read when it was created
    std::vector<wxStaticBitmap*> m_previews;
};
