#include "tests/micarray/FakeMicArrayDriver.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

void PutU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t GetU32(const std::uint8_t* p) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    return v;
}

bool ReadAll(int fd, void* data, std::size_t size) {
    auto* p = static_cast<std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ::recv(fd, p, size, 0);
        if (n == 0) return false;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteAll(int fd, const std::vector<std::uint8_t>& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

constexpr std::uint32_t kInvalidFunction = 1;
constexpr std::uint32_t kNotSupported = 50;
constexpr std::uint32_t kInvalidParameter = 87;

}  // namespace

FakeMicArrayDriver::FakeMicArrayDriver(std::string path) : path_(std::move(path)) {
    for (std::uint32_t i = 0; i < filters_.size(); ++i) {
        filters_[i].filter = i;
        filters_[i].available = 1;
    }
    sockaddr_un addr{};
    if (path_.size() >= sizeof(addr.sun_path)) return;
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path_.c_str(), path_.size() + 1);
    ::unlink(path_.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) < 0 || ::listen(fd, 8) < 0) {
        ::close(fd);
        return;
    }
    listenFd_ = fd;
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC);
    thread_ = std::thread([this] { Serve(); });
}

FakeMicArrayDriver::~FakeMicArrayDriver() { Stop(); }

void FakeMicArrayDriver::Stop() {
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof(one));
        thread_.join();
    }
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        ::unlink(path_.c_str());
    }
    if (wakeFd_ >= 0) ::close(wakeFd_);
    listenFd_ = wakeFd_ = -1;
}

void FakeMicArrayDriver::Serve() {
    std::vector<int> clients;
    for (;;) {
        std::vector<pollfd> fds{{wakeFd_, POLLIN, 0}, {listenFd_, POLLIN, 0}};
        for (int c : clients) fds.push_back({c, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents) break;
        if (fds[1].revents & POLLIN) {
            const int c = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (c >= 0) {
                clients.push_back(c);
                ++connections_;
            }
        }
        for (std::size_t i = 2; i < fds.size(); ++i) {
            if (!fds[i].revents) continue;
            if (!Handle(fds[i].fd)) {
                ::close(fds[i].fd);
                std::erase(clients, fds[i].fd);
            }
        }
    }
    for (int c : clients) ::close(c);
}

bool FakeMicArrayDriver::Handle(int fd) {
    std::uint8_t header[12];
    if (!ReadAll(fd, header, sizeof(header))) return false;
    Request req;
    req.code = GetU32(header);
    const std::uint32_t inputLength = GetU32(header + 4);
    req.outputCapacity = GetU32(header + 8);
    if (inputLength > 4096) return false;
    req.input.resize(inputLength);
    if (inputLength && !ReadAll(fd, req.input.data(), inputLength)) return false;

    std::uint32_t status = 0;
    std::vector<std::uint8_t> out;
    {
        std::lock_guard lock(lock_);
        requests_.push_back(req);
        if (reply_ == Reply::Silent) return true;
        if (reply_ == Reply::Fail) {
            status = kNotSupported;
        } else if (req.input.size() != kFilterStateSize) {
            status = kInvalidParameter;
        } else {
            const FilterState in = FilterState::Unpack(req.input.data());
            if (in.filter >= filters_.size()) {
                status = kInvalidParameter;
            } else if (req.code == IOCTL_MICARRAY_READ_FILTER) {
                if (req.outputCapacity < kFilterStateSize) {
                    status = kInvalidParameter;
                } else if (reply_ == Reply::Oversized) {
                    out.assign(req.outputCapacity + 4, 0);
                } else if (reply_ != Reply::NoBytes) {
                    const auto packed = filters_[in.filter].Pack();
                    out.assign(packed.begin(), packed.end());
                }
            } else if (req.code == IOCTL_MICARRAY_WRITE_FILTER) {
                if (!filters_[in.filter].available) status = kNotSupported;
                else filters_[in.filter].enabled = in.enabled ? 1 : 0;
            } else {
                status = kInvalidFunction;
            }
        }
    }
    std::vector<std::uint8_t> reply(8);
    PutU32(&reply[0], status);
    PutU32(&reply[4], static_cast<std::uint32_t>(out.size()));
    reply.insert(reply.end(), out.begin(), out.end());
    return WriteAll(fd, reply);
}

void FakeMicArrayDriver::SetFilter(std::uint32_t filter, bool available, bool enabled) {
    std::lock_guard lock(lock_);
    filters_.at(filter).available = available ? 1 : 0;
    filters_.at(filter).enabled = enabled ? 1 : 0;
}

bool FakeMicArrayDriver::Enabled(std::uint32_t filter) const {
    std::lock_guard lock(lock_);
    return filters_.at(filter).enabled != 0;
}

void FakeMicArrayDriver::SetReply(Reply reply) {
    std::lock_guard lock(lock_);
    reply_ = reply;
}

std::vector<FakeMicArrayDriver::Request> FakeMicArrayDriver::Requests() const {
    std::lock_guard lock(lock_);
    return requests_;
}

std::size_t FakeMicArrayDriver::RequestCount() const {
    std::lock_guard lock(lock_);
    return requests_.size();
}

void FakeMicArrayDriver::ClearRequests() {
    std::lock_guard lock(lock_);
    requests_.clear();
}
