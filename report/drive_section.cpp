#include <string>

#include "platform/drives.h"
#include "report/system_sections.h"

namespace report {
namespace {

namespace drives = platform::drives;

bool WriteBytes(ReportFile& file, const std::string& root) {
  std::string error;
  const auto space = drives::GetDiskFreeSpaceEx(root, &error);
  if (!space) return file.Printf("%sGetDiskFreeSpaceEx Error %s\n", root.c_str(), error.c_str());
  return file.Printf("%sTotal, %llu bytes\n%sFree, %llu bytes\n", root.c_str(),
                     static_cast<unsigned long long>(space->total_bytes), root.c_str(),
                     static_cast<unsigned long long>(space->total_free_bytes));
}

bool WriteClusters(ReportFile& file, const std::string& root) {
  std::string error;
  const auto space = drives::GetDiskFreeSpace(root, &error);
  if (!space) return file.Printf("%sGetDiskFreeSpace Error %s\n", root.c_str(), error.c_str());
  const char* r = root.c_str();
  return file.Printf("%sCluster, %u sectors\n%sSector, %u bytes\n", r, space->sectors_per_cluster, r,
                     space->bytes_per_sector) &&
         file.Printf("%sTotal, %u clusters\n%sFree, %u clusters\n", r, space->total_clusters, r,
                     space->free_clusters);
}

}  // namespace

bool WriteDriveSection(ReportFile& file, ReportContext&) {
  if (!file.Write("<< Drive >>\n")) return false;
  const bool in_bytes = drives::HasDiskFreeSpaceEx();
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string root{letter, ':', '\\'};
    if (drives::GetDriveType(root) != drives::DRIVE_FIXED) continue;
    if (!(in_bytes ? WriteBytes(file, root) : WriteClusters(file, root))) return false;
  }
  return file.Write("\n");
}

}  // namespace report
