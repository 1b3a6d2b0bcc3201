#include "platform/Drives.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/statvfs.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace platform {

namespace {

// Mount table fields escape blanks, tabs, newlines and backslashes as \ooo.
std::string Unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '3' && s[i + 2] >= '0' &&
            s[i + 2] <= '7' && s[i + 3] >= '0' && s[i + 3] <= '7') {
            out += static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

// Path components of an absolute path, empty ones dropped.
std::vector<std::string> Components(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t pos = 1;
    while (pos <= path.size()) {
        std::size_t next = path.find('/', pos);
        if (next == std::string::npos) next = path.size();
        if (next > pos) parts.push_back(path.substr(pos, next - pos));
        pos = next + 1;
    }
    return parts;
}

bool IsRemovableDevice(unsigned major, unsigned minor) {
    if (major == 0) return false;
    char link[64];
    std::snprintf(link, sizeof link, "/sys/dev/block/%u:%u", major, minor);
    char real[PATH_MAX];
    if (!realpath(link, real)) return false;
    std::string dev = real;
    // A partition's "removable" flag lives on its whole disk, one folder up.
    for (int up = 0; up < 2; ++up) {
        std::ifstream in(dev + "/removable");
        int flag = 0;
        if (in >> flag) return flag == 1;
        auto slash = dev.rfind('/');
        if (slash == std::string::npos) break;
        dev.erase(slash);
    }
    return false;
}

}  // namespace

std::string DriveRoot(const std::string& path) {
    if (path.empty() || path[0] != '/') return {};
    std::vector<std::string> parts = Components(path);
    auto under = [&](std::size_t depth) {
        std::string root;
        for (std::size_t i = 0; i < depth; ++i) root += "/" + parts[i];
        return root + "/";
    };
    if (parts.size() >= 3 && parts[0] == "media") return under(3);
    if (parts.size() >= 4 && parts[0] == "run" && parts[1] == "media") return under(4);
    if (parts.size() >= 2 && parts[0] == "mnt") return under(2);
    // A path that only names the parent folders of drives (/media/u) is on the root file system.
    return "/";
}

std::vector<MountEntry> ReadMountTable() {
    std::vector<MountEntry> table;
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, majmin, root, mountPoint;
        if (!(fields >> id >> parent >> majmin >> root >> mountPoint)) continue;
        std::string f;
        while (fields >> f && f != "-") {}
        MountEntry e;
        if (!(fields >> e.fsType >> e.source)) continue;
        e.mountPoint = Unescape(mountPoint);
        e.source = Unescape(e.source);
        std::sscanf(majmin.c_str(), "%u:%u", &e.major, &e.minor);
        table.push_back(std::move(e));
    }
    return table;
}

bool DriveExists(const std::string& path) {
    std::string root = DriveRoot(path);
    if (root.empty()) return false;
    if (root == "/") return true;
    std::string mountPoint = root.substr(0, root.size() - 1);
    for (const MountEntry& e : ReadMountTable()) {
        if (e.mountPoint == mountPoint) return true;
    }
    return false;
}

DriveType DriveTypeOfFileSystem(const std::string& fsType) {
    static const char* const kRemote[] = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "9p", "afs",
                                          "ceph", "glusterfs", "davfs", "fuse.sshfs", "fuse.davfs2",
                                          "fuse.rclone", "fuse.gvfsd-fuse", "fuse.s3fs", "fuse.glusterfs"};
    static const char* const kOptical[] = {"iso9660", "udf"};
    static const char* const kRam[] = {"tmpfs", "ramfs"};
    for (const char* t : kRemote)
        if (fsType == t) return DriveType::Remote;
    for (const char* t : kOptical)
        if (fsType == t) return DriveType::CdRom;
    for (const char* t : kRam)
        if (fsType == t) return DriveType::RamDisk;
    return DriveType::Fixed;
}

DriveType GetDriveType(const std::string& path) {
    std::string root = DriveRoot(path);
    if (root.empty()) return DriveType::NoRootDir;
    std::string mountPoint = root == "/" ? root : root.substr(0, root.size() - 1);
    const MountEntry* found = nullptr;
    std::vector<MountEntry> table = ReadMountTable();
    for (const MountEntry& e : table) {
        if (e.mountPoint == mountPoint) found = &e;  // the last mount on a point is the visible one
    }
    if (!found) return DriveType::NoRootDir;
    DriveType type = DriveTypeOfFileSystem(found->fsType);
    if (type != DriveType::Fixed) return type;
    if (root != "/" && IsRemovableDevice(found->major, found->minor)) return DriveType::Removable;
    return DriveType::Fixed;
}

std::optional<std::uint64_t> FreeBytes(const std::string& path) {
    struct statvfs st;
    if (path.empty() || statvfs(path.c_str(), &st) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(st.f_bavail) * static_cast<std::uint64_t>(st.f_frsize);
}

}  // namespace platform
