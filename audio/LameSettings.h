// The MP3 encoder's settings, kept where the encoder reads them: HKEY_CURRENT_USER
// "Software\GNU\LAME MPEG Layer III Audio Encoder Filter". The main window writes the fixed values
// once at start-up (WriteLameDefaults), the General page the quality it chose (WriteLameQuality), and
// the recording graph reads them when it builds the MP3 chain and configures lamemp3enc from them only.
// Every reader and writer goes through this file, so the value names stand in one place.
#pragma once
#include <cstdint>
#include <vector>

typedef struct _GstElement GstElement;

inline constexpr const char* kLameRegistryKey = "Software\\GNU\\LAME MPEG Layer III Audio Encoder Filter";

// The encoder key's value names (all REG_DWORD).
namespace lamevalue {
inline constexpr const char* SampleRate = "Sample Rate";
inline constexpr const char* Bitrate = "Bitrate";
inline constexpr const char* StereoMode = "Stereo Mode";
inline constexpr const char* ForceMono = "Force Mono";
inline constexpr const char* Quality = "Quality";
inline constexpr const char* Variable = "Variable";
inline constexpr const char* VbrQuality = "VBR Quality";
inline constexpr const char* VariableMax = "VariableMax";
inline constexpr const char* VariableMin = "VariableMin";
inline constexpr const char* Copyright = "Copyright";
inline constexpr const char* Original = "Original";
inline constexpr const char* Crc = "CRC";
inline constexpr const char* XingTag = "Xing Tag";
inline constexpr const char* EnforceVbrMin = "EnforceVBRmin";
inline constexpr const char* ForceMs = "Force MS";
inline constexpr const char* KeepAllFrequencies = "Keep All Frequencies";
inline constexpr const char* ModeFixed = "Mode Fixed";
inline constexpr const char* NoShortBlock = "No Short Block";
inline constexpr const char* Pes = "PES";
inline constexpr const char* SetDuration = "Set Duration";
inline constexpr const char* StrictIso = "Strict ISO";
inline constexpr const char* VoiceMode = "Voice Mode";
}  // namespace lamevalue

struct LameValue {
    const char* name;
    std::uint32_t value;
};

// The fixed values, in the order they are written.
const std::vector<LameValue>& LameDefaultValues();

// Writes the fixed values (creating the key); false when the key cannot be written.
bool WriteLameDefaults();

// Writes the quality the General page chose; false when the key cannot be written.
bool WriteLameQuality(std::uint32_t sampleRate, std::uint32_t bitrate, std::uint32_t stereoMode, bool forceMono);

struct LameSettings {
    std::uint32_t sampleRate = 44100;  // "Sample Rate"
    std::uint32_t bitrate = 128;       // "Bitrate", kbit/s (CBR, and the VBR minimum when "Variable")
    std::uint32_t stereoMode = 0;      // "Stereo Mode": 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    bool forceMono = false;            // "Force Mono"
    std::uint32_t quality = 5;         // "Quality", 0 best .. 9 fastest
    bool variable = false;             // "Variable"
    std::uint32_t vbrQuality = 4;      // "VBR Quality"
    std::uint32_t vbrMax = 160;        // "VariableMax"
    std::uint32_t vbrMin = 80;         // "VariableMin"
    bool copyright = false;            // "Copyright"
    bool original = false;             // "Original"
    bool crc = false;                  // "CRC"
    bool xingTag = false;              // "Xing Tag"

    bool Mono() const { return forceMono || stereoMode == 3; }
};

// The values in the encoder key; absent values keep the defaults above.
LameSettings ReadLameSettings();

// Sets lamemp3enc's properties from the settings. Values the encoder cannot take (a bitrate of 0)
// leave its own default.
void ApplyLameSettings(GstElement* lamemp3enc, const LameSettings& settings);
