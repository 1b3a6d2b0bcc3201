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

private:
    void InitInstance();
    CRecorderDlg* m_pMainDlg = nullptr;
};
