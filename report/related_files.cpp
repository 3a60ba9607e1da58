#include <string>
#include <string_view>
#include <vector>

#include "platform/paths.h"
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

std::string In(std::string_view folder, std::string_view name) { return std::string(folder) + std::string(name); }

// The system's files around scanning, in the order the report lists them: the ASPI
// layer, the TWAIN managers, then the still-image class drivers.
std::vector<std::string> SystemFilesBeforeOurs() {
  return {In(kSystem32Folder, "wnaspi32.dll"), In(kSystemFolder, "winaspi.dll"),   In(kDriversFolder, "ASPI32.sys"),
          In(kSystemFolder, "wowpost.exe"),    In(kIosubsysFolder, "apix.vxd"),    In(kIosubsysFolder, "aspienum.vxd"),
          In(kWindowsFolder, "Twain_32.dll"),  In(kWindowsFolder, "Twain.dll")};
}

std::vector<std::string> StillImageDrivers() {
  return {In(kDriversFolder, "usbscan.sys"), In(kDriversFolder, "scsiscan.sys"), In(kDriversFolder, "scsimap.sys")};
}

// This program and its language files.
std::vector<std::string> OurFiles() {
  const std::string folder = platform::paths::ProgramFolder();
  std::vector<std::string> files{platform::paths::GetModuleFileName()};
  for (const std::string& name : resources::LanguageFileNames()) files.push_back(folder + name);
  return files;
}

bool Exists(const std::string& windows_path) {
  const auto host = platform::paths::ToHost(windows_path);
  std::error_code ec;
  return host && std::filesystem::is_regular_file(*host, ec);
}

bool WriteFound(ReportFile& file, const std::vector<std::string>& files) {
  for (const std::string& path : files) {
    if (!Exists(path)) continue;
    if (!file.Printf("Name, %s\nVersion, %s\n\n", path.c_str(), FileVersion(path).c_str())) return false;
  }
  return true;
}

}  // namespace

bool WriteRelatedFiles(ReportFile& file, ReportContext&) {
  return file.Write("<< Related files >>\n") && WriteFound(file, SystemFilesBeforeOurs()) &&
         WriteFound(file, OurFiles()) && WriteFound(file, StillImageDrivers());
}

}  // namespace report
