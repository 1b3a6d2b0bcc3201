#include "tests/audio/AudioTestSupport.h"

#include "audio/LameSettings.h"
#include "platform/Registry.h"

namespace audiotest {

int ListDevicesAndFindVirtualMic(VectorListBox& devices) {
    if (EnumerateDevices(nullptr, CLSID_AudioInputDeviceCategory, devices) != S_OK) return -1;
    for (int i = 0; i < devices.GetCount(); ++i) {
        auto moniker = devices.GetItemData(i);
        if (moniker && moniker->SourceName() == "virtual_mic") return i;
    }
    return -1;
}

bool BindVirtualMic(CCaptureGraph& graph) {
    VectorListBox devices, inputs;
    int found = ListDevicesAndFindVirtualMic(devices);
    return found >= 0 && SUCCEEDED(graph.SelectCaptureDevice(devices, found, inputs));
}

void WriteLameValues(int mp3Profile, int mp3Mode) {
    WriteLameDefaults();
    platform::RegKey key;
    if (!key.OpenForWrite(platform::Hive::CurrentUser, kLameRegistryKey, true)) return;
    static const unsigned rates[] = {44100, 44100, 44100, 22050, 22050};
    static const unsigned bitrates[] = {320, 128, 64, 128, 64};
    if (mp3Profile >= 0 && mp3Profile <= 4) {
        key.SetDword("Sample Rate", rates[mp3Profile]);
        key.SetDword("Bitrate", bitrates[mp3Profile]);
    } else {
        key.SetDword("Bitrate", 0);
    }
    key.SetDword("Stereo Mode", mp3Mode == 1 ? 3 : 0);
    key.SetDword("Force Mono", mp3Mode == 1 ? 1 : 0);
}

HRESULT BuildFor(CCaptureGraph& graph, Format format) {
    graph.m_bWav = format == Format::Wav;
    graph.m_bMp3 = format == Format::Mp3;
    graph.m_bWma = format == Format::Wma;
    switch (format) {
        case Format::Wav:
            graph.ConfigureWavCapture();
            return graph.BuildWavGraph();
        case Format::Mp3:
            return graph.BuildMp3Graph();
        case Format::Wma:
            return graph.BuildWmaGraph();
    }
    return E_FAIL;
}

}  // namespace audiotest
