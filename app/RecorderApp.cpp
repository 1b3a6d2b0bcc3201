#include "app/RecorderApp.h"

#include <wx/dialog.h>

#include <cstdio>

#include "app/HandOver.h"
#include "app/SettingsStore.h"
#include "mainwnd/RecorderDlg.h"
#include "platform/ProgramFolder.h"
#include "platform/ResourceModule.h"
#include "platform/Signals.h"
#include "platform/SingleInstance.h"
#include "resources/ProgramResources.h"

namespace {
// Taken before anything else runs, so that a second start is recognized for the whole life of the
// first process, even before its window exists.
platform::SingleInstanceLock g_instanceMutex("QuarnetMurmelo");

// A termination request ends every modal dialog above the main window first, so that the close
// command is not held up by a box nobody will answer.
void EndOtherModalDialogs(wxDialog* main) {
    for (wxWindow* w : wxTopLevelWindows) {
        auto* dialog = dynamic_cast<wxDialog*>(w);
        if (dialog && dialog != main && dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
    }
}
}  // namespace

int CRecorderApp::OnRun() {
    InitInstance();
    return 0;
}

void CRecorderApp::OnAssertFailure(const wxChar* file, int line, const wxChar* func, const wxChar* cond,
                                   const wxChar* msg) {
    std::fprintf(stderr, "murmelo: check failed at %s:%d in %s: %s %s\n", wxString(file).utf8_str().data(), line,
                 wxString(func).utf8_str().data(), wxString(cond).utf8_str().data(),
                 wxString(msg ? msg : wxT("")).utf8_str().data());
}

void CRecorderApp::InitInstance() {
    const std::string programFolder = platform::GetProgramFolder();
    // Without the module nothing is reported; the main window's template lives only there.
    platform::ResourceModule::Load(programFolder + "/Lexel.so");

    if (g_instanceMutex.AlreadyExists()) {
        app::ForwardToRunningInstance(app::ProcessArguments());
        return;
    }

    // First start: the key with every value's default, so that every reader finds its value.
    app::EnsureDefaultSettings();

    const wxAcceleratorTable accelerators =
        resources::MakeAcceleratorTable(resources::ProgramAccelerators());

    {
        CRecorderDlg dlg(nullptr);
        m_pMainDlg = &dlg;
        platform::InstallTerminationHandler([this](int) {
            if (!m_pMainDlg) return;
            EndOtherModalDialogs(m_pMainDlg);
            m_pMainDlg->OnCloseCommand();
        });
        platform::InstallDisplayLostHandler([this] {
            if (m_pMainDlg) m_pMainDlg->SaveSettingsForLostDisplay();
        });
        // The first file comes from the command line as the process got it.
        dlg.SetCommandLineArguments(app::ProcessArguments());
        if (dlg.Create(nullptr)) {
            SetTopWindow(&dlg);
            dlg.SetAcceleratorTable(accelerators);
            dlg.DoModal();
        }
        SetTopWindow(nullptr);
        m_pMainDlg = nullptr;
    }
    platform::ResourceModule::Free();
}
