// Starting other programs: an argument vector handed to the program as it stands (never a shell),
// without waiting for it. The child is reaped in the background, so no zombie stays behind, and it
// runs in a session of its own, so it outlives us and our terminal's signals. Its standard input
// is /dev/null; its output and errors go where ours go.
#pragma once
#include <string>
#include <vector>

namespace platform {

// Starts `program` (a path, or a bare name looked up in PATH) with `args` as its arguments after
// argv[0]. `workingDirectory` empty: ours. Returns the child's process id, or -1 (errno set) when
// the program could not be started (missing, not executable, bad working directory).
int StartProgram(const std::string& program, const std::vector<std::string>& args,
                 const std::string& workingDirectory = {});

// Opens a document with the desktop's default handler (xdg-open). A relative path is made absolute
// first, so that no path can be read as an option. False when the opener could not be started.
bool OpenDocument(const std::string& path);

// The full path of an executable: `program` itself when it holds a '/', else the first match in
// PATH. Empty when there is none.
std::string FindProgram(const std::string& program);
inline bool ProgramExists(const std::string& program) { return !FindProgram(program).empty(); }

}  // namespace platform
