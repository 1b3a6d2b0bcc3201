// The MP3 encoder's settings, kept where the encoder reads them: HKEY_CURRENT_USER
// "Software\GNU\LAME MPEG Layer III Audio Encoder Filter", written by the main window
// (WriteLameDefaults) and the General page (WriteLameProfile). The recording graph reads them when it
// builds the MP3 chain and configures lamemp3enc from them only.
#pragma once
#include <cstdint>

typedef struct _GstElement GstElement;

inline constexpr const char* kLameRegistryKey = "Software\\GNU\\LAME MPEG Layer III Audio Encoder Filter";

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
