// The single-instance guard: an exclusive lock on a file of the given name in the user's runtime
// folder ($XDG_RUNTIME_DIR, else /tmp/murmelo-UID), held for the life of the process. The lock ends
// with the process, however it ends; programs we start do not inherit it.
#pragma once
#include <string>

namespace platform {

class SingleInstanceLock {
public:
    explicit SingleInstanceLock(const std::string& name);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // True when another process held the lock when this one was created.
    bool AlreadyExists() const { return alreadyExists_; }

private:
    int fd_ = -1;
    bool alreadyExists_ = false;
};

// The user's runtime folder: $XDG_RUNTIME_DIR when set, else /tmp/murmelo-UID (created private,
// and refused when someone else owns it). Empty when there is none we can trust.
std::string RuntimeFolder();

}  // namespace platform
