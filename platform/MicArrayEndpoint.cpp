#include "platform/MicArrayEndpoint.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

void PutU32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

std::uint32_t GetU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

using Clock = std::chrono::steady_clock;

// Waits until fd is ready for `events` or the deadline passes.
bool WaitReady(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd p{fd, events, 0};
        const int r = ::poll(&p, 1, static_cast<int>(left));
        if (r > 0) return true;
        if (r == 0) return false;
        if (errno != EINTR) return false;
    }
}

}  // namespace

std::string MicArrayEndpoint::DefaultPath() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    if (!dir || dir[0] != '/') return {};
    std::string path = dir;
    if (path.back() != '/') path += '/';
    return path + "MicArrayFilter";
}

MicArrayEndpoint::~MicArrayEndpoint() { Close(); }

bool MicArrayEndpoint::Open(const std::string& path, int timeoutMs) {
    Close();
    timeoutMs_ = timeoutMs > 0 ? timeoutMs : 2000;
    sockaddr_un addr{};
    if (path.empty() || path.size() >= sizeof(addr.sun_path)) return false;
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    int r;
    do {
        r = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr));
    } while (r < 0 && errno == EINTR);
    if (r < 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    broken_ = false;
    return true;
}

void MicArrayEndpoint::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    broken_ = false;
}

bool MicArrayEndpoint::SendAll(const void* data, std::size_t size) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs_);
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        if (!WaitReady(fd_, POLLOUT, deadline)) return false;
        const ssize_t n = ::send(fd_, p, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool MicArrayEndpoint::ReceiveAll(void* data, std::size_t size) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs_);
    auto* p = static_cast<std::uint8_t*>(data);
    while (size > 0) {
        if (!WaitReady(fd_, POLLIN, deadline)) return false;
        const ssize_t n = ::recv(fd_, p, size, MSG_DONTWAIT);
        if (n == 0) return false;  // the driver went away
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool MicArrayEndpoint::Control(std::uint32_t code, const std::vector<std::uint8_t>& input,
                               std::uint32_t outputCapacity, std::vector<std::uint8_t>& output) {
    output.clear();
    if (!IsConnected()) return false;
    if (input.size() > kMicArrayMaxPayload || outputCapacity > kMicArrayMaxPayload) return false;

    std::vector<std::uint8_t> frame(12 + input.size());
    PutU32(&frame[0], code);
    PutU32(&frame[4], static_cast<std::uint32_t>(input.size()));
    PutU32(&frame[8], outputCapacity);
    if (!input.empty()) std::memcpy(&frame[12], input.data(), input.size());

    // Any failure on the wire leaves the stream at an unknown place: the connection is done for.
    std::uint8_t header[8];
    if (!SendAll(frame.data(), frame.size()) || !ReceiveAll(header, sizeof(header))) {
        broken_ = true;
        return false;
    }
    const std::uint32_t status = GetU32(&header[0]);
    const std::uint32_t length = GetU32(&header[4]);
    if (length > outputCapacity) {
        broken_ = true;
        return false;
    }
    std::vector<std::uint8_t> reply(length);
    if (length > 0 && !ReceiveAll(reply.data(), length)) {
        broken_ = true;
        return false;
    }
    if (status != 0) return false;
    output = std::move(reply);
    return true;
}

}  // namespace platform
