#include "platform/Spawn.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <thread>

extern char** environ;

namespace platform {

namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Waits for the child in the background; nobody reads its status.
void ReapLater(pid_t pid) {
    std::thread([pid] {
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

}  // namespace

std::string FindProgram(const std::string& program) {
    if (program.empty()) return {};
    if (program.find('/') != std::string::npos) return IsExecutableFile(program) ? program : std::string();
    const char* env = std::getenv("PATH");
    const std::string_view dirs = env && *env ? env : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string_view::npos) end = dirs.size();
        // An empty entry means the current folder.
        std::filesystem::path dir(end > start ? dirs.substr(start, end - start) : std::string_view("."));
        std::string candidate = (dir / program).string();
        if (IsExecutableFile(candidate)) return candidate;
        start = end + 1;
    }
    return {};
}

int StartProgram(const std::string& program, const std::vector<std::string>& args,
                 const std::string& workingDirectory) {
    if (program.empty()) {
        errno = ENOENT;
        return -1;
    }
    std::vector<char*> argv;
    argv.reserve(args.size() + 2);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    if (!workingDirectory.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    // Our standard input is not the child's to read; its output still goes where ours goes.
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);

    // The child starts with no blocked signals and default handlers (we may ignore SIGPIPE, say),
    // in a session of its own.
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
#ifdef POSIX_SPAWN_SETSID
    flags |= POSIX_SPAWN_SETSID;
#endif
    posix_spawnattr_setflags(&attr, flags);

    pid_t pid = -1;
    const bool searchPath = program.find('/') == std::string::npos;
    int rc = searchPath ? posix_spawnp(&pid, program.c_str(), &actions, &attr, argv.data(), environ)
                        : posix_spawn(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        errno = rc;
        return -1;
    }
    ReapLater(pid);
    return pid;
}

bool OpenDocument(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (ec) return false;
    return StartProgram("xdg-open", {absolute.string()}) > 0;
}

}  // namespace platform
