#include "report/os_name.h"
#include "report/system_sections.h"
#include "tests/report/pc_section_fixture.h"

namespace report {
namespace {

using namespace platform::system;
using platform::DWORD;
using testing::Crlf;

OsVersionInfo Windows(DWORD platform, DWORD major, DWORD minor, const char* csd = "",
                      uint8_t product = VER_NT_WORKSTATION) {
  OsVersionInfo v;
  v.dwPlatformId = platform;
  v.dwMajorVersion = major;
  v.dwMinorVersion = minor;
  v.szCSDVersion = csd;
  v.wProductType = product;
  return v;
}

TEST(OsNameTest, EveryRowOfTheNameTable) {
  OsVersionInfo r2 = Windows(VER_PLATFORM_WIN32_NT, 5, 2, "", VER_NT_SERVER);
  r2.server_r2 = true;
  OsVersionInfo xp64 = Windows(VER_PLATFORM_WIN32_NT, 5, 2);
  xp64.x64_processor = true;
  OsVersionInfo server64 = Windows(VER_PLATFORM_WIN32_NT, 5, 2, "", VER_NT_SERVER);
  server64.x64_processor = true;
  OsVersionInfo debian = Windows(VER_PLATFORM_LINUX, 6, 8);
  debian.product_name = "Debian GNU/Linux 12 (bookworm)";
  const struct {
    OsVersionInfo version;
    bool wow64;
    const char* name;
    bool lacks_usb;
  } cases[] = {
      {Windows(VER_PLATFORM_WIN32s, 1, 30), false, "Microsoft Win32s ", true},
      {Windows(VER_PLATFORM_WIN32_WINDOWS, 4, 0, " A"), false, "Microsoft Windows 95 ", true},
      {Windows(VER_PLATFORM_WIN32_WINDOWS, 4, 0, " B"), false, "Microsoft Windows 95 OSR2 ", true},
      {Windows(VER_PLATFORM_WIN32_WINDOWS, 4, 0, " C"), false, "Microsoft Windows 95 OSR2 ", true},
      {Windows(VER_PLATFORM_WIN32_WINDOWS, 4, 0, "C"), false, "Microsoft Windows 95 ", true},
      {Windows(VER_PLATFORM_WIN32_WINDOWS, 4, 10, ""), false, "Microsoft Windows 98 ", false},
      {Windows(VER_PLATFORM_WIN32_WINDOWS, 4, 10, " A "), false, "Microsoft Windows 98 SE ", false},
      {Windows(VER_PLATFORM_WIN32_WINDOWS, 4, 90, " "), false, "Microsoft Windows Me ", false},
      {Windows(VER_PLATFORM_WIN32_WINDOWS, 4, 20), false, "Unknown OS ", false},
      {Windows(VER_PLATFORM_WIN32_NT, 3, 51), false, "Microsoft Windows NT ", true},
      {Windows(VER_PLATFORM_WIN32_NT, 4, 0, "Service Pack 6"), true, "Microsoft Windows NT ", true},
      {Windows(VER_PLATFORM_WIN32_NT, 5, 0), true, "Microsoft Windows 2000 ", false},
      {Windows(VER_PLATFORM_WIN32_NT, 5, 1, "Service Pack 3"), false, "Microsoft Windows XP ", false},
      {Windows(VER_PLATFORM_WIN32_NT, 5, 1), true, "Microsoft Windows XP x64 Edition", false},
      {r2, false, "Microsoft Windows Server 2003 \"R2\" ", false},
      {r2, true, "Microsoft Windows Server 2003 \"R2\" x64 Edition", false},
      {xp64, true, "Microsoft Windows XP Professional x64 Edition ", false},
      {Windows(VER_PLATFORM_WIN32_NT, 5, 2, "", VER_NT_SERVER), false, "Microsoft Windows Server 2003 ", false},
      {server64, true, "Microsoft Windows Server 2003 x64 Edition", false},
      {Windows(VER_PLATFORM_WIN32_NT, 6, 0), false, "Microsoft Windows Vista", false},
      {Windows(VER_PLATFORM_WIN32_NT, 6, 0, "", VER_NT_DOMAIN_CONTROLLER), true, "Microsoft Windows Server 2008x64 Edition",
       false},
      {Windows(VER_PLATFORM_WIN32_NT, 6, 1, "Service Pack 1"), false, "Microsoft Windows 7", false},
      {Windows(VER_PLATFORM_WIN32_NT, 6, 1), true, "Microsoft Windows 7x64 Edition", false},
      {Windows(VER_PLATFORM_WIN32_NT, 6, 1, "", VER_NT_SERVER), false, "Unknown OS", false},
      {Windows(VER_PLATFORM_WIN32_NT, 6, 2), false, "Unknown OS ", false},
      {Windows(VER_PLATFORM_WIN32_NT, 10, 0), true, "Unknown OS ", false},
      {debian, false, "Debian GNU/Linux 12 (bookworm)", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(OsName(c.version, c.wow64), c.name);
    EXPECT_EQ(LacksUsb(c.version), c.lacks_usb);
  }
}

TEST(LinuxVersionTest, NamesTheDistributionAndTakesTheKernelRelease) {
  const OsVersionInfo v = LinuxVersion("NAME=\"Ubuntu\"\nPRETTY_NAME=\"Ubuntu 22.04.4 LTS\"\nID=ubuntu\n",
                                       "6.8.0-45-generic", "#45-Ubuntu SMP PREEMPT_DYNAMIC", "x86_64");
  EXPECT_EQ(v.dwPlatformId, VER_PLATFORM_LINUX);
  EXPECT_EQ(v.product_name, "Ubuntu 22.04.4 LTS");
  EXPECT_EQ(v.dwMajorVersion, 6u);
  EXPECT_EQ(v.dwMinorVersion, 8u);
  EXPECT_EQ(v.dwBuildNumber, 0u);
  EXPECT_EQ(v.szCSDVersion, "#45-Ubuntu SMP PREEMPT_DYNAMIC");
  EXPECT_FALSE(v.extended);
  EXPECT_TRUE(v.x64_processor);

  const OsVersionInfo bare = LinuxVersion("ID=custom\nPRETTY_NAME=Plain\\ name\n", "5.15.167.4-microsoft", "#1", "aarch64");
  EXPECT_EQ(bare.product_name, "Plain\\ name");
  EXPECT_EQ(bare.dwBuildNumber, 167u);
  EXPECT_FALSE(bare.x64_processor);
  EXPECT_EQ(LinuxVersion("", "6.1", "", "").product_name, "Linux");
  EXPECT_EQ(LinuxVersion("PRETTY_NAME='It''s'\n", "6", "", "").dwMinorVersion, 0u);
}

class OsSectionTest : public testing::PcSectionTest {};

TEST_F(OsSectionTest, ExtendedWindowsSevenOnSixtyFourBitWindows) {
  OsVersionInfo v = Windows(VER_PLATFORM_WIN32_NT, 6, 1, "Service Pack 1");
  v.dwBuildNumber = 0x12341DB1;  // only the low 16 bits are the build
  v.extended = true;
  v.wServicePackMajor = 1;
  ForceVersionForTest(v);
  ForceWow64ForTest(true);
  platform::ForceLangIdsForTest(0x0409, platform::MAKELANGID(0x11, 0x01));
  EXPECT_EQ(Written(WriteOsSection), Crlf("<< OS >>\nName, Microsoft Windows 7x64 Edition\nMajorVersion, 6\n"
                                          "MinorVersion, 1\nBuildNumber, 7601\nCSDVersion, Service Pack 1\n"
                                          "SP MajorVersion, 1\nSP MinorVersion, 0\n"
                                          "Primary Lang ID 0x11\nSub Lang ID 0x01\n\n"));
  EXPECT_TRUE(context.usb_section);
}

TEST_F(OsSectionTest, ShortFormEndsWithAnEmptyLineAndOldSystemsDropTheUsbSection) {
  OsVersionInfo v = Windows(VER_PLATFORM_WIN32_WINDOWS, 4, 0, " C");
  v.dwBuildNumber = 0x040003B6;
  ForceVersionForTest(v);
  platform::ForceLangIdsForTest(0x0407, 0x0407);
  EXPECT_EQ(Written(WriteOsSection), Crlf("<< OS >>\nName, Microsoft Windows 95 OSR2 \nMajorVersion, 4\n"
                                          "MinorVersion, 0\nBuildNumber, 950\nCSDVersion,  C\n\n"
                                          "Primary Lang ID 0x07\nSub Lang ID 0x01\n\n"));
  EXPECT_FALSE(context.usb_section);
}

}  // namespace
}  // namespace report
