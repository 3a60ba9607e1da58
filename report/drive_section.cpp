#include <string>

#include "platform/drives.h"
#include "report/system_sections.h"

namespace report {

bool WriteDriveSection(ReportFile& file, ReportContext&) {
  namespace drives = platform::drives;
  if (!file.Write("<< Drive >>\n")) return false;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string root{letter, ':', '\\'};
    if (drives::GetDriveType(root) != drives::DRIVE_FIXED) continue;
    std::string error;
    const auto space = drives::GetDiskFreeSpaceEx(root, &error);
    const bool ok = space ? file.Printf("%sTotal, %llu bytes\n%sFree, %llu bytes\n", root.c_str(),
                                        static_cast<unsigned long long>(space->total_bytes), root.c_str(),
                                        static_cast<unsigned long long>(space->total_free_bytes))
                          : file.Printf("%sGetDiskFreeSpaceEx Error %s\n", root.c_str(), error.c_str());
    if (!ok) return false;
  }
  return file.Write("\n");
}

}  // namespace report
