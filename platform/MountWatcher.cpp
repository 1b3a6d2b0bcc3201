#include "platform/MountWatcher.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <set>
#include <string>

#include "platform/Drives.h"

namespace platform {

namespace {
std::set<std::string> MountPoints() {
    std::set<std::string> points;
    for (const MountEntry& e : ReadMountTable()) points.insert(e.mountPoint);
    return points;
}
}  // namespace

bool MountWatcher::Start(WindowRef target) {
    Stop();
    const int mountinfo = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (mountinfo < 0) return false;
    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        ::close(mountinfo);
        return false;
    }
    wakeFd_ = wake;
    thread_ = std::thread(&MountWatcher::Run, this, target, mountinfo, wake);
    return true;
}

void MountWatcher::Stop() {
    if (!thread_.joinable()) return;
    const std::uint64_t one = 1;
    while (::write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
    thread_.join();
    ::close(wakeFd_);
    wakeFd_ = -1;
}

void MountWatcher::Run(WindowRef target, int mountinfo, int wake) {
    // The descriptor was opened before this reading, so a change in between is still reported.
    std::set<std::string> known = MountPoints();
    for (;;) {
        pollfd fds[2] = {{mountinfo, POLLPRI, 0}, {wake, POLLIN, 0}};
        const int n = ::poll(fds, 2, -1);
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[1].revents) break;
        if (!(fds[0].revents & (POLLPRI | POLLERR))) continue;

        std::set<std::string> now = MountPoints();
        bool added = false, removed = false;
        for (const std::string& p : now) added |= !known.count(p);
        for (const std::string& p : known) removed |= !now.count(p);
        known = std::move(now);
        if (added) PostWindowMessage(target, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, kDeviceClassDrive);
        if (removed) PostWindowMessage(target, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, kDeviceClassDrive);
        if (!added && !removed) PostWindowMessage(target, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, kDeviceClassDrive);
    }
    ::close(mountinfo);
}

}  // namespace platform
