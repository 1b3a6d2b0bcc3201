// Quillon: turns on the external-microphone switch of the first sound card and ends.
#include <wx/app.h>
#include <wx/init.h>

#include <alsa/asoundlib.h>

#include <cstdarg>
#include <cstdlib>

#include "micswitch/QuillonDlg.h"
#include "micswitch/QuillonResources.h"

class CQuillonApp : public wxApp {
public:
    bool OnInit() override {
        SetAppName(quillon::kAppTitle);
        CQuillonDlg dlg;
        SetTopWindow(&dlg);
        dlg.ShowModal();
        SetTopWindow(nullptr);
        return false;  // the dialog has ended: so does the program
    }
};

wxIMPLEMENT_APP_NO_MAIN(CQuillonApp);

namespace {
// The dialog reports what went wrong; libasound's own diagnostics would only clutter the terminal.
void QuietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}
}  // namespace

int main(int argc, char** argv) {
    // Window search and hand-overs of the desktop work on X11; stay there under Wayland too.
    setenv("GDK_BACKEND", "x11", 0);
    snd_lib_error_set_handler(QuietAlsaErrors);
    wxEntry(argc, argv);
    return 0;
}
