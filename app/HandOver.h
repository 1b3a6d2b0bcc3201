// The record a second instance hands to the running one: the joined command-line arguments as
// UTF-16 in a 260-unit buffer (520 bytes), zero-terminated, with dwData 0.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace app {

constexpr std::size_t kHandOverUnits = 260;
constexpr std::size_t kHandOverBytes = kHandOverUnits * 2;

// Arguments 1..n joined with one blank between each two; empty when there are none.
std::string JoinCommandLine(int argc, const char* const* argv);

// The 520-byte record; nullopt when the text needs more than 259 UTF-16 units (it is refused,
// never cut, so that the running instance cannot open a different file than the one named).
std::optional<std::vector<std::uint8_t>> EncodeHandOverRecord(const std::string& commandLine);

// The text of a received record: UTF-16 up to the first zero unit or the end of the data,
// whichever comes first (the sender's size is not trusted).
std::string DecodeHandOverRecord(const std::vector<std::uint8_t>& data);

// The process's own arguments 1..n as the command line gave them (before the toolkit took its
// options out). main() stores them; the first file and the hand-over read them.
void SetProcessArguments(int argc, const char* const* argv);
const std::vector<std::string>& ProcessArguments();

// The hand-over of a second start: finds the top-level window titled "Murmelo" (1 when there is
// none), sends it the joined arguments when there are any, restores it if minimized and brings it
// to the front (0). A joined line over 259 characters is refused with a message on standard error.
int ForwardToRunningInstance(const std::vector<std::string>& arguments);

// Test hook: with MURMELO_TEST_LOG set, each received command line is appended there as a line.
void LogReceivedCommandLine(const std::string& commandLine);

}  // namespace app
