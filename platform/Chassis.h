// Whether the machine is a tablet: the firmware's chassis type (SMBIOS) 30 tablet, 31 convertible
// or 32 detachable.
#pragma once
#include <string>

namespace platform {

constexpr const char* kChassisTypePath = "/sys/class/dmi/id/chassis_type";

// Reads the chassis type from `path`; false when it is missing, unreadable or another type.
bool IsTabletPc(const std::string& path = kChassisTypePath);

}  // namespace platform
