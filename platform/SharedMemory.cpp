#include "platform/SharedMemory.h"

#include "platform/Utf16.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

SharedMemoryBlock::~SharedMemoryBlock() { Close(); }

SharedMemoryBlock::SharedMemoryBlock(SharedMemoryBlock&& other) noexcept
    : data_(other.data_), size_(other.size_), created_(other.created_) {
    other.data_ = nullptr;
    other.size_ = 0;
}

SharedMemoryBlock& SharedMemoryBlock::operator=(SharedMemoryBlock&& other) noexcept {
    if (this != &other) {
        Close();
        data_ = other.data_;
        size_ = other.size_;
        created_ = other.created_;
        other.data_ = nullptr;
        other.size_ = 0;
    }
    return *this;
}

void SharedMemoryBlock::Close() {
    if (data_) munmap(data_, size_);
    data_ = nullptr;
    size_ = 0;
}

SharedMemoryBlock SharedMemoryBlock::Map(const std::string& name, std::size_t size, bool create) {
    SharedMemoryBlock block;
    if (name.size() < 2 || name[0] != '/' || name.find('/', 1) != std::string::npos || size == 0) {
        errno = EINVAL;
        return block;
    }
    bool created = false;
    int fd = -1;
    if (create) {
        fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
        if (fd >= 0) created = true;
        else if (errno == EEXIST) fd = shm_open(name.c_str(), O_RDWR, 0600);
    } else {
        fd = shm_open(name.c_str(), O_RDWR, 0600);
    }
    if (fd < 0) return block;

    struct stat st {};
    if (fstat(fd, &st) != 0 || st.st_uid != geteuid()) {
        // Someone else's block of that name: neither trust what it holds nor hand it our paths.
        close(fd);
        errno = EACCES;
        return block;
    }
    if (static_cast<std::size_t>(st.st_size) < size) {
        if (!create || ftruncate(fd, static_cast<off_t>(size)) != 0) {
            const int e = create ? errno : EINVAL;
            close(fd);
            if (created) shm_unlink(name.c_str());
            errno = e;
            return block;
        }
    }
    void* data = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    const int e = errno;
    close(fd);  // the mapping keeps the block
    if (data == MAP_FAILED) {
        if (created) shm_unlink(name.c_str());
        errno = e;
        return block;
    }
    block.data_ = data;
    block.size_ = size;
    block.created_ = created;
    return block;
}

SharedMemoryBlock SharedMemoryBlock::Create(const std::string& name, std::size_t size) { return Map(name, size, true); }

SharedMemoryBlock SharedMemoryBlock::Open(const std::string& name, std::size_t size) { return Map(name, size, false); }

bool SharedMemoryBlock::Remove(const std::string& name) { return shm_unlink(name.c_str()) == 0; }

bool SharedMemoryBlock::Exists(const std::string& name) {
    int fd = shm_open(name.c_str(), O_RDONLY, 0);
    if (fd < 0) return errno == EACCES;
    close(fd);
    return true;
}

bool SharedMemoryBlock::WritePath(const std::string& utf8Path) {
    if (!data_) return false;
    // Malformed text, or an embedded zero that would cut the path short for the reader, is refused.
    auto text = Utf8ToUtf16(utf8Path);
    if (!text) return false;
    const std::size_t bytes = (text->size() + 1) * sizeof(char16_t);
    if (bytes > size_) return false;
    std::memcpy(data_, text->c_str(), bytes);
    return true;
}

std::optional<std::string> SharedMemoryBlock::ReadPath() const {
    if (!data_) return std::nullopt;
    const std::size_t units = size_ / sizeof(char16_t);
    std::u16string text;
    for (std::size_t i = 0; i < units; ++i) {
        char16_t c;
        std::memcpy(&c, static_cast<const unsigned char*>(data_) + i * sizeof(char16_t), sizeof c);
        if (c == 0) return Utf16ToUtf8(text);
        text.push_back(c);
    }
    return std::nullopt;
}

}  // namespace platform
