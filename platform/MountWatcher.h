// Watches the mount table (/proc/self/mountinfo): the kernel marks the file readable with an
// exceptional condition whenever a file system is mounted or unmounted in our mount namespace.
// Each change posts WM_DEVICECHANGE to a window: DBT_DEVICEARRIVAL when mount points were added,
// DBT_DEVICEREMOVECOMPLETE when some went away (one message each when both happened), and
// DBT_DEVNODES_CHANGED when only their options changed; lParam is kDeviceClassDrive.
#pragma once
#include <atomic>
#include <thread>

#include "platform/DeviceChange.h"
#include "platform/WindowMessage.h"

namespace platform {

class MountWatcher {
public:
    MountWatcher() = default;
    ~MountWatcher() { Stop(); }
    MountWatcher(const MountWatcher&) = delete;
    MountWatcher& operator=(const MountWatcher&) = delete;

    // Starts a watching thread that posts to `target`. False when the mount table cannot be
    // watched (nothing is posted then). Starting again restarts with the new target.
    bool Start(WindowRef target);
    // Ends the thread; no message is posted after it returns.
    void Stop();
    bool IsRunning() const { return thread_.joinable(); }

private:
    void Run(WindowRef target, int mountinfo, int wake);

    std::thread thread_;
    int wakeFd_ = -1;
};

}  // namespace platform
