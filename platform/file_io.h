// Whole-file reads and atomic replacement of files that must not be lost.
#pragma once
#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform::files {

// The file's bytes; "" when it does not exist, nullopt when it exists but cannot be read.
std::optional<std::string> ReadFileOrEmpty(const std::filesystem::path& path);

// At most max_bytes of the file's first bytes, holding only what was read (a caller
// asks for one byte more than it takes to tell a file that is too long); nullopt when
// the file cannot be opened or read, with the reason as the thread's last error
// (ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED, ...).
std::optional<std::string> ReadFileUpTo(const std::filesystem::path& path, size_t max_bytes);

// Replaces the file: writes a temporary file in the same folder, fsyncs it, renames it
// over the old one and fsyncs the folder. An existing file keeps its mode, a new one
// gets new_mode. fail_after (tests) stops the write with an error once that many bytes
// have reached the temporary file. On any failure the old file is untouched and the
// temporary file is removed.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, mode_t new_mode = 0644,
                         std::optional<size_t> fail_after = std::nullopt);

}  // namespace platform::files
