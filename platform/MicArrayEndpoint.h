// The array-microphone driver's control endpoint: a Unix domain socket named MicArrayFilter in the
// user's runtime folder. A connection stands for an open device handle; each control request is
// one request frame and one reply frame on it (docs/platform.md, "Array-microphone endpoint"):
//   request: u32 code, u32 input length, u32 output capacity, input bytes
//   reply:   u32 status (0 success), u32 output length (<= capacity), output bytes
// all little-endian. A request that fails on the connection (the driver vanished, timed out or
// answered garbage) breaks the connection: every later request fails, as on a removed device.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Largest input or output a request may carry.
constexpr std::uint32_t kMicArrayMaxPayload = 4096;

class MicArrayEndpoint {
public:
    // $XDG_RUNTIME_DIR/MicArrayFilter; empty when XDG_RUNTIME_DIR is unset or not absolute.
    static std::string DefaultPath();

    MicArrayEndpoint() = default;
    ~MicArrayEndpoint();
    MicArrayEndpoint(const MicArrayEndpoint&) = delete;
    MicArrayEndpoint& operator=(const MicArrayEndpoint&) = delete;

    // Connects to the endpoint at `path`; false (and closed) when nothing serves it.
    // `timeoutMs` bounds each send and each wait for a reply.
    bool Open(const std::string& path, int timeoutMs = 2000);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    // Open, and no request has broken the connection yet.
    bool IsConnected() const { return fd_ >= 0 && !broken_; }

    // The device control request: sends `code` with `input` and room for `outputCapacity` bytes;
    // on success `output` holds what the driver returned. False when the connection is closed or
    // broken, the exchange fails, or the driver reports a non-zero status.
    bool Control(std::uint32_t code, const std::vector<std::uint8_t>& input, std::uint32_t outputCapacity,
                 std::vector<std::uint8_t>& output);

private:
    bool SendAll(const void* data, std::size_t size);
    bool ReceiveAll(void* data, std::size_t size);

    int fd_ = -1;
    bool broken_ = false;
    int timeoutMs_ = 2000;
};

}  // namespace platform
