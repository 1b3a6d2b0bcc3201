#include "mainwnd/ManualNaming.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "mainwnd/RecordingFiles.h"
#include "platform/Ui.h"

namespace fs = std::filesystem;

namespace mainwnd {

namespace {

void TellKeptAt(platform::WindowRef owner, const std::string& path) {
    char text[64 + 4096];
    std::snprintf(text, sizeof text, "Unable to overwrite. Saving the recorded file in %s.", path.c_str());
    platform::MessageBox(owner, text, {}, platform::MB_ICONWARNING);
}

}  // namespace

ManualSaveResult FinishManualRecording(const ManualSaveRequest& r) {
    const std::string temp = TempRecordingPath(r.saveFolder);
    std::error_code ec;
    fs::rename(r.outputPath, temp, ec);
    if (ec) {
        // Without the temporary copy a later move would lose the recording: keep it where it is.
        TellKeptAt(r.owner, r.outputPath);
        return {ManualSaveResult::KeptAtOutputPath, r.outputPath};
    }

    auto answer = platform::ShowSaveFileDialog(r.owner, r.dialogTitle, r.saveFolder, r.recordingName,
                                               SaveDialogFilter(r.extension));
    if (!answer || answer->empty()) {
        fs::remove(temp, ec);
        return {ManualSaveResult::Discarded, {}};
    }

    std::string chosen = *answer;
    if (chosen.find('/') == std::string::npos) chosen = r.saveFolder + chosen;
    std::string chosenExt = ExtensionOf(chosen);
    if (chosenExt.empty()) {
        // A name typed without extension gets the format's, as a dialog with a default extension does.
        chosen += "." + r.extension;
    } else if (chosenExt != r.extension) {
        // "memo.WAV" while recording WAV: the user agreed to replace memo.WAV; the recording
        // becomes memo.WAV.wav.
        fs::remove(chosen, ec);
        chosen += "." + r.extension;
    }

    bool keepAtOutput = false;
    if (GetFileSize32(chosen) != 0) {
        fs::remove(chosen, ec);
        if (ec) keepAtOutput = true;
    }
    if (!keepAtOutput && !MoveFileReplacing(temp, chosen)) keepAtOutput = true;
    if (keepAtOutput) {
        TellKeptAt(r.owner, r.outputPath);
        if (!MoveFileReplacing(temp, r.outputPath)) return {ManualSaveResult::KeptAtOutputPath, temp};
        return {ManualSaveResult::KeptAtOutputPath, r.outputPath};
    }
    return {ManualSaveResult::Saved, chosen};
}

}  // namespace mainwnd
