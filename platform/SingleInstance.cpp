#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

std::string RuntimeFolder() {
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir && dir[0] == '/') return dir;
    std::string folder = "/tmp/murmelo-" + std::to_string(getuid());
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
    struct stat st;
    // A folder of that name made by someone else (or a link to one) is not ours to use.
    if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() || (st.st_mode & 077) != 0) {
        std::fprintf(stderr, "murmelo: %s is not a private folder of this user; no single-instance guard\n",
                     folder.c_str());
        return {};
    }
    return folder;
}

SingleInstanceLock::SingleInstanceLock(const std::string& name) {
    const std::string folder = RuntimeFolder();
    if (folder.empty()) return;
    const std::string path = folder + "/" + name;
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) return;
    int rc;
    do {
        rc = flock(fd_, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        alreadyExists_ = errno == EWOULDBLOCK;
        close(fd_);
        fd_ = -1;
    }
}

SingleInstanceLock::~SingleInstanceLock() {
    if (fd_ >= 0) close(fd_);
}

}  // namespace platform
