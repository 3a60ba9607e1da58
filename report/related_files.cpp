#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/paths.h"
#include "platform/registry.h"
#include "report/file_version.h"
#include "report/system_sections.h"
#include "resources/language_files.h"

namespace report {
namespace {

constexpr std::string_view kWindowsFolder = "C:\\windows\\";
constexpr std::string_view kSystemFolder = "C:\\windows\\system\\";
constexpr std::string_view kSystem32Folder = "C:\\windows\\system32\\";
constexpr std::string_view kDriversFolder = "C:\\windows\\system32\\drivers\\";
constexpr std::string_view kIosubsysFolder = "C:\\windows\\system\\iosubsys\\";
constexpr std::string_view kTwainFolder = "C:\\windows\\twain_32\\Quorvex\\";

// A file looked for in a fixed folder, or in the folder a registry value of
// HKEY_LOCAL_MACHINE names (`key` set).
struct Candidate {
  std::string_view folder;
  std::string_view name;
  std::string_view key = {};
  std::string_view value = {};
};

// The system's files around scanning, then the family's image filter and data source.
constexpr Candidate kBeforeOurs[] = {
    {kSystem32Folder, "wnaspi32.dll"}, {kSystemFolder, "winaspi.dll"},     {kDriversFolder, "ASPI32.sys"},
    {kSystemFolder, "wowpost.exe"},    {kIosubsysFolder, "apix.vxd"},      {kIosubsysFolder, "aspienum.vxd"},
    {kWindowsFolder, "Twain_32.dll"},  {kWindowsFolder, "Twain.dll"},      {kSystem32Folder, "QMXImageFilter.dll"},
    {kTwainFolder, "QMXTwain.ds"},
};

// The still-image class drivers, the family's own drivers and its further
// applications, found through their uninstall and settings keys.
constexpr Candidate kAfterOurs[] = {
    {kDriversFolder, "usbscan.sys"},
    {kDriversFolder, "scsiscan.sys"},
    {kDriversFolder, "scsimap.sys"},
    {kDriversFolder, "QMXScsi.sys"},
    {kDriversFolder, "QMXUsb.sys"},
    {{}, "QMXIndicator.exe", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{6E3A1F52-0C4D-4B8A-9E27-5D1C8B0A7F31}",
     "InstallLocation"},
    {{}, "QMXScan.exe", "SOFTWARE\\Quorvex\\Scanning Application", "InstallDir"},
};

// The suite's programs beside this one, and the language files of those with a window.
constexpr std::string_view kSuitePrograms[] = {"errview", "aclgrant", "scanctl"};
constexpr std::string_view kLanguagePrefixes[] = {"", "errview"};

std::vector<std::string> OurFiles() {
  const std::string folder = platform::paths::ProgramFolder();
  std::vector<std::string> files{platform::paths::GetModuleFileName()};
  for (std::string_view program : kSuitePrograms) {
    const std::string path = folder + std::string(program);
    if (path != files.front()) files.push_back(path);
  }
  for (std::string_view prefix : kLanguagePrefixes)
    for (const std::string& name : resources::LanguageFileNames(prefix)) files.push_back(folder + name);
  return files;
}

bool Exists(const std::string& windows_path) {
  const auto host = platform::paths::ToHost(windows_path);
  std::error_code ec;
  return host && std::filesystem::is_regular_file(*host, ec);
}

bool WriteEntry(ReportFile& file, const std::string& path, const std::string& version) {
  return file.Printf("Name, %s\nVersion, %s\n\n", path.c_str(), version.c_str());
}

bool WriteFound(ReportFile& file, const std::vector<std::string>& files) {
  for (const std::string& path : files)
    if (Exists(path) && !WriteEntry(file, path, FileVersion(path))) return false;
  return true;
}

// The folder a registry value names, with its trailing backslash; nullopt when the key
// or the value is missing.
std::optional<std::string> InstalledFolder(const Candidate& candidate) {
  const auto key = platform::RegKey::Open(platform::HKEY_LOCAL_MACHINE, candidate.key);
  const auto value = key ? key->Query(candidate.value) : std::nullopt;
  if (!value) return std::nullopt;
  std::string folder = value->AsString();
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

bool WriteCandidates(ReportFile& file, std::span<const Candidate> candidates) {
  for (const Candidate& candidate : candidates) {
    if (candidate.key.empty()) {
      if (!WriteFound(file, {std::string(candidate.folder) + std::string(candidate.name)})) return false;
      continue;
    }
    // An installed application whose file is gone still gets its entry.
    const std::optional<std::string> folder = InstalledFolder(candidate);
    if (!folder) continue;
    const std::string path = *folder + std::string(candidate.name);
    if (!WriteEntry(file, path, Exists(path) ? FileVersion(path) : "does not exist")) return false;
  }
  return true;
}

}  // namespace

bool WriteRelatedFiles(ReportFile& file, ReportContext&) {
  return file.Write("<< Related files >>\n") && WriteCandidates(file, kBeforeOurs) && WriteFound(file, OurFiles()) &&
         WriteCandidates(file, kAfterOurs);
}

}  // namespace report
