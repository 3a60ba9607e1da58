#include "emulator/driver_keys.h"

#include <gtest/gtest.h>

#include "emulator/device_builder.h"
#include "platform/registry.h"
#include "tests/platform/test_env.h"

namespace {

TEST(DriverKeysTest, InstallsDeviceDataAndEventKeys) {
  platform::testing::ScopedPrefix prefix;
  emulator::BusBuilder builder;
  builder.Device("a").OnStiUsb(1, u"{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0003").DisableNotifications(1)
      .ButtonApplications("{A1}").FeederApplications("{B2},{C3}");
  builder.Device("b").OnStiUsb().DisableNotifications(std::nullopt);
  builder.Device("aspi").OnAspi(0, 1);
  auto bus = builder.Build();
  ASSERT_TRUE(emulator::InstallDriverKeys(*bus));

  using platform::HKEY_LOCAL_MACHINE;
  const std::string base = "SYSTEM\\CurrentControlSet\\Control\\Class\\{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0003";
  auto data = platform::RegKey::Open(HKEY_LOCAL_MACHINE, base + "\\DeviceData");
  ASSERT_TRUE(data);
  auto disable = data->Query("DisableNotifications");
  ASSERT_TRUE(disable);
  EXPECT_EQ(disable->type, platform::REG_DWORD);
  EXPECT_EQ(disable->AsDword(), 1u);
  auto button = platform::RegKey::Open(HKEY_LOCAL_MACHINE, base + "\\Events\\StartStopButton");
  ASSERT_TRUE(button);
  EXPECT_EQ(button->Query("LaunchApplications")->AsString(), "{A1}");
  auto feeder = platform::RegKey::Open(HKEY_LOCAL_MACHINE, base + "\\Events\\FeederLoaded");
  ASSERT_TRUE(feeder);
  EXPECT_EQ(feeder->Query("LaunchApplications")->AsString(), "{B2},{C3}");

  // Values the settings leave out are absent, their keys present.
  const std::string other = emulator::DriverKeyPath(*bus->Find("b")->attachment().sti);
  auto other_data = platform::RegKey::Open(HKEY_LOCAL_MACHINE, other + "\\DeviceData");
  ASSERT_TRUE(other_data);
  EXPECT_FALSE(other_data->Query("DisableNotifications"));
  auto other_button = platform::RegKey::Open(HKEY_LOCAL_MACHINE, other + "\\Events\\StartStopButton");
  ASSERT_TRUE(other_button);
  EXPECT_FALSE(other_button->Query("LaunchApplications"));

  emulator::RemoveDriverKeys(*bus->Find("a"));
  EXPECT_FALSE(platform::RegKey::Open(HKEY_LOCAL_MACHINE, base));
}

}  // namespace
