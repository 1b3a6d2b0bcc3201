#include "audio/SampleBuffer.h"

#include <new>

HRESULT SampleBuffer::Store(double sampleTime, const void* data, std::uint32_t length) {
    if (!data) return E_POINTER;
    std::lock_guard lock(lock_);
    if (length_ < length) {
        // A longer buffer than the last: drop the allocation and make a new one.
        std::vector<std::uint8_t>().swap(data_);
        length_ = 0;
    }
    sampleTime_ = sampleTime;
    if (data_.empty() && length > 0) {
        if (allocationLimit_ && length > allocationLimit_) {
            length_ = 0;
            return E_OUTOFMEMORY;
        }
        try {
            data_.resize(length);
        } catch (const std::bad_alloc&) {
            length_ = 0;
            return E_OUTOFMEMORY;
        }
    }
    length_ = length;
    if (length) std::memcpy(data_.data(), data, length);
    return S_OK;
}

double SampleBuffer::CopyOut(std::vector<std::uint8_t>& out) const {
    std::lock_guard lock(lock_);
    out.assign(data_.begin(), data_.begin() + (data_.empty() ? 0 : length_));
    return sampleTime_;
}

void SampleBuffer::Fill(std::uint8_t value) {
    std::lock_guard lock(lock_);
    if (!data_.empty()) std::memset(data_.data(), value, length_);
}

double SampleBuffer::SampleTime() const {
    std::lock_guard lock(lock_);
    return sampleTime_;
}

void SampleBuffer::SetSampleTime(double seconds) {
    std::lock_guard lock(lock_);
    sampleTime_ = seconds;
}

std::uint32_t SampleBuffer::Length() const {
    std::lock_guard lock(lock_);
    return length_;
}

std::size_t SampleBuffer::Capacity() const {
    std::lock_guard lock(lock_);
    return data_.size();
}

bool SampleBuffer::HasBuffer() const {
    std::lock_guard lock(lock_);
    return !data_.empty();
}

void SampleBuffer::Free() {
    std::lock_guard lock(lock_);
    std::vector<std::uint8_t>().swap(data_);
    length_ = 0;
}

void SampleBuffer::SetAllocationLimitForTesting(std::size_t bytes) {
    std::lock_guard lock(lock_);
    allocationLimit_ = bytes;
}

SampleBuffer& TheSampleBuffer() {
    static SampleBuffer buffer;
    return buffer;
}
