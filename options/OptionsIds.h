// Control, string and message numbers of the options sheet's templates (107 General, 108 Advanced,
// 152 details) as the resource module names them.
#pragma once
#include <cstdint>

#include "platform/WindowMessage.h"

namespace options {

// Templates.
constexpr unsigned IDD_GENERAL_PAGE = 107;
constexpr unsigned IDD_ADVANCED_PAGE = 108;
constexpr unsigned IDD_SPECIAL_RECORDING = 152;

// Strings.
constexpr unsigned IDS_SHEET_TITLE = 1202;
constexpr unsigned IDS_QUALITY_MP3 = 1231;
constexpr unsigned IDS_QUALITY_WMA = 1232;
constexpr unsigned IDS_QUALITY_WAV = 1233;
constexpr unsigned IDS_CHOOSE_FOLDER = 1235;
constexpr unsigned IDS_LIMIT_TOO_SHORT = 1236;
constexpr unsigned IDS_WARNING = 1237;
constexpr unsigned IDS_RECORD_VOLUME = 1241;

// Message table: the chosen drive is not usable.
constexpr unsigned MSG_DRIVE_NOT_ACCESSIBLE = 1014;

// Messages to the main window.
constexpr std::uint32_t WM_INPUT_DEVICE_CHANGED = platform::WM_APP + 7;
constexpr std::uint32_t WM_OPTIONS_APPLIED = platform::WM_APP + 8;

// General page (template 107).
namespace general {
constexpr int kWavRate = 1045;
constexpr int kWavChannels = 1037;
constexpr int kWavBits = 1038;
constexpr int kMp3Quality = 1047;
constexpr int kUnused = 1040;
constexpr int kWmaQuality = 1046;
constexpr int kWmaStereo = 1039;
constexpr int kWmaMono = 1041;
constexpr int kDevice = 1025;
constexpr int kInput = 1012;
constexpr int kVolumeSlider = 1058;
constexpr int kMp3Channels = 1042;
constexpr int kMicLabel = 1081;
constexpr int kMicBuiltIn = 1079;
constexpr int kMicExternal = 1080;
constexpr int kRadioMp3 = 1052;
constexpr int kRadioWma = 1053;
constexpr int kRadioWav = 1024;
constexpr int kRadioManual = 1055;
constexpr int kRadioAutomatic = 1056;
constexpr int kQualityCaption = 1050;
constexpr int kEstimate = 1054;
constexpr int kVolumeCaption = 1063;
constexpr int kFolder = 1026;
constexpr int kExampleName = 1014;
constexpr int kDefault = 1011;
constexpr int kBrowse = 1019;
}  // namespace general

// Advanced page (template 108).
namespace advanced {
constexpr int kHours = 1013;
constexpr int kMinutes = 1015;
constexpr int kSpin = 1067;
constexpr int kSilenceEdit = 1064;
constexpr int kRadioLimit = 1030;
constexpr int kRadioNoLimit = 1057;
constexpr int kRadioEqualizer = 1022;
constexpr int kRadioSpectrum = 1024;
constexpr int kRadioGraph = 1023;
constexpr int kRadioModeNone = 1069;
constexpr int kRadioModeVoice = 1070;
constexpr int kRadioModeDirectional = 1071;
constexpr int kRadioModeSpeakerPhone = 1072;
constexpr int kDetails = 1012;
constexpr int kRecordingVolume = 1041;
constexpr int kPlaybackVolume = 1014;
constexpr int kFreeSpace = 1061;
constexpr int kSilenceDefault = 1011;
constexpr int kSilenceCheck = 1017;
constexpr int kPreviewEqualizer = 1524;
constexpr int kPreviewSpectrum = 1525;
constexpr int kPreviewGraph = 1526;
}  // namespace advanced

}  // namespace options
