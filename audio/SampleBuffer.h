// The program-wide copy of the last audio buffer that passed a sample tap: raw PCM as it passed
// (8-bit unsigned with 128 as zero, or 16-bit signed little-endian, channels interleaved), its
// length and its sample time in seconds. Written on the streaming thread, read on the window thread.
// A short lock guards the hand-over: the writer holds it only for one block copy and posts after
// releasing it; readers hold it only while they look at the bytes and never wait on anything else.
#pragma once
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/Result.h"

class SampleBuffer {
public:
    // The tap's store: reuses the allocation unless a longer buffer arrives, sets the length to
    // this buffer's length and stamps the time. E_POINTER for a null buffer (nothing changes),
    // E_OUTOFMEMORY when the allocation fails (the length becomes 0).
    HRESULT Store(double sampleTime, const void* data, std::uint32_t length);

    // Calls fn(const std::uint8_t* bytes, std::uint32_t length, double sampleTime) under the lock;
    // bytes is null when there is no buffer.
    template <class Fn>
    void Read(Fn&& fn) const {
        std::lock_guard lock(lock_);
        fn(data_.empty() ? nullptr : data_.data(), length_, sampleTime_);
    }

    // Copies the current bytes out; returns the sample time.
    double CopyOut(std::vector<std::uint8_t>& out) const;

    // Fills the current length with one byte value (silence: 0x80 for 8-bit, 0x00 for 16-bit).
    void Fill(std::uint8_t value);
    double SampleTime() const;
    void SetSampleTime(double seconds);
    std::uint32_t Length() const;
    std::size_t Capacity() const;
    bool HasBuffer() const;
    void Free();

    // Tests: allocations larger than this fail (0 = no limit).
    void SetAllocationLimitForTesting(std::size_t bytes);

private:
    mutable std::mutex lock_;
    std::vector<std::uint8_t> data_;  // empty: no buffer; size() is the allocation
    std::uint32_t length_ = 0;
    double sampleTime_ = 0.0;
    std::size_t allocationLimit_ = 0;
};

// The one buffer both engines' taps write and the visualizer reads.
SampleBuffer& TheSampleBuffer();
