// A file's version, as the version resource of the file gives it.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace report {

// The text for a missing file or a file without a version.
inline constexpr std::string_view kNoVersion = " does not exist";

// The FileVersion string of the file's first translation; nullopt when the file is
// missing or has no version resource.
std::optional<std::string> FindFileVersion(std::string_view windows_path);
// FindFileVersion, or kNoVersion.
std::string FileVersion(std::string_view windows_path);

}  // namespace report
