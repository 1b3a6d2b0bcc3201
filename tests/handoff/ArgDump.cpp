// A test program for starting programs: writes what it got to the file named by ARGDUMP_OUT, as
// NUL-terminated fields: its working folder, "session" when it leads its own session, the SIGPIPE
// disposition ("default"/"ignored"), "blocked" when any signal is blocked,
// what its standard input is, then each argument.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    const char* out = std::getenv("ARGDUMP_OUT");
    if (!out) return 2;
    std::string data;
    auto field = [&](const std::string& s) { data.append(s).push_back('\0'); };
    char cwd[4096];
    field(getcwd(cwd, sizeof cwd) ? cwd : "?");
    field(getsid(0) == getpid() ? "session" : "no-session");
    struct sigaction sa {};
    sigaction(SIGPIPE, nullptr, &sa);
    field(sa.sa_handler == SIG_IGN ? "ignored" : "default");
    sigset_t mask;
    sigprocmask(SIG_BLOCK, nullptr, &mask);
    bool blocked = false;
    for (int s = 1; s < 32; ++s) blocked = blocked || sigismember(&mask, s) == 1;
    field(blocked ? "blocked" : "unblocked");
    char in[4096] = {};
    field(readlink("/proc/self/fd/0", in, sizeof in - 1) > 0 ? in : "closed");
    for (int i = 1; i < argc; ++i) field(argv[i]);
    // Whole or nothing: the test never reads half a file.
    const std::string tmp = std::string(out) + ".part";
    {
        std::ofstream f(tmp, std::ios::binary);
        f << data;
    }
    return std::rename(tmp.c_str(), out) == 0 ? 0 : 1;
}
