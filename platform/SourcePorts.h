// A capture device's inputs as the sound server knows them: the ports of a source (microphone jack,
// line in, …), and which one is active. The real service asks PulseAudio (or PipeWire's PulseAudio
// server); tests of hardware ports put a stand-in behind the same interface.
#pragma once
#include <map>
#include <string>
#include <vector>

namespace platform {

struct SourcePort {
    std::string name;         // the server's port name ("analog-input-mic")
    std::string description;  // what a user sees ("Microphone"); may be empty
    bool available = true;    // false when the server knows the jack is unplugged
};

// Source name -> its ports, in the server's order. Sources without ports have an empty list.
using SourcePortTable = std::map<std::string, std::vector<SourcePort>>;

class ISourcePorts {
public:
    virtual ~ISourcePorts() = default;
    // Every source's ports; empty when no sound server answers in time.
    virtual SourcePortTable ListPorts() = 0;
    // Makes `port` the active port of `source`; false when the server refuses or does not answer.
    virtual bool SetActivePort(const std::string& source, const std::string& port) = 0;
};

// The service in use: PulseAudio unless a test installed another.
ISourcePorts& SourcePorts();
// For tests: installs a stand-in (not owned); null restores the sound server's.
void SetSourcePorts(ISourcePorts* service);

// The name a port is listed under as a capture input: its description, else its name.
std::string PortInputName(const SourcePort& port);

}  // namespace platform
