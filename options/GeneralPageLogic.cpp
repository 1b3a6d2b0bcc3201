#include "options/GeneralPageLogic.h"

#include <cerrno>
#include <cstdio>
#include <limits>

#include <unistd.h>

#include "app/SettingsStore.h"
#include "options/OptionsIds.h"

namespace options {

ComboState* QualityPanel::ById(int id) {
    using namespace general;
    switch (id) {
        case kWavRate: return &wavRate;
        case kWavChannels: return &wavChannels;
        case kWavBits: return &wavBits;
        case kMp3Quality: return &mp3Quality;
        case kUnused: return &unused;
        case kWmaQuality: return &wmaQuality;
        case kWmaStereo: return &wmaStereo;
        case kWmaMono: return &wmaMono;
        case kMp3Channels: return &mp3Channels;
        default: return nullptr;
    }
}

const ComboState* QualityPanel::ById(int id) const { return const_cast<QualityPanel*>(this)->ById(id); }

std::optional<std::string> WavEstimate(int frequency, int mode, int bit) {
    if (frequency < 0 || frequency > 2 || mode < 0 || mode > 1 || bit < 0 || bit > 1) return std::nullopt;
    // Each halving of the data rate (lower rate, mono, 8-bit) moves one step down the table.
    static const char* const kTexts[] = {"10320 KB", "5160 KB", "2580 KB", "1320 KB", "660 KB"};
    return kTexts[frequency + mode + bit];
}

std::optional<std::string> Mp3Estimate(int profile) {
    static const char* const kTexts[] = {"2398 KB", "958 KB", "479 KB", "958 KB", "479 KB"};
    if (profile < 0 || profile > 4) return std::nullopt;
    return kTexts[profile];
}

std::optional<std::string> WmaEstimate(int profile) {
    static const char* const kTexts[] = {"1040 KB", "784 KB", "528 KB", "258 KB", "160 KB"};
    if (profile < 0 || profile > 4) return std::nullopt;
    return kTexts[profile];
}

namespace {

void ShowEstimate(QualityPanel& panel, const std::optional<std::string>& text) {
    if (text) panel.estimate = *text;
}

// A stored code that names no item shows the default item instead of an empty list.
void SelectStored(ComboState& combo, int code, int fallback) {
    combo.Select(code >= 0 && code < combo.count ? code : fallback);
}

void ShowMp3Estimate(QualityPanel& panel) {
    if (panel.mp3Quality.selection >= 0) panel.codes.mp3Profile = panel.mp3Quality.selection;
    if (panel.mp3Channels.selection >= 0) panel.codes.mp3Mode = panel.mp3Channels.selection;
    ShowEstimate(panel, Mp3Estimate(panel.mp3Quality.selection));
}

void ShowWavEstimate(QualityPanel& panel) {
    ShowEstimate(panel, WavEstimate(panel.wavRate.selection, panel.wavChannels.selection, panel.wavBits.selection));
}

}  // namespace

void ChooseMp3(QualityPanel& panel, bool& restoring, const QualityCodes& stored) {
    for (ComboState* c : {&panel.wmaQuality, &panel.wavRate, &panel.wavBits, &panel.unused, &panel.wavChannels,
                          &panel.wmaStereo, &panel.wmaMono})
        c->visible = false;
    panel.mp3Quality.visible = true;
    panel.mp3Channels.visible = true;
    panel.wmaMono.Select(0);
    panel.mp3Channels.Select(0);
    if (restoring) {
        SelectStored(panel.mp3Quality, stored.mp3Profile, 1);
        SelectStored(panel.mp3Channels, stored.mp3Mode, 0);
    } else {
        panel.mp3Quality.Select(1);
        panel.mp3Channels.Select(0);
    }
    restoring = false;
    panel.wavRate.Select(0);
    panel.wavBits.Select(0);
    panel.wavChannels.Select(0);
    panel.wmaQuality.Select(1);
    Mp3QualityChanged(panel);
    panel.format = OutputFormat::Mp3;
    panel.caption = IDS_QUALITY_MP3;
}

void ChooseWav(QualityPanel& panel, bool& restoring, const QualityCodes& stored) {
    panel.wmaQuality.visible = false;
    panel.mp3Quality.visible = false;
    panel.unused.visible = false;
    panel.wavRate.visible = true;
    panel.wavBits.visible = true;
    panel.wavChannels.visible = true;
    panel.wmaStereo.visible = false;
    panel.wmaMono.visible = false;
    panel.mp3Channels.visible = false;
    panel.wmaMono.Select(0);
    panel.mp3Channels.Select(0);
    panel.format = OutputFormat::Wav;
    if (restoring) {
        SelectStored(panel.wavRate, stored.wavFrequency, 0);
        SelectStored(panel.wavBits, stored.wavBit, 0);
        SelectStored(panel.wavChannels, stored.wavMode, 0);
        restoring = false;
    } else {
        panel.wavRate.Select(0);
        panel.wavBits.Select(0);
        panel.wavChannels.Select(0);
    }
    panel.wmaQuality.Select(1);
    panel.mp3Quality.Select(1);
    panel.caption = IDS_QUALITY_WAV;
    ShowWavEstimate(panel);
}

void ChooseWma(QualityPanel& panel, bool& restoring, const QualityCodes& stored) {
    panel.wmaQuality.visible = true;
    for (ComboState* c : {&panel.mp3Quality, &panel.unused, &panel.wavRate, &panel.wavBits, &panel.wavChannels})
        c->visible = false;
    panel.wmaStereo.visible = true;
    panel.wmaStereo.Select(0);
    panel.wmaMono.visible = false;
    panel.mp3Channels.visible = false;
    panel.wmaMono.Select(0);
    if (restoring) {
        SelectStored(panel.wmaQuality, stored.wmaProfile, 1);
        if (panel.wmaQuality.selection == 4) {
            panel.wmaMono.visible = true;
            panel.wmaMono.Select(0);
        } else {
            panel.wmaStereo.visible = true;
            panel.wmaStereo.Select(0);
        }
        restoring = false;
    } else {
        panel.wmaQuality.Select(1);
        panel.wmaStereo.Select(0);
    }
    panel.wavRate.Select(0);
    panel.wavBits.Select(0);
    panel.wavChannels.Select(0);
    panel.mp3Quality.Select(1);
    panel.mp3Channels.Select(0);
    panel.caption = IDS_QUALITY_WMA;
    panel.format = OutputFormat::Wma;
    ShowEstimate(panel, WmaEstimate(panel.wmaQuality.selection));
}

void WavQualityChanged(QualityPanel& panel) {
    if (panel.wavRate.selection >= 0) panel.codes.wavFrequency = panel.wavRate.selection;
    if (panel.wavChannels.selection >= 0) panel.codes.wavMode = panel.wavChannels.selection;
    if (panel.wavBits.selection >= 0) panel.codes.wavBit = panel.wavBits.selection;
    ShowWavEstimate(panel);
}

void Mp3QualityChanged(QualityPanel& panel) { ShowMp3Estimate(panel); }

void Mp3ChannelsChanged(QualityPanel& panel) { ShowMp3Estimate(panel); }

void WmaQualityChanged(QualityPanel& panel) {
    const int code = panel.wmaQuality.selection;
    if (code >= 0) panel.codes.wmaProfile = code;
    ShowEstimate(panel, WmaEstimate(code));
    if (code == 4) {
        panel.wmaMono.visible = true;
        panel.wmaMono.Select(0);
        panel.wmaStereo.visible = false;
    } else {
        panel.wmaMono.visible = false;
        panel.wmaStereo.visible = true;
        panel.wmaStereo.Select(0);
    }
}

bool RestoreDefaultQuality(QualityPanel& panel) {
    switch (panel.format) {
        case OutputFormat::Mp3:
            panel.mp3Channels.Select(0);
            panel.mp3Quality.Select(1);
            ShowMp3Estimate(panel);
            return false;
        case OutputFormat::Wma:
            panel.wmaQuality.Select(1);
            panel.wmaMono.visible = false;
            panel.wmaStereo.visible = true;
            panel.wmaStereo.Select(0);
            WmaQualityChanged(panel);
            return true;
        case OutputFormat::Wav:
            panel.wavRate.Select(0);
            panel.wavBits.Select(0);
            panel.wavChannels.Select(0);
            ShowWavEstimate(panel);
            return false;
        case OutputFormat::None:
            break;
    }
    return false;
}

void TakeSelectedCodes(QualityPanel& panel, const QualityCodes& stored) {
    auto take = [](const ComboState& combo, int& code, int storedCode) {
        code = combo.selection >= 0 ? combo.selection : storedCode;
    };
    take(panel.wavRate, panel.codes.wavFrequency, stored.wavFrequency);
    take(panel.wavBits, panel.codes.wavBit, stored.wavBit);
    take(panel.wavChannels, panel.codes.wavMode, stored.wavMode);
    take(panel.wmaQuality, panel.codes.wmaProfile, stored.wmaProfile);
    take(panel.mp3Quality, panel.codes.mp3Profile, stored.mp3Profile);
    take(panel.mp3Channels, panel.codes.mp3Mode, stored.mp3Mode);
}

std::string MakeAutoFileName(std::time_t moment) {
    std::tm local{};
    if (!localtime_r(&moment, &local)) return {};
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d-%02d-%02d-%02dh-%02dm-%02ds", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return buffer;
}

std::string ExampleText(const std::string& name) { return "Ex) " + name; }

FolderCheck CheckSaveFolder(const std::string& folder) {
    if (folder.size() > kMaxSaveFolderLength) return {FolderVerdict::TooLong, ENAMETOOLONG};
    const std::string base = app::WithTrailingSlash(folder);
    // A user's Temp.txt in the folder is never touched: then probe with a file of our own.
    const std::string probes[] = {"Temp.txt", ".murmelo-probe-" + std::to_string(::getpid()) + ".txt"};
    for (const std::string& probe : probes) {
        const int error = app::ProbeSaveFolder(base, probe);
        if (error == 0) return {};
        if (error == EEXIST) continue;
        if (error == EACCES || error == EPERM) return {FolderVerdict::AccessDenied, EACCES};
        if (error == EROFS) return {FolderVerdict::AccessDenied, EROFS};
        if (error == ENOENT || error == ENOTDIR) return {FolderVerdict::PathNotFound, ENOENT};
        if (error == ENAMETOOLONG) return {FolderVerdict::TooLong, ENAMETOOLONG};
        return {};  // other failures (a full disk) are left to the recording itself
    }
    return {};
}

std::uint32_t BytesToFreeMB(std::uint64_t freeBytes) {
    const std::uint64_t mb = freeBytes / 1048576u;
    return mb > std::numeric_limits<std::uint32_t>::max() ? std::numeric_limits<std::uint32_t>::max()
                                                           : static_cast<std::uint32_t>(mb);
}

namespace {
bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

void EnableAll(MicPlan& plan, bool on) {
    plan.labelEnabled = plan.builtInEnabled = plan.externalEnabled = on;
}

// The choices a SoundMAX device offers for its microphone input.
void SoundMaxMicrophone(MicPlan& plan, int micConfiguration, bool storedBuiltIn) {
    switch (micConfiguration) {
        case kMicConfigBuiltInAndExternal:
            EnableAll(plan, true);
            plan.helper = storedBuiltIn ? MicHelper::BuiltIn : MicHelper::External;
            plan.check = storedBuiltIn ? MicCheck::BuiltIn : MicCheck::External;
            break;
        case kMicConfigExternalOnly:
            plan.labelEnabled = plan.externalEnabled = true;
            plan.builtInEnabled = false;
            plan.check = MicCheck::External;
            break;
        case kMicConfigBuiltInOnly:
            plan.labelEnabled = plan.builtInEnabled = true;
            plan.externalEnabled = false;
            plan.check = MicCheck::BuiltIn;
            break;
        default:
            break;
    }
}
}  // namespace

MicPlan PlanMicrophoneControls(const std::string& deviceName, int micConfiguration, bool inputIsMicrophone,
                               bool storedBuiltIn) {
    MicPlan plan;
    if (Contains(deviceName, "SoundMAX")) {
        if (micConfiguration == kMicConfigNone) {
            plan.touch = true;
            EnableAll(plan, false);
            plan.check = MicCheck::None;
        } else if (inputIsMicrophone && micConfiguration >= kMicConfigBuiltInAndExternal && micConfiguration <= kMicConfigExternalOnly) {
            plan.touch = true;
            SoundMaxMicrophone(plan, micConfiguration, storedBuiltIn);
        }
    } else if (Contains(deviceName, "Realtek")) {
        if (micConfiguration == kMicConfigExternalOnly && inputIsMicrophone) {
            plan.touch = true;
            EnableAll(plan, false);
        }
    } else if (inputIsMicrophone) {
        plan.touch = true;
        EnableAll(plan, false);
        plan.selectFirstInput = true;
    }
    return plan;
}

MicPlan PlanInputChanged(const std::string& deviceName, int micConfiguration, bool inputIsMicrophone,
                         bool storedBuiltIn) {
    MicPlan plan;
    plan.touch = true;
    EnableAll(plan, false);
    plan.check = MicCheck::None;
    if (Contains(deviceName, "SoundMAX")) {
        if (inputIsMicrophone) SoundMaxMicrophone(plan, micConfiguration, storedBuiltIn);
    } else if (Contains(deviceName, "Realtek")) {
        // The controls stay disabled; the external microphone is the only one there.
    } else if (inputIsMicrophone) {
        plan.disableOk = true;
        plan.warnOtherInput = true;
        plan.modified = false;
    }
    return plan;
}

LameProfile LameProfileFor(int mp3Profile, int mp3Mode, std::uint32_t previousRate, std::uint32_t previousStereoMode) {
    static const std::uint32_t kRates[] = {44100, 44100, 44100, 22050, 22050};
    static const std::uint32_t kBitrates[] = {320, 128, 64, 128, 64};
    LameProfile p;
    if (mp3Profile >= 0 && mp3Profile <= 4) {
        p.sampleRate = kRates[mp3Profile];
        p.bitrate = kBitrates[mp3Profile];
    } else {
        p.sampleRate = previousRate;
        p.bitrate = 0;
    }
    if (mp3Mode == 0) {
        p.stereoMode = 0;
        p.forceMono = 0;
    } else if (mp3Mode == 1) {
        p.stereoMode = 3;
        p.forceMono = 1;
    } else {
        p.stereoMode = previousStereoMode;
        p.forceMono = 0;
    }
    return p;
}

int ChoiceAfterRefill(const std::vector<std::string>& names, const std::string& shown, int fallback) {
    const int count = static_cast<int>(names.size());
    if (!shown.empty()) {
        for (int i = 0; i < count; ++i)
            if (names[static_cast<std::size_t>(i)] == shown) return i;
    }
    if (fallback >= 0 && fallback < count) return fallback;
    return count > 0 ? 0 : -1;
}

bool MicRadiosStartHelpers(const std::string& deviceName, int micConfiguration) {
    return Contains(deviceName, "SoundMAX") && micConfiguration == kMicConfigBuiltInAndExternal;
}

}  // namespace options
