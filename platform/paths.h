// Windows paths on Linux. The prefix directory holds drive C: (PREFIX/drive_c) and the
// registry hives; a rooted path without a drive letter ("\usr\lib") is a host path;
// both '\' and '/' separate. Other drive letters do not exist unless configured.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform::paths {

// $SCANUTIL_PREFIX, else $XDG_DATA_HOME/scanutil, else ~/.local/share/scanutil; created on demand.
std::filesystem::path Prefix();

// Host path of a Windows path; nullopt for a drive that does not exist. A relative
// path is relative to the current directory.
std::optional<std::filesystem::path> ToHost(std::string_view windows_path);
// Windows form of a host path ("C:\..." inside drive_c, otherwise rooted "\...").
std::string ToWindows(const std::filesystem::path& host_path);

// Maps a further drive letter to a host directory (tests, configuration).
void MapDrive(char letter, std::optional<std::filesystem::path> host_dir);

// GetModuleFileName for the running program, in Windows form.
std::string GetModuleFileName();
// The program's folder in Windows form, with a trailing backslash.
std::string ProgramFolder();
// Tests give the program its own folder (host path); nullopt restores the real one.
void SetProgramFolderForTest(std::optional<std::filesystem::path> host_dir);

// The temporary folder ($TMPDIR or /tmp), Windows form with a trailing backslash.
std::string GetTempPath();
// The user's documents folder (XDG), Windows form without a trailing backslash.
std::string DocumentsFolder();

}  // namespace platform::paths
