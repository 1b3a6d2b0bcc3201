// Murmelo's entry point: keeps the command line as given, chooses X11, and runs the application.
#include <wx/init.h>

#include "app/HandOver.h"
#include "app/RecorderApp.h"
#include "platform/Signals.h"

int main(int argc, char** argv) {
    app::SetProcessArguments(argc, argv);
    platform::SelectX11Backend();
    wxApp::SetInstance(new CRecorderApp);
    // Only the program name goes to the toolkit: the arguments name files, never toolkit options.
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    return wxEntry(wxArgc, wxArgv);
}
