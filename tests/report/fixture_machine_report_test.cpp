// The whole report of a fixture machine: every PC section from the projected keys and
// the platform doubles, around one scanner, as one golden text.
#include <filesystem>
#include <optional>
#include <string>

#include "platform/drives.h"
#include "platform/language.h"
#include "platform/local_time.h"
#include "platform/memory_status.h"
#include "platform/paths.h"
#include "platform/registry_volatile.h"
#include "platform/system.h"
#include "platform/system_version.h"
#include "platform/ui/file_dialog.h"
#include "report/report_run.h"
#include "tests/platform/fixture_machine.h"
#include "tests/report/report_fixture.h"

namespace report::testing {
namespace {

namespace fs = std::filesystem;
namespace sys = platform::system;

class FixtureMachineReportTest : public ReportTest {
 protected:
  void TearDown() override {
    platform::ui::SetFileDialogAnswerer(nullptr);
    platform::SetVolatileLocalMachine({});
    sys::ForceVersionForTest(std::nullopt);
    sys::ForceNumberOfProcessorsForTest(std::nullopt);
    sys::ForceMemoryStatusForTest(std::nullopt);
    platform::ForceLangIdsForTest(std::nullopt, std::nullopt);
    platform::ForceTimeForTest(std::nullopt);
    platform::drives::ForceDiskFreeSpaceForTest('C', std::nullopt);
    platform::paths::SetProgramFolderForTest(std::nullopt);
    ReportTest::TearDown();
  }

  // The machine: the fixture PC's keys, a Linux system of known versions, 8 GiB, a
  // 100 GiB drive C: with the program installed on it.
  void BuildMachine() {
    platform::testing::BuildPc(pc_);
    pc_.Module("kernel/drivers/ata/ahci.ko.xz", 2024, 3, 5);
    pc_.Module("kernel/drivers/usb/host/xhci-pci.ko", 2023, 7, 4);
    pc_.Module("kernel/drivers/usb/storage/usb-storage.ko.xz", 2023, 11, 20);
    platform::ProjectHardwareKeys(pc_.roots());
    sys::ForceVersionForTest(sys::LinuxVersion("NAME=Fixture\nPRETTY_NAME=\"Fixture Linux 12 (test)\"\n",
                                               "6.1.0-test", "#1 SMP PREEMPT_DYNAMIC Fixture 6.1.99-1", "x86_64"));
    sys::ForceNumberOfProcessorsForTest(2);
    sys::ForceMemoryStatusForTest(*sys::MemoryStatusFromMeminfo(
        "MemTotal:        8388608 kB\nMemAvailable:    6291456 kB\nSwapTotal:       2097152 kB\n"
        "SwapFree:        1048576 kB\n",
        0x40000000));
    platform::ForceLangIdsForTest(0x0409, 0x0409);
    platform::ForceTimeForTest(1796999189);  // Fri Dec 11 14:26:29 2026 UTC
    platform::drives::ForceDiskFreeSpaceForTest('C', platform::drives::DiskFreeSpace{
                                                         uint64_t{40} << 30, uint64_t{100} << 30, uint64_t{42} << 30});
    const fs::path program_folder = prefix_.drive_c() / "Program Files/Scanner";
    fs::create_directories(program_folder);
    platform::paths::SetProgramFolderForTest(program_folder);
    platform::testing::WriteAll(*platform::paths::ToHost(platform::paths::GetModuleFileName()), "\x7f" "ELF");
  }

  platform::testing::FixtureMachine pc_;
};

TEST_F(FixtureMachineReportTest, EverySectionOfOneScannerOnAFixtureMachine) {
  platform::testing::ScopedEnv tz("TZ", "UTC");
  platform::testing::ScopedEnv lc_all("LC_ALL", "C");
  BuildMachine();
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T2713Z").OnAspi(0, 2);
  OpenBus(builder);
  platform::ui::SetFileDialogAnswerer([](const platform::ui::FileDialogRequest&) {
    return std::optional<std::string>("C:\\Scanner.txt");
  });
  ReportContext context{window_};
  ASSERT_TRUE(RunReport(context));
  std::string text = platform::testing::ReadAll(prefix_.drive_c() / "Scanner.txt");
  // The program folder lies in the test's own prefix.
  const std::string module = platform::paths::GetModuleFileName();
  for (size_t at; (at = text.find(module)) != std::string::npos;) text.replace(at, module.size(), "{program}");
  ExpectGolden("fixture_machine", text);
}

}  // namespace
}  // namespace report::testing
