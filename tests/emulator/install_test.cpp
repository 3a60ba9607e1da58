#include "emulator/install.h"

#include <gtest/gtest.h>

#include "platform/module.h"
#include "tests/emulator/emulator_support.h"

namespace {

using namespace emutest;
using emulator::AspiModule;
using emulator::StiModule;

TEST(InstallTest, RegistersBothLibrariesBackedByTheBus) {
  TwoScanners s;
  emulator::ScopedInstall install(s.bus);
  auto aspi_library = platform::LoadLibraryAs<aspi::AspiLibrary>("WNASPI32.DLL");
  ASSERT_TRUE(aspi_library);
  EXPECT_EQ(aspi_library->GetASPI32SupportInfo(), 0x0101u);
  auto srb = ExecBlock(0, 3, kTestUnitReady, aspi::SRB_DIR_OUT, nullptr, 0);
  EXPECT_EQ(aspi_library->SendASPI32Command(&srb), aspi::SS_COMP);
  EXPECT_EQ(s.scsi->Commands().size(), 1u);

  auto sti_library = platform::LoadLibraryAs<sti::StiLibrary>("sti.dll");
  ASSERT_TRUE(sti_library);
  std::shared_ptr<sti::StillImage> still;
  ASSERT_EQ(sti_library->StiCreateInstance(nullptr, 2, &still), platform::S_OK);
  std::vector<sti::StiDeviceInformation> list;
  still->GetDeviceList(0, 0, &list);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].DeviceDescription, u"DE-T4783Z");
}

TEST(InstallTest, LibrariesLackingEntriesOrMissing) {
  TwoScanners s;
  struct Case {
    emulator::InstallOptions options;
    bool aspi_loads, send, support, sti_loads, create;
  };
  const Case cases[] = {
      {{AspiModule::kWithoutSendCommand, StiModule::kComplete}, true, false, true, true, true},
      {{AspiModule::kWithoutSupportInfo, StiModule::kWithoutCreateInstance}, true, true, false, true, false},
      {{AspiModule::kNotRegistered, StiModule::kNotRegistered}, false, false, false, false, false},
  };
  for (const Case& c : cases) {
    emulator::Install(s.bus, c.options);
    auto aspi_library = platform::LoadLibraryAs<aspi::AspiLibrary>(aspi::kLibraryName);
    auto sti_library = platform::LoadLibraryAs<sti::StiLibrary>(sti::kLibraryName);
    EXPECT_EQ(bool(aspi_library), c.aspi_loads);
    EXPECT_EQ(bool(sti_library), c.sti_loads);
    if (aspi_library) {
      EXPECT_EQ(bool(aspi_library->SendASPI32Command), c.send);
      EXPECT_EQ(bool(aspi_library->GetASPI32SupportInfo), c.support);
    }
    if (sti_library) {
      EXPECT_EQ(bool(sti_library->StiCreateInstance), c.create);
    }
  }
  emulator::Uninstall();
  EXPECT_FALSE(platform::LoadLibrary(aspi::kLibraryName));
  EXPECT_FALSE(platform::LoadLibrary(sti::kLibraryName));
}

}  // namespace
