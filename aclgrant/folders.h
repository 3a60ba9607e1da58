// Folder operations of the log folder preparation.
#pragma once
#include <cstddef>
#include <string_view>

namespace aclgrant {

// The running program's folder (Windows form), with or without its trailing
// backslash, copied into buffer (cut to size - 1 characters, always terminated).
// Returns the number of characters copied.
size_t GetProgramFolder(char* buffer, size_t size, bool trailing_backslash);

// Creates a Windows folder path level by level. An empty path fails; "\\server\..."
// creates the levels after the server name; otherwise the root must exist. True when
// the last level exists.
bool CreateFolderPath(std::string_view path);

}  // namespace aclgrant
