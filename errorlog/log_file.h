// Appending to the error log with its one older generation. Other processes (the
// scanner indicator, other utilities) append to the same file: each line goes out in
// one append-mode write, and rotation and append happen under an advisory lock on the
// folder. The log is never opened through a link: in a folder all users write to,
// another user could otherwise point it at a file of ours.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace errorlog {

inline constexpr const char* kLogName = "ScannerErr.log";
inline constexpr const char* kOldLogName = "ScannerErr2.log";
// A log larger than this is moved to the old generation before the next line.
inline constexpr uintmax_t kRotateAbove = 31457280;

// Rotates when due and appends the line with a CR LF. False when nothing was written.
bool AppendLine(const std::filesystem::path& folder, std::string_view line);

}  // namespace errorlog
