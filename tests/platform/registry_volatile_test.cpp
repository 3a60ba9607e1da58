#include "platform/registry_volatile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/registry.h"
#include "tests/platform/test_env.h"

namespace platform {
namespace {

using ::testing::ElementsAre;
using testing::ReadAll;
using testing::ScopedPrefix;

hive::Key Volatile(const std::string& path, const std::string& name, const std::string& value) {
  hive::Key root;
  hive::FindOrCreate(root, *hive::SplitKeyPath(path)).SetValue(name, RegValue::String(value));
  return root;
}

class VolatileRegistryTest : public ::testing::Test {
 protected:
  VolatileRegistryTest() {
    hive::Key root = Volatile("HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", "Identifier", "Intel64 Family 6");
    hive::Key& service = hive::FindOrCreate(root, *hive::SplitKeyPath("SYSTEM\\CurrentControlSet\\Services\\ahci"));
    service.SetValue("ImagePath", RegValue::String("\\lib\\modules\\ahci.ko"));
    service.SetValue("Start", RegValue::Dword(0));
    SetVolatileLocalMachine(std::move(root));
  }
  ~VolatileRegistryTest() override { SetVolatileLocalMachine({}); }
  // The file's own part of a key the volatile part also has.
  void WriteFileKeys() const {
    testing::WriteAll(
        prefix_.path() / "system.reg",
        "[SYSTEM\\\\CurrentControlSet\\\\Services\\\\ahci]\n\"Start\"=dword:00000003\n\"Group\"=\"SCSI\"\n"
        "[SYSTEM\\\\CurrentControlSet\\\\Services\\\\cdrom]\n");
  }
  std::string SystemHive() const { return ReadAll(prefix_.path() / "system.reg"); }

  ScopedPrefix prefix_;
};

TEST_F(VolatileRegistryTest, ReadsSeeTheVolatileKeysBesideTheFile) {
  WriteFileKeys();

  const std::optional<RegKey> cpu =
      RegKey::Open(HKEY_LOCAL_MACHINE, "hardware\\description\\system\\centralprocessor\\0");
  ASSERT_TRUE(cpu);
  EXPECT_EQ(cpu->Query("IDENTIFIER")->AsString(), "Intel64 Family 6");
  EXPECT_THAT(RegKey::Open(HKEY_LOCAL_MACHINE, "")->SubKeys(), ElementsAre("SYSTEM", "HARDWARE"));
  EXPECT_THAT(RegKey::Open(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services")->SubKeys(),
              ElementsAre("ahci", "cdrom"));

  // A value of the volatile part hides the file's value of the same name.
  const std::optional<RegKey> service = RegKey::Open(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\ahci");
  EXPECT_THAT(service->ValueNames(), ElementsAre("Start", "Group", "ImagePath"));
  EXPECT_EQ(service->Query("Start")->AsDword(), 0u);
  EXPECT_EQ(service->Query("Group")->AsString(), "SCSI");

  EXPECT_FALSE(RegKey::Open(HKEY_CURRENT_USER, "HARDWARE"));
  SetVolatileLocalMachine({});
  EXPECT_FALSE(RegKey::Open(HKEY_LOCAL_MACHINE, "HARDWARE"));
  EXPECT_EQ(service->Query("Start")->AsDword(), 3u);
}

TEST_F(VolatileRegistryTest, WritesNeverPutTheVolatileKeysIntoTheFile) {
  WriteFileKeys();
  ASSERT_TRUE(RegKey::Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vendor")->Set("Path", RegValue::String("C:\\x")));
  ASSERT_TRUE(RegKey::Open(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\ahci")
                  ->Set("Group", RegValue::String("Disk")));
  EXPECT_TRUE(RegDeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vendor"));
  const std::string hive = SystemHive();
  EXPECT_EQ(hive,
            "; registry hive\n"
            "[SYSTEM]\n[SYSTEM\\\\CurrentControlSet]\n[SYSTEM\\\\CurrentControlSet\\\\Services]\n"
            "[SYSTEM\\\\CurrentControlSet\\\\Services\\\\ahci]\n\"Start\"=dword:00000003\n\"Group\"=\"Disk\"\n"
            "[SYSTEM\\\\CurrentControlSet\\\\Services\\\\cdrom]\n[SOFTWARE]\n");
}

TEST_F(VolatileRegistryTest, AKeyOnlyInTheVolatilePartIsReadOnly) {
  std::optional<RegKey> created =
      RegKey::Create(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0");
  ASSERT_TRUE(created);
  EXPECT_FALSE(created->Set("Identifier", RegValue::String("changed")));
  EXPECT_FALSE(created->Set("Other", RegValue::String("new")));
  EXPECT_FALSE(created->DeleteValue("Identifier"));
  EXPECT_FALSE(RegDeleteTree(HKEY_LOCAL_MACHINE, "HARDWARE"));
  EXPECT_EQ(created->Query("Identifier")->AsString(), "Intel64 Family 6");
  EXPECT_FALSE(created->Query("Other"));
  EXPECT_EQ(SystemHive().find("HARDWARE"), std::string::npos);
}

}  // namespace
}  // namespace platform
