// Saving a manually named recording: the finished file waits under a hidden temporary name in the
// save folder while the save dialog asks for its final name, then moves there.
#pragma once
#include <string>

#include "platform/WindowMessage.h"

namespace mainwnd {

struct ManualSaveResult {
    enum Outcome {
        Saved,             // the recording is at `path`, the name the user chose
        KeptAtOutputPath,  // it could not go there (or not be set aside); it stays at `path`, the automatic path
        Discarded,         // the user cancelled: the recording is deleted
    };
    Outcome outcome = Discarded;
    std::string path;
};

struct ManualSaveRequest {
    platform::WindowRef owner = nullptr;
    std::string outputPath;     // the finished recording, at its automatic path
    std::string saveFolder;     // ends in '/'
    std::string recordingName;  // the automatic name, offered in the dialog
    std::string extension;      // "wav", "mp3", "wma"
    std::string dialogTitle;
};

// Runs the save dialog and puts the file where the answer says; tells the user (warning box) when
// the recording has to stay at its automatic path.
ManualSaveResult FinishManualRecording(const ManualSaveRequest& request);

}  // namespace mainwnd
