// The recorder program's own resources, compiled into it: accelerator table 157, the version block
// and icon group 103. (The message table is in MessageTable.h.)
#pragma once
#include <span>
#include <string_view>

#include <wx/accel.h>
#include <wx/iconbndl.h>

namespace resources {

struct VersionBlock {
    std::string_view fileVersion;
    std::string_view productVersion;
    std::string_view companyName;
    std::string_view fileDescription;
    std::string_view internalName;
    std::string_view productName;
    std::string_view originalFilename;
};
constexpr VersionBlock kProgramVersion = {"1.0.1.38", "1.0.1.38", "Quarnet Electronics", "Quarnet Murmelo",
                                          "Murmelo", "Murmelo", "Murmelo"};

// A virtual-key accelerator: `key` is the key's upper-case letter, `control` the Ctrl modifier.
struct Accelerator {
    bool control;
    int key;
    int command;
};
constexpr unsigned kProgramAcceleratorTable = 157;
std::span<const Accelerator> ProgramAccelerators();
wxAcceleratorTable MakeAcceleratorTable(std::span<const Accelerator> entries);

// Icon group 103 as PNG images (16, 32, 48 and 256 pixels square).
constexpr unsigned kProgramIconId = 103;
std::string_view ProgramIconPng(int size);  // empty for a size the group lacks
wxIconBundle ProgramIcon();

}  // namespace resources
