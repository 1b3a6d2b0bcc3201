#include "platform/Registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <glib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

namespace {

// One value as stored: text (REG_SZ) or a number (REG_DWORD).
struct Value {
    std::string name;
    bool isDword = false;
    std::string text;
    std::uint32_t dword = 0;
};

struct Key {
    std::string name;
    std::vector<Value> values;
};

struct HiveData {
    std::vector<Key> keys;
};

const char* kHeader = "Windows Registry Editor Version 5.00";

// Registry names compare without regard to ASCII case.
bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return g_ascii_tolower(x) == g_ascii_tolower(y); });
}

std::string NormalizeKey(std::string subkey) {
    while (!subkey.empty() && subkey.front() == '\\') subkey.erase(subkey.begin());
    while (!subkey.empty() && subkey.back() == '\\') subkey.pop_back();
    return subkey;
}

Key* FindKey(HiveData& hive, std::string_view name) {
    for (Key& k : hive.keys) {
        if (SameName(k.name, name)) return &k;
    }
    return nullptr;
}

Value* FindValue(Key& key, std::string_view name) {
    for (Value& v : key.values) {
        if (SameName(v.name, name)) return &v;
    }
    return nullptr;
}

// The value of that name (added at the end when absent; a stored name keeps its case), emptied
// and given the type.
Value& ResetValue(Key& key, const std::string& name, bool isDword) {
    Value* v = FindValue(key, name);
    if (!v) v = &key.values.emplace_back(Value{name, false, {}, 0});
    v->isDword = isDword;
    v->text.clear();
    v->dword = 0;
    return *v;
}

std::string HiveFileName(Hive hive) { return hive == Hive::LocalMachine ? "HKLM.reg" : "HKCU.reg"; }

// --- text form -------------------------------------------------------------------------------

// Backslash and quote are escaped as the registry editor does; line breaks too, so that a value
// holding one cannot break the line structure.
std::string Quote(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
    out += '"';
    return out;
}

// Reads a quoted string starting at line[pos] == '"'; pos ends after the closing quote.
bool Unquote(std::string_view line, std::size_t& pos, std::string& out) {
    if (pos >= line.size() || line[pos] != '"') return false;
    ++pos;
    out.clear();
    while (pos < line.size()) {
        char c = line[pos++];
        if (c == '"') return true;
        if (c == '\\') {
            if (pos >= line.size()) return false;
            char e = line[pos++];
            switch (e) {
                case '\\': out += '\\'; break;
                case '"': out += '"'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                default: return false;
            }
        } else {
            out += c;
        }
    }
    return false;
}

std::string Serialize(const HiveData& hive) {
    std::string out = std::string(kHeader) + "\n";
    for (const Key& k : hive.keys) {
        out += "\n[" + k.name + "]\n";
        for (const Value& v : k.values) {
            out += v.name.empty() ? std::string("@") : Quote(v.name);
            out += '=';
            if (v.isDword) {
                char buf[32];
                std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(v.dword));
                out += buf;
            } else {
                out += Quote(v.text);
            }
            out += '\n';
        }
    }
    return out;
}

// False when the text is not a hive file we can trust.
bool Parse(std::string_view text, HiveData& hive) {
    hive.keys.clear();
    if (text.find('\0') != std::string_view::npos) return false;
    Key* current = nullptr;
    std::size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (first) {
            first = false;
            if (line.size() >= 3 && static_cast<unsigned char>(line[0]) == 0xEF &&
                static_cast<unsigned char>(line[1]) == 0xBB && static_cast<unsigned char>(line[2]) == 0xBF)
                line.remove_prefix(3);
            if (line == kHeader) continue;
        }
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3) return false;
            std::string name = NormalizeKey(std::string(line.substr(1, line.size() - 2)));
            if (name.empty() || name.front() == '-') return false;
            current = FindKey(hive, name);
            if (!current) {
                hive.keys.push_back(Key{name, {}});
                current = &hive.keys.back();
            }
            continue;
        }
        if (!current) return false;
        Value v;
        std::size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else if (!Unquote(line, pos, v.name)) {
            return false;
        }
        if (pos >= line.size() || line[pos] != '=') return false;
        ++pos;
        std::string_view rest = line.substr(pos);
        if (rest.substr(0, 6) == "dword:") {
            std::string_view hex = rest.substr(6);
            if (hex.size() != 8) return false;
            const auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), v.dword, 16);
            if (ec != std::errc() || end != hex.data() + hex.size()) return false;
            v.isDword = true;
        } else {
            std::size_t p = pos;
            if (!Unquote(line, p, v.text) || p != line.size()) return false;
        }
        if (Value* old = FindValue(*current, v.name)) *old = std::move(v);
        else current->values.push_back(std::move(v));
    }
    return true;
}

// --- files -----------------------------------------------------------------------------------

// The folder and its parents; false when it cannot be made or is no folder.
bool MakeDirs(const std::string& path) { return g_mkdir_with_parents(path.c_str(), 0700) == 0; }

enum class ReadStatus { Ok, Missing, Unreadable, Corrupt };

ReadStatus ReadWhole(const std::string& path, std::string& out) {
    out.clear();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Unreadable;
    char buf[8192];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            close(fd);
            return ReadStatus::Unreadable;
        }
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
        // A settings file is small; anything this large is not one of ours.
        if (out.size() > (16u << 20)) {
            close(fd);
            return ReadStatus::Corrupt;
        }
    }
    close(fd);
    return ReadStatus::Ok;
}

// Loads a hive. A file that does not parse is reported as corrupt; the caller decides what to do.
ReadStatus LoadHive(const std::string& path, HiveData& hive) {
    std::string text;
    ReadStatus st = ReadWhole(path, text);
    hive.keys.clear();
    if (st != ReadStatus::Ok) return st;
    return Parse(text, hive) ? ReadStatus::Ok : ReadStatus::Corrupt;
}

// Moves a damaged hive file aside under a name that is never reused. Caller holds the lock.
void MoveAside(const std::string& path) {
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
    std::string base = path + ".corrupt-" + stamp;
    for (int i = 0; i < 1000; ++i) {
        std::string target = i == 0 ? base : base + "-" + std::to_string(i);
        // link() refuses an existing name, so an earlier damaged copy is never overwritten.
        if (link(path.c_str(), target.c_str()) == 0) {
            unlink(path.c_str());
            std::fprintf(stderr, "murmelo: settings file %s was damaged; kept it as %s and started with defaults\n",
                         path.c_str(), target.c_str());
            return;
        }
        if (errno != EEXIST) break;
    }
    std::fprintf(stderr, "murmelo: settings file %s is damaged and could not be moved aside: %s\n", path.c_str(),
                 std::strerror(errno));
}

// Holds the hive's lock file exclusively for its scope.
class HiveLock {
public:
    explicit HiveLock(const std::string& lockPath) {
        fd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0) return;
        while (flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                close(fd_);
                fd_ = -1;
                return;
            }
        }
    }
    ~HiveLock() {
        if (fd_ >= 0) close(fd_);  // closing releases the lock
    }
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;
    bool ok() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

bool WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Replaces the hive file: temporary file, flushed, renamed over, folder flushed. Caller holds the lock.
bool StoreHive(const std::string& folder, const std::string& path, const HiveData& hive) {
    std::string tmp = path + ".tmp";
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, Serialize(hive)) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(tmp.c_str(), path.c_str()) != 0) {
        unlink(tmp.c_str());
        return false;
    }
    int dfd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
    return true;
}

struct HivePaths {
    std::string folder;
    std::string file;
    std::string lock;
};

HivePaths PathsFor(Hive hive) {
    HivePaths p;
    p.folder = RegistryFolder();
    p.file = p.folder + "/" + HiveFileName(hive);
    p.lock = p.file + ".lock";
    return p;
}

// Reads a hive for a query. A damaged file is moved aside (under the lock, after checking again
// that it is still damaged) and the hive reads as empty.
bool ReadForQuery(Hive which, HiveData& hive) {
    HivePaths p = PathsFor(which);
    ReadStatus st = LoadHive(p.file, hive);
    if (st == ReadStatus::Ok) return true;
    if (st == ReadStatus::Missing) return true;
    if (st == ReadStatus::Unreadable) {
        std::fprintf(stderr, "murmelo: cannot read settings file %s: %s\n", p.file.c_str(), std::strerror(errno));
        hive.keys.clear();
        return false;
    }
    HiveLock lock(p.lock);
    if (!lock.ok()) return false;
    st = LoadHive(p.file, hive);
    if (st == ReadStatus::Corrupt) {
        MoveAside(p.file);
        hive.keys.clear();
        return true;
    }
    return st == ReadStatus::Ok || st == ReadStatus::Missing;
}

// Read-modify-write of a whole hive under its lock. `change` returns false to abandon the write.
template <typename F>
bool Modify(Hive which, F&& change) {
    HivePaths p = PathsFor(which);
    if (!MakeDirs(p.folder)) return false;
    HiveLock lock(p.lock);
    if (!lock.ok()) return false;
    HiveData hive;
    ReadStatus st = LoadHive(p.file, hive);
    if (st == ReadStatus::Unreadable) {
        // Never replace a file we could not read: its values would be lost.
        std::fprintf(stderr, "murmelo: cannot read settings file %s: %s\n", p.file.c_str(), std::strerror(errno));
        return false;
    }
    if (st == ReadStatus::Corrupt) {
        MoveAside(p.file);
        hive.keys.clear();
    }
    if (!change(hive)) return false;
    return StoreHive(p.folder, p.file, hive);
}

// UTF-16 units a UTF-8 text takes (a four-byte sequence is a surrogate pair).
std::size_t Utf16Units(std::string_view s) {
    std::size_t units = 0;
    for (unsigned char c : s) {
        if ((c & 0xC0) == 0x80) continue;  // continuation byte
        units += c >= 0xF0 ? 2 : 1;
    }
    return units;
}

// A value as the hive file holds it now; nullopt when the hive, key or value is missing.
std::optional<Value> StoredValue(Hive hive, const std::string& subkey, const std::string& name) {
    HiveData data;
    if (!ReadForQuery(hive, data)) return std::nullopt;
    Key* key = FindKey(data, subkey);
    Value* v = key ? FindValue(*key, name) : nullptr;
    if (!v) return std::nullopt;
    return std::move(*v);
}

}  // namespace

std::string RegistryFolder() {
    std::string folder;
    if (const char* d = std::getenv("MURMELO_CONFIG_DIR"); d && *d) {
        folder = d;
    } else if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x && x[0] == '/') {
        folder = std::string(x) + "/murmelo";
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home && *home ? home : "/tmp") + "/.config/murmelo";
    }
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    MakeDirs(folder);
    return folder;
}

bool RegKey::OpenForQuery(Hive hive, const std::string& subkey) {
    Close();
    std::string name = NormalizeKey(subkey);
    HiveData data;
    if (name.empty() || !ReadForQuery(hive, data) || !FindKey(data, name)) return false;
    open_ = true;
    writable_ = false;
    hive_ = hive;
    subkey_ = name;
    return true;
}

bool RegKey::OpenForWrite(Hive hive, const std::string& subkey, bool create) {
    Close();
    std::string name = NormalizeKey(subkey);
    if (name.empty()) return false;
    bool ok;
    if (create) {
        ok = Modify(hive, [&](HiveData& data) {
            if (FindKey(data, name)) return true;  // rewriting an unchanged file is harmless
            data.keys.push_back(Key{name, {}});
            return true;
        });
    } else {
        HiveData data;
        ok = ReadForQuery(hive, data) && FindKey(data, name);
    }
    if (!ok) return false;
    open_ = true;
    writable_ = true;
    hive_ = hive;
    subkey_ = name;
    return true;
}

void RegKey::Close() {
    open_ = false;
    writable_ = false;
    subkey_.clear();
}

std::optional<std::string> RegKey::QueryString(const std::string& name, std::size_t capacity) const {
    const auto v = open_ ? StoredValue(hive_, subkey_, name) : std::nullopt;
    if (!v || v->isDword || Utf16Units(v->text) + 1 > capacity) return std::nullopt;
    return v->text;
}

std::optional<std::uint32_t> RegKey::QueryDword(const std::string& name) const {
    const auto v = open_ ? StoredValue(hive_, subkey_, name) : std::nullopt;
    if (!v || !v->isDword) return std::nullopt;
    return v->dword;
}

bool RegKey::SetString(const std::string& name, const std::string& value) { return SetStrings({{name, value}}); }

bool RegKey::SetStrings(const std::vector<std::pair<std::string, std::string>>& values) {
    if (!open_ || !writable_) return false;
    return Modify(hive_, [&](HiveData& data) {
        Key* key = FindKey(data, subkey_);
        if (!key) return false;  // deleted meanwhile: a write handle does not bring it back
        for (const auto& [name, text] : values) ResetValue(*key, name, false).text = text;
        return true;
    });
}

bool RegKey::SetDword(const std::string& name, std::uint32_t value) {
    if (!open_ || !writable_) return false;
    return Modify(hive_, [&](HiveData& data) {
        Key* key = FindKey(data, subkey_);
        if (!key) return false;
        ResetValue(*key, name, true).dword = value;
        return true;
    });
}

bool RegKey::DeleteValue(const std::string& name) {
    if (!open_ || !writable_) return false;
    return Modify(hive_, [&](HiveData& data) {
        Key* key = FindKey(data, subkey_);
        if (!key) return false;
        for (auto it = key->values.begin(); it != key->values.end(); ++it) {
            if (SameName(it->name, name)) {
                key->values.erase(it);
                return true;
            }
        }
        return false;
    });
}

}  // namespace platform
