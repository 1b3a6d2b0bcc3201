// Drives are mounted file systems. The drive root of a path under /media/USER/NAME,
// /run/media/USER/NAME or /mnt/NAME is that folder (with a trailing "/"); of any other absolute
// path it is "/". A relative path has no drive.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The drive root of `path` ("/media/u/STICK/", "/"), or empty text for a path without one.
std::string DriveRoot(const std::string& path);

// Whether the drive of `path` exists now: its root is "/" or a mount point in the mount table.
bool DriveExists(const std::string& path);

// Drive kinds, numbered as the classic drive-type query answers.
enum class DriveType {
    Unknown = 0,
    NoRootDir = 1,  // not mounted
    Removable = 2,
    Fixed = 3,
    Remote = 4,     // network file systems
    CdRom = 5,      // optical file systems
    RamDisk = 6,
};
// The type of the file system holding the drive root of `path`.
DriveType GetDriveType(const std::string& path);

// Bytes free for an unprivileged user on the file system holding `path` (statvfs); nullopt when
// the path cannot be examined.
std::optional<std::uint64_t> FreeBytes(const std::string& path);

// One line of the mount table (/proc/self/mountinfo), with octal escapes decoded.
struct MountEntry {
    std::string mountPoint;
    std::string fsType;
    std::string source;
    unsigned major = 0;
    unsigned minor = 0;
};
std::vector<MountEntry> ReadMountTable();

// Classifies a file system type name ("nfs4", "iso9660", "fuse.sshfs", ...).
DriveType DriveTypeOfFileSystem(const std::string& fsType);

}  // namespace platform
