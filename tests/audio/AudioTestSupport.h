// Shared bits of the audio engine tests: recording one file through the engine from the virtual
// microphone, and the LAME registry values the main window and General page would write.
#pragma once
#include <filesystem>
#include <string>

#include "audio/CaptureGraph.h"

namespace audiotest {

enum class Format { Wav, Mp3, Wma };

// Lists the capture devices into `devices`; the index of the virtual microphone, or -1.
int ListDevicesAndFindVirtualMic(VectorListBox& devices);

// Binds the session's default source ("virtual_mic") into the graph, as the main window does.
bool BindVirtualMic(CCaptureGraph& graph);

// Writes the encoder key's values for an MP3 profile and mode code (as WriteLameDefaults and
// WriteLameProfile do).
void WriteLameValues(int mp3Profile, int mp3Mode);

// Builds the chain for the format on a graph with the virtual microphone bound.
HRESULT BuildFor(CCaptureGraph& graph, Format format);

}  // namespace audiotest
