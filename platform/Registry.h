// The registry's counterpart: one text file per hive in the user's configuration folder
// ($MURMELO_CONFIG_DIR, else $XDG_CONFIG_HOME/murmelo, else ~/.config/murmelo), in the registry
// editor's export format. Every write replaces the file atomically under an exclusive lock.
// The calls keep the shape callers know: open for query or write, read into a bounded buffer,
// set text or a number, close.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

enum class Hive { LocalMachine, CurrentUser };

// Registry text values are read into buffers of this many units (259 characters and the terminator).
constexpr std::size_t kRegValueCapacity = 260;

class RegKey {
public:
    RegKey() = default;
    ~RegKey() { Close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // Query access: fails when the key does not exist.
    bool OpenForQuery(Hive hive, const std::string& subkey);
    // Write access. create=false (KEY_SET_VALUE) fails when the key does not exist;
    // create=true (RegCreateKeyEx) creates it.
    bool OpenForWrite(Hive hive, const std::string& subkey, bool create);
    void Close();
    bool IsOpen() const { return open_; }

    // A text value read into a buffer of `capacity` units: nullopt when the key is not open, the
    // value is absent or not text, or the text (in UTF-16 units) does not fit with its terminator.
    std::optional<std::string> QueryString(const std::string& name, std::size_t capacity = kRegValueCapacity) const;
    std::optional<std::uint32_t> QueryDword(const std::string& name) const;

    // Only on a key opened for writing; false when the write failed (the file is left as it was).
    bool SetString(const std::string& name, const std::string& value);
    bool SetDword(const std::string& name, std::uint32_t value);
    bool DeleteValue(const std::string& name);
    // Several text values in one replacement of the file (all or none), in the given order.
    bool SetStrings(const std::vector<std::pair<std::string, std::string>>& values);

private:
    bool open_ = false;
    bool writable_ = false;
    Hive hive_ = Hive::LocalMachine;
    std::string subkey_;
};

// The folder holding the hive files (created when absent).
std::string RegistryFolder();

}  // namespace platform
