// The application object: the process start (resource module, single instance, accelerators, the
// main window's modal run) and its end.
#pragma once
#include <wx/app.h>

class CRecorderDlg;

class CRecorderApp : public wxApp {
public:
    bool OnInit() override { return true; }
    // The whole life of the program: InitInstance's steps, then the end.
    int OnRun() override;
    // A failed toolkit check is reported on standard error; the program never stops on a box.
    void OnAssertFailure(const wxChar* file, int line, const wxChar* func, const wxChar* cond,
                         const wxChar* msg) override;

private:
    void InitInstance();
    CRecorderDlg* m_pMainDlg = nullptr;
};
