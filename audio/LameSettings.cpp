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
    read("Sample Rate", s.sampleRate);
    read("Bitrate", s.bitrate);
    read("Stereo Mode", s.stereoMode);
    readBool("Force Mono", s.forceMono);
    read("Quality", s.quality);
    readBool("Variable", s.variable);
    read("VBR Quality", s.vbrQuality);
    read("VariableMax", s.vbrMax);
    read("VariableMin", s.vbrMin);
    readBool("Copyright", s.copyright);
    readBool("Original", s.original);
    readBool("CRC", s.crc);
    readBool("Xing Tag", s.xingTag);
    return s;
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
