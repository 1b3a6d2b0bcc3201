// The five WMA recording profiles and what each becomes for avenc_wmav2 + avmux_asf.
#pragma once

struct WmaProfile {
    int bitrate;      // bit/s
    int sampleRate;   // Hz
    int channels;
    int kHzLabel;     // shown by the status display
    bool stereo;      // channel label: stereo (string 1217) or mono (string 1220)
};

// Codes 0..3 are the stereo profiles; 4 and any other value the 28.8 kbit/s mono profile.
// (FFmpeg's WMA v2 encoder takes 28.8 kbit/s at 22050 Hz mono; it refuses less than 24 kbit/s.)
inline WmaProfile WmaProfileFor(int code) {
    switch (code) {
        case 0: return {128000, 44100, 2, 44, true};
        case 1: return {96000, 44100, 2, 44, true};
        case 2: return {64000, 44100, 2, 44, true};
        case 3: return {32000, 32000, 2, 32, true};
        default: return {28800, 22050, 1, 22, false};
    }
}

constexpr unsigned kStereoLabelString = 1217;
constexpr unsigned kMonoLabelString = 1220;
