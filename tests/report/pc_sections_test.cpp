#include <filesystem>

#include "platform/drives.h"
#include "platform/local_time.h"
#include "platform/paths.h"
#include "report/system_sections.h"
#include "tests/report/pc_section_fixture.h"

namespace report {
namespace {

using platform::RegKey;
using platform::RegValue;
using testing::Crlf;

constexpr const char* kCpuKey = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

class PcSectionsTest : public testing::PcSectionTest {};

TEST_F(PcSectionsTest, CpuIdentifierSpeedAndProcessorCount) {
  platform::system::ForceNumberOfProcessorsForTest(4);
  const struct {
    const char* identifier_name;  // null: no identifier
    const char* speed_name;       // null: no speed
    const char* text;             // empty: no section
  } cases[] = {
      {"Identifier", "~MHz", "<< CPU >>\nx86 Family 6 Model 158 Stepping 10 2904MHz\nnumber of processors [4]\n\n"},
      {"IDENTIFIER", "~Mhz", "<< CPU >>\nx86 Family 6 Model 158 Stepping 10 2904MHz\nnumber of processors [4]\n\n"},
      {"identifier", "~mhz", "<< CPU >>\nx86 Family 6 Model 158 Stepping 10 2904MHz\nnumber of processors [4]\n\n"},
      {"Identifier", nullptr, "<< CPU >>\nx86 Family 6 Model 158 Stepping 10\nnumber of processors [4]\n\n"},
      {nullptr, "~MHz", "<< CPU >>\n 2904MHz\nnumber of processors [4]\n\n"},
      {nullptr, nullptr, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    platform::RegDeleteTree(platform::HKEY_LOCAL_MACHINE, kCpuKey);
    auto key = RegKey::Create(platform::HKEY_LOCAL_MACHINE, kCpuKey);
    ASSERT_TRUE(key);
    if (c.identifier_name) key->Set(c.identifier_name, RegValue::String("x86 Family 6 Model 158 Stepping 10"));
    if (c.speed_name) key->Set(c.speed_name, RegValue::Dword(2904));
    key->Set("VendorIdentifier", RegValue::String("GenuineIntel"));
    EXPECT_EQ(Written(WriteCpuSection), Crlf(c.text));
  }
  platform::RegDeleteTree(platform::HKEY_LOCAL_MACHINE, kCpuKey);
  EXPECT_EQ(Written(WriteCpuSection), "");
}

TEST_F(PcSectionsTest, MemoryOfEightGigabytesInFull) {
  // As /proc/meminfo shows an 8 GiB machine with 2 GiB of swap.
  const auto status = platform::system::MemoryStatusFromMeminfo(
      "MemTotal:        8388608 kB\nMemFree:         1048576 kB\nMemAvailable:    6291456 kB\n"
      "SwapTotal:       2097152 kB\nSwapFree:        1048576 kB\nCommitLimit:     6291456 kB\n",
      0x40000000);
  ASSERT_TRUE(status);
  EXPECT_EQ(status->ullTotalPhys, 8589934592ULL);
  EXPECT_EQ(status->dwMemoryLoad, 25u);
  platform::system::ForceMemoryStatusForTest(*status);
  platform::system::OsVersionInfo this_system;
  platform::system::ForceVersionForTest(this_system);
  EXPECT_EQ(Written(WriteMemorySection),
            Crlf("<< Memory >>\nMemory use, 25 bytes\nTotal physical memory, 8589934592 bytes\n"
                 "Available physical memory, 6442450944 bytes\nTotal page file, 10737418240 bytes\n"
                 "Available page file, 7516192768 bytes\nTotal virtual memory, 140737488351232 bytes\n"
                 "Available virtual memory, 140736414609408 bytes\n"
                 "Available extended virtual memory, 0 bytes\n\n"));

  // Windows 98 has only the 32-bit status, and no extended line.
  platform::system::OsVersionInfo windows98;
  windows98.dwPlatformId = platform::system::VER_PLATFORM_WIN32_WINDOWS;
  windows98.dwMajorVersion = 4;
  windows98.dwMinorVersion = 10;
  platform::system::ForceVersionForTest(windows98);
  EXPECT_EQ(Written(WriteMemorySection),
            Crlf("<< Memory >>\nMemory use, 25 bytes\nTotal physical memory, 4294967295 bytes\n"
                 "Available physical memory, 4294967295 bytes\nTotal page file, 4294967295 bytes\n"
                 "Available page file, 4294967295 bytes\nTotal virtual memory, 4294967295 bytes\n"
                 "Available virtual memory, 4294967295 bytes\n\n"));
  EXPECT_FALSE(platform::system::MemoryStatusFromMeminfo("SwapTotal: 1 kB\n", 0));
}

class DriveSectionTest : public testing::PcSectionTest {
 protected:
  ~DriveSectionTest() override {
    for (char letter : {'C', 'D', 'E', 'F', 'G'}) {
      platform::drives::ForceDriveTypeForTest(letter, std::nullopt);
      platform::drives::FailDiskFreeSpaceForTest(letter, std::nullopt);
      platform::drives::ForceDiskFreeSpaceForTest(letter, std::nullopt);
      platform::paths::MapDrive(letter, std::nullopt);
    }
  }
  platform::testing::TempDir d_drive;
};

TEST_F(DriveSectionTest, OnlyFixedDisksWithTheirSizesOrTheError) {
  namespace drives = platform::drives;
  platform::paths::MapDrive('D', d_drive.path());
  platform::paths::MapDrive('E', d_drive.path());
  platform::paths::MapDrive('F', d_drive.path());
  platform::paths::MapDrive('G', d_drive.path() / "missing");
  drives::ForceDriveTypeForTest('E', drives::DRIVE_REMOTE);
  drives::ForceDriveTypeForTest('F', drives::DRIVE_CDROM);
  drives::FailDiskFreeSpaceForTest('D', "Access is denied.");
  EXPECT_EQ(drives::GetDriveType("C:\\"), drives::DRIVE_FIXED);
  EXPECT_EQ(drives::GetDriveType("G:\\"), drives::DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(drives::GetDriveType("H:\\"), drives::DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(drives::GetDriveType("C:"), drives::DRIVE_NO_ROOT_DIR);

  const auto c = drives::GetDiskFreeSpaceEx("C:\\", nullptr);
  ASSERT_TRUE(c);
  const std::filesystem::space_info space = std::filesystem::space(prefix.drive_c());
  EXPECT_EQ(c->total_bytes, space.capacity);
  EXPECT_GE(c->total_free_bytes, c->free_bytes_available);
  // Other processes change the free space: the section's figures are fixed from here.
  drives::ForceDiskFreeSpaceForTest('C', *c);
  EXPECT_EQ(Written(WriteDriveSection),
            Crlf("<< Drive >>\nC:\\Total, " + std::to_string(c->total_bytes) + " bytes\nC:\\Free, " +
                 std::to_string(c->total_free_bytes) + " bytes\nD:\\GetDiskFreeSpaceEx Error Access is denied.\n\n"));
}

TEST_F(DriveSectionTest, ClustersWhereOnlyTheOlderQueryExists) {
  namespace drives = platform::drives;
  platform::system::OsVersionInfo windows95;
  windows95.dwPlatformId = platform::system::VER_PLATFORM_WIN32_WINDOWS;
  windows95.dwMajorVersion = 4;
  windows95.dwBuildNumber = 0x040003B6;  // 950, the first release
  platform::system::ForceVersionForTest(windows95);
  EXPECT_FALSE(drives::HasDiskFreeSpaceEx());
  platform::paths::MapDrive('D', d_drive.path());
  drives::FailDiskFreeSpaceForTest('D', "Access is denied.");

  const auto c = drives::GetDiskFreeSpace("C:\\", nullptr);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->bytes_per_sector, 512u);
  const uint64_t cluster = uint64_t{c->sectors_per_cluster} * c->bytes_per_sector;
  const std::filesystem::space_info space = std::filesystem::space(prefix.drive_c());
  // Counts of the real size, or the 2 GB the older query stops at.
  EXPECT_EQ(c->total_clusters, std::min<uint64_t>(space.capacity, 0x7FFFFFFF) / cluster);
  EXPECT_LE(c->free_clusters, c->total_clusters);
  const std::string sizes = "C:\\Cluster, " + std::to_string(c->sectors_per_cluster) + " sectors\nC:\\Sector, 512 bytes\n";
  const std::string text = Written(WriteDriveSection);
  EXPECT_EQ(text.substr(0, text.find("C:\\Total")), Crlf("<< Drive >>\n" + sizes)) << text;
  EXPECT_NE(text.find(Crlf("C:\\Total, " + std::to_string(c->total_clusters) + " clusters\nC:\\Free, ")), std::string::npos);
  EXPECT_TRUE(text.ends_with(Crlf(" clusters\nD:\\GetDiskFreeSpace Error Access is denied.\n\n"))) << text;

  windows95.dwBuildNumber = 0x04000457;  // 1111, the second release
  platform::system::ForceVersionForTest(windows95);
  EXPECT_TRUE(drives::HasDiskFreeSpaceEx());
}

TEST_F(PcSectionsTest, DateInTheLocaleForm) {
  platform::testing::ScopedEnv tz("TZ", "UTC");
  platform::testing::ScopedEnv lc_all("LC_ALL", "C");
  platform::ForceTimeForTest(1796999189);  // Fri Dec 11 14:26:29 2026 UTC
  const std::string text = Written(WriteDateSection);
  platform::ForceTimeForTest(std::nullopt);
  EXPECT_EQ(text, Crlf("<< Date >>\nFri Dec 11 14:26:29 2026\n\n"));
}

TEST_F(PcSectionsTest, AFailedWriteIsReported) {
  platform::system::ForceNumberOfProcessorsForTest(1);
  auto key = RegKey::Create(platform::HKEY_LOCAL_MACHINE, kCpuKey);
  key->Set("Identifier", RegValue::String("x86"));
  for (auto writer : {WriteDateSection, WriteCpuSection, WriteOsSection, WriteDriveSection, WriteMemorySection}) {
    bool answer = true;
    Written([&](ReportFile& file, ReportContext& c) {
      file.FailAfterForTest(3);
      return writer(file, c);
    }, &answer);
    EXPECT_FALSE(answer);
  }
}

}  // namespace
}  // namespace report
