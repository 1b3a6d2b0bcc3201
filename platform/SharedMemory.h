// The shared path block of the editor hand-off: POSIX shared memory "/RJS659", 4096 bytes, holding
// a UTF-16 path (host byte order) with its terminating zero at offset 0.
//
// Unlike a Windows mapping, a POSIX block outlives its last handle; whoever wants it gone removes
// it by name (Remove). The block is created readable and writable by its owner only, and a block of
// that name that belongs to another user is refused.
#pragma once
#include <cstddef>
#include <optional>
#include <string>

namespace platform {

constexpr const char* kHandOffBlockName = "/RJS659";
constexpr std::size_t kHandOffBlockSize = 4096;

class SharedMemoryBlock {
public:
    SharedMemoryBlock() = default;
    ~SharedMemoryBlock();
    SharedMemoryBlock(SharedMemoryBlock&& other) noexcept;
    SharedMemoryBlock& operator=(SharedMemoryBlock&& other) noexcept;
    SharedMemoryBlock(const SharedMemoryBlock&) = delete;
    SharedMemoryBlock& operator=(const SharedMemoryBlock&) = delete;

    // Creates the block, or opens it when it exists already (growing it to `size` if it is smaller).
    static SharedMemoryBlock Create(const std::string& name = kHandOffBlockName, std::size_t size = kHandOffBlockSize);
    // Opens an existing block; fails when there is none.
    static SharedMemoryBlock Open(const std::string& name = kHandOffBlockName, std::size_t size = kHandOffBlockSize);
    // Removes the name; handles open elsewhere stay usable until they close. False when it did not exist.
    static bool Remove(const std::string& name = kHandOffBlockName);
    static bool Exists(const std::string& name = kHandOffBlockName);

    bool IsOpen() const { return data_ != nullptr; }
    explicit operator bool() const { return IsOpen(); }
    bool WasCreated() const { return created_; }  // this call made the block (it did not exist)
    std::size_t Size() const { return size_; }
    void Close();

    // Writes a UTF-8 path as UTF-16 with its terminating zero at offset 0. A path that does not fit
    // with its terminator, or is not valid UTF-8, is refused and the block is left as it was.
    bool WritePath(const std::string& utf8Path);
    // The zero-terminated UTF-16 path at offset 0, as UTF-8; nullopt when there is no terminator
    // within the block or the text is not valid UTF-16.
    std::optional<std::string> ReadPath() const;

    // Raw access for the hand-off's byte layout.
    unsigned char* Data() { return static_cast<unsigned char*>(data_); }
    const unsigned char* Data() const { return static_cast<const unsigned char*>(data_); }

private:
    static SharedMemoryBlock Map(const std::string& name, std::size_t size, bool create);

    void* data_ = nullptr;
    std::size_t size_ = 0;
    bool created_ = false;
};

}  // namespace platform
