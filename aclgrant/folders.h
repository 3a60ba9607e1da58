// Folder operations of the log folder preparation.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace aclgrant {

// The running program's folder (Windows form), with or without its trailing
// backslash, copied into buffer (cut to size - 1 characters, always terminated).
// Returns the number of characters copied.
size_t GetProgramFolder(char* buffer, size_t size, bool trailing_backslash);

// Creates a Windows folder path level by level. An empty path fails; "\\server\..."
// creates the levels after the server name; otherwise the root must exist. True when
// the last level exists. created, when given, receives the levels this call made,
// outermost first.
bool CreateFolderPath(std::string_view path, std::vector<std::string>* created = nullptr);

// Opens folders this program has just created for a file all local users share: the
// last becomes sticky and writable by all (1777), so each user may add files but none
// may remove or replace another's; the ones above it only get search for all, so the
// last can be reached. A level that is no longer our own folder (replaced, or a link)
// is left alone.
void ShareCreatedFolders(const std::vector<std::string>& created);

}  // namespace aclgrant
