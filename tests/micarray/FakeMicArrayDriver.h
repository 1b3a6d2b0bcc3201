// A stand-in for the array-microphone filter driver: serves the control endpoint on a real Unix
// socket from a thread of its own, keeps four filters, answers the read and write requests and
// records every request it gets.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "micarray/FilterState.h"

class FakeMicArrayDriver {
public:
    struct Request {
        std::uint32_t code = 0;
        std::vector<std::uint8_t> input;
        std::uint32_t outputCapacity = 0;
    };

    // How the driver answers.
    enum class Reply {
        Normal,      // reads give the filter's state, writes switch it
        Fail,        // every request gets a non-zero status
        NoBytes,     // success with nothing returned
        Oversized,   // claims more output than there is room for
        Silent,      // reads the request and never answers
    };

    // Listens at `path` (replacing a stale socket file); all four filters available and off.
    explicit FakeMicArrayDriver(std::string path);
    ~FakeMicArrayDriver();
    FakeMicArrayDriver(const FakeMicArrayDriver&) = delete;
    FakeMicArrayDriver& operator=(const FakeMicArrayDriver&) = delete;

    bool listening() const { return listenFd_ >= 0; }
    // Stops serving: closes the listener and every connection, removes the socket file.
    void Stop();

    void SetFilter(std::uint32_t filter, bool available, bool enabled);
    bool Enabled(std::uint32_t filter) const;
    void SetReply(Reply reply);

    std::vector<Request> Requests() const;
    std::size_t RequestCount() const;
    void ClearRequests();
    int Connections() const { return connections_.load(); }

private:
    void Serve();
    // Answers one request; false when the connection should be dropped.
    bool Handle(int fd);

    std::string path_;
    int listenFd_ = -1;
    int wakeFd_ = -1;
    std::thread thread_;
    std::atomic<int> connections_{0};

    mutable std::mutex lock_;
    std::array<FilterState, 4> filters_{};
    Reply reply_ = Reply::Normal;
    std::vector<Request> requests_;
};
