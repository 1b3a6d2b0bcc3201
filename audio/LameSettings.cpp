#include "audio/LameSettings.h"

#include <gst/gst.h>

#include "platform/Registry.h"

LameSettings ReadLameSettings() {
    LameSettings s;
    platform::RegKey key;
    if (!key.OpenForQuery(platform::Hive::CurrentUser, kLameRegistryKey)) return s;
    auto read = [&](const char* name, std::uint32_t& field) {
        if (auto v = key.QueryDword(name)) field = *v;
    };
    auto readBool = [&](const char* name, bool& field) {
        if (auto v = key.QueryDword(name)) field = *v != 0;
    };
    read(lamevalue::SampleRate, s.sampleRate);
    read(lamevalue::Bitrate, s.bitrate);
    read(lamevalue::StereoMode, s.stereoMode);
    readBool(lamevalue::ForceMono, s.forceMono);
    read(lamevalue::Quality, s.quality);
    readBool(lamevalue::Variable, s.variable);
    read(lamevalue::VbrQuality, s.vbrQuality);
    read(lamevalue::VariableMax, s.vbrMax);
    read(lamevalue::VariableMin, s.vbrMin);
    readBool(lamevalue::Copyright, s.copyright);
    readBool(lamevalue::Original, s.original);
    readBool(lamevalue::Crc, s.crc);
    readBool(lamevalue::XingTag, s.xingTag);
    return s;
}

const std::vector<LameValue>& LameDefaultValues() {
    using namespace lamevalue;
    static const std::vector<LameValue> values = {
        {Copyright, 0},  {Crc, 0},          {EnforceVbrMin, 0}, {ForceMs, 0},       {KeepAllFrequencies, 0},
        {ModeFixed, 0},  {NoShortBlock, 0}, {Original, 0},      {Pes, 0},           {Quality, 5},
        {SetDuration, 1}, {StrictIso, 0},   {Variable, 0},      {VariableMax, 160}, {VariableMin, 80},
        {VbrQuality, 4}, {VoiceMode, 0},    {XingTag, 0},
    };
    return values;
}

bool WriteLameDefaults() {
    platform::RegKey key;
    if (!key.OpenForWrite(platform::Hive::CurrentUser, kLameRegistryKey, true)) return false;
    bool ok = true;
    for (const auto& [name, value] : LameDefaultValues()) ok = key.SetDword(name, value) && ok;
    return ok;
}

bool WriteLameQuality(std::uint32_t sampleRate, std::uint32_t bitrate, std::uint32_t stereoMode, bool forceMono) {
    platform::RegKey key;
    if (!key.OpenForWrite(platform::Hive::CurrentUser, kLameRegistryKey, true)) return false;
    bool ok = key.SetDword(lamevalue::SampleRate, sampleRate);
    ok = key.SetDword(lamevalue::Bitrate, bitrate) && ok;
    ok = key.SetDword(lamevalue::StereoMode, stereoMode) && ok;
    ok = key.SetDword(lamevalue::ForceMono, forceMono ? 1 : 0) && ok;
    return ok;
}

void ApplyLameSettings(GstElement* enc, const LameSettings& s) {
    if (!enc) return;
    // LAME's quality 0..9 onto the element's three engine settings (0 fast, 1 standard, 2 high).
    int engine = s.quality <= 2 ? 2 : s.quality <= 6 ? 1 : 0;
    g_object_set(enc, "encoding-engine-quality", engine, "mono", s.Mono() ? TRUE : FALSE, nullptr);
    if (s.variable) {
        g_object_set(enc, "target", 0, "quality", static_cast<gfloat>(s.vbrQuality > 9 ? 9 : s.vbrQuality), nullptr);
    } else {
        g_object_set(enc, "target", 1, "cbr", TRUE, nullptr);
        if (s.bitrate >= 8 && s.bitrate <= 320) g_object_set(enc, "bitrate", static_cast<gint>(s.bitrate), nullptr);
    }
}
