#include "platform/language.h"
#include "platform/system.h"
#include "platform/system_version.h"
#include "report/os_name.h"
#include "report/system_sections.h"

namespace report {

bool WriteOsSection(ReportFile& file, ReportContext& context) {
  const platform::system::OsVersionInfo v = platform::system::GetVersionEx();
  if (LacksUsb(v)) context.usb_section = false;
  const std::string name = OsName(v, platform::system::IsWow64Process().value_or(false));
  bool ok = file.Printf("<< OS >>\nName, %s\n", name.c_str()) &&
            file.Printf("MajorVersion, %d\n", static_cast<int>(v.dwMajorVersion)) &&
            file.Printf("MinorVersion, %d\n", static_cast<int>(v.dwMinorVersion)) &&
            file.Printf("BuildNumber, %d\n", static_cast<int>(v.dwBuildNumber & 0xFFFF)) &&
            file.Printf("CSDVersion, %s\n", v.szCSDVersion.c_str());
  if (v.extended) {
    ok = ok && file.Printf("SP MajorVersion, %d\n", v.wServicePackMajor) &&
         file.Printf("SP MinorVersion, %d\n", v.wServicePackMinor);
  } else {
    ok = ok && file.Write("\n");
  }
  const platform::LANGID language = platform::GetSystemDefaultLangID();
  return ok && file.Printf("Primary Lang ID 0x%02x\n", platform::PRIMARYLANGID(language)) &&
         file.Printf("Sub Lang ID 0x%02x\n\n", platform::SUBLANGID(language));
}

}  // namespace report
