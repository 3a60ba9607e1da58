#include "platform/hardware_keys.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <regex>

#include "platform/format.h"
#include "platform/registry.h"
#include "platform/registry_volatile.h"
#include "tests/platform/fixture_machine.h"
#include "tests/platform/test_env.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using testing::BuildPc;
using testing::FixtureMachine;
using testing::kCpuInfo;
using testing::TempDir;
using testing::WriteAll;


// The Windows form of a host path outside drive C:.
std::string Rooted(const fs::path& host) {
  std::string path = host.string();
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// Every value as "key path\name=value" (dword:N for numbers) and every empty key as its path.
void Lines(const RegKey& key, std::vector<std::string>& out) {
  const std::vector<std::string> values = key.ValueNames(), subkeys = key.SubKeys();
  if (values.empty() && subkeys.empty()) out.push_back(key.Path());
  for (const std::string& name : values) {
    const RegValue value = *key.Query(name);
    out.push_back(key.Path() + "\\" + name + "=" +
                  (value.type == REG_DWORD ? Format("dword:%u", *value.AsDword()) : value.AsString()));
  }
  for (const std::string& sub : subkeys) Lines(*key.OpenSubKey(sub), out);
}

std::vector<std::string> MachineLines() {
  std::vector<std::string> out;
  Lines(*RegKey::Open(HKEY_LOCAL_MACHINE, ""), out);
  return out;
}

class HardwareKeysTest : public ::testing::Test {
 protected:
  ~HardwareKeysTest() override { SetVolatileLocalMachine({}); }
  testing::ScopedPrefix prefix_;
};


TEST_F(HardwareKeysTest, APcIsDescribedKeyByKey) {
  FixtureMachine pc;
  BuildPc(pc);
  const fs::path ahci = pc.Module("kernel/drivers/ata/ahci.ko.xz", 2024, 3, 5);
  const fs::path sd = pc.Module("kernel/drivers/scsi/sd_mod.ko.xz", 2024, 1, 15);
  const fs::path xhci = pc.Module("kernel/drivers/usb/host/xhci-pci.ko", 2023, 7, 4);
  const fs::path storage = pc.Module("kernel/drivers/usb/storage/usb-storage.ko.xz", 2023, 11, 20);
  ProjectHardwareKeys(pc.roots());

  const std::string cpu = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\";
  const std::string port = "HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port ";
  const std::string ccs = "SYSTEM\\CurrentControlSet\\";
  const std::string disk = "{4D36E967-E325-11CE-BFC1-08002BE10318}", image = "{6BDD1FC6-810F-11D0-BEC7-08002BE10318}",
                    display = "{4D36E968-E325-11CE-BFC1-08002BE10318}", usb = "{36FC9E60-C465-11CF-8056-444553540000}",
                    scsi = "{4D36E97B-E325-11CE-BFC1-08002BE10318}";
  const std::string disk_dev = ccs + "Enum\\SCSI\\Disk&Ven_ATA&Prod_QD500-SATA&Rev_CC44\\0&0&0&0\\";
  const std::string scanner_dev = ccs + "Enum\\SCSI\\Scanner&Ven_QVX&Prod_SF-9000_Scanner&Rev_1.02\\2&0&5&0\\";
  const std::string changer_dev = ccs + "Enum\\SCSI\\Changer&Ven_QVX&Prod_AC-1&Rev_2\\2&0&12&0\\";
  const std::string processor_dev = ccs + "Enum\\SCSI\\Processor&Ven_QVX&Prod_SF-7&Rev_1.0\\2&1&10&0\\";
  const std::string display_dev = ccs + "Enum\\PCI\\VEN_1F3A&DEV_0102&SUBSYS_04AA1F3B&REV_09\\0000:00:02.0\\";
  const std::string xhci_dev = ccs + "Enum\\PCI\\VEN_1F3A&DEV_1E31&SUBSYS_04AA1F3B&REV_04\\0000:00:14.0\\";
  const std::string sata_dev = ccs + "Enum\\PCI\\VEN_1F3A&DEV_1C02&SUBSYS_04AA1F3B&REV_05\\0000:00:1f.2\\";
  const std::string feeder_dev = ccs + "Enum\\USB\\VID_3F01&PID_0C1A\\SN0042\\";
  const std::string reader_dev = ccs + "Enum\\USB\\VID_3F02&PID_0001\\1-3\\";
  const std::string hub_dev = ccs + "Enum\\USB\\VID_1F3C&PID_0002\\0000:00:14.0\\";
  const std::string classes = ccs + "Control\\Class\\";
  const std::vector<std::string> expected = {
      cpu + "0\\Identifier=Intel64 Family 6 Model 85 Stepping 7",
      cpu + "0\\~MHz=dword:2394",
      cpu + "0\\VendorIdentifier=GenuineIntel",
      cpu + "0\\ProcessorNameString=Test CPU @ 2.40GHz",
      cpu + "1\\Identifier=AMD64 Family 23 Model 49 Stepping 0",
      cpu + "1\\~MHz=dword:2900",
      cpu + "1\\VendorIdentifier=AuthenticAMD",
      port + "0\\Driver=ahci",
      port + "0\\Scsi Bus 0\\Initiator Id 255",
      port + "0\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0\\Identifier=ATA     QD500-SATA      CC44",
      port + "0\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0\\Type=DiskPeripheral",
      port + "2\\Driver=qvscsi",
      port + "2\\Scsi Bus 0\\Initiator Id 7",
      port + "2\\Scsi Bus 0\\Target Id 5\\Logical Unit Id 0\\Identifier=QVX     SF-9000 Scanner 1.02",
      port + "2\\Scsi Bus 0\\Target Id 5\\Logical Unit Id 0\\Type=ScannerPeripheral",
      port + "2\\Scsi Bus 0\\Target Id 12\\Logical Unit Id 0\\Identifier=QVX     AC-1            2   ",
      port + "2\\Scsi Bus 0\\Target Id 12\\Logical Unit Id 0\\Type=MediumChangerPeripheral",
      port + "2\\Scsi Bus 1\\Initiator Id 7",
      port + "2\\Scsi Bus 1\\Target Id 10\\Logical Unit Id 0\\Identifier=QVX     SF-7            1.0 ",
      port + "2\\Scsi Bus 1\\Target Id 10\\Logical Unit Id 0\\Type=OtherPeripheral",
      disk_dev + "DeviceDesc=ATA QD500-SATA",
      disk_dev + "Class=DiskDrive",
      disk_dev + "ClassGUID=" + disk,
      disk_dev + "Driver=" + disk + "\\0000",
      disk_dev + "Service=sd_mod",
      disk_dev + "Control\\ActiveService=sd_mod",
      scanner_dev + "DeviceDesc=QVX SF-9000 Scanner",
      scanner_dev + "Class=Image",
      scanner_dev + "ClassGUID=" + image,
      scanner_dev + "Control",
      changer_dev + "DeviceDesc=QVX AC-1",
      changer_dev + "Class=MediumChanger",
      changer_dev + "ClassGUID={CE5939AE-EBDE-11D0-B181-0000F8753EC4}",
      changer_dev + "Control",
      processor_dev + "DeviceDesc=QVX SF-7",
      processor_dev + "Control",
      display_dev + "DeviceDesc=Display controller",
      display_dev + "Class=Display",
      display_dev + "ClassGUID=" + display,
      display_dev + "Control",
      xhci_dev + "DeviceDesc=USB controller",
      xhci_dev + "Class=USB",
      xhci_dev + "ClassGUID=" + usb,
      xhci_dev + "Driver=" + usb + "\\0000",
      xhci_dev + "Service=xhci_pci",
      xhci_dev + "Control\\ActiveService=xhci_pci",
      sata_dev + "DeviceDesc=SATA AHCI Controller Test",
      sata_dev + "Class=SCSIAdapter",
      sata_dev + "ClassGUID=" + scsi,
      sata_dev + "Driver=" + scsi + "\\0000",
      sata_dev + "Service=ahci",
      sata_dev + "Control\\ActiveService=ahci",
      feeder_dev + "DeviceDesc=Fixture Scanner",
      feeder_dev + "Control",
      reader_dev + "DeviceDesc=Card Reader",
      reader_dev + "Class=USB",
      reader_dev + "ClassGUID=" + usb,
      reader_dev + "Driver=" + usb + "\\0001",
      reader_dev + "Service=usb_storage",
      reader_dev + "Control\\ActiveService=usb_storage",
      hub_dev + "DeviceDesc=xHCI Host Controller",
      hub_dev + "Class=USB",
      hub_dev + "ClassGUID=" + usb,
      hub_dev + "Driver=" + usb + "\\0002",
      hub_dev + "Service=hub",
      hub_dev + "Control\\ActiveService=hub",
      classes + disk + "\\Class=DiskDrive",
      classes + disk + "\\0000\\DriverDesc=ATA QD500-SATA",
      classes + disk + "\\0000\\DriverDate=1-15-2024",
      classes + disk + "\\0000\\DriverVersion=6.1.0-test",
      classes + usb + "\\Class=USB",
      classes + usb + "\\0000\\DriverDesc=USB controller",
      classes + usb + "\\0000\\DriverDate=7-4-2023",
      classes + usb + "\\0000\\DriverVersion=6.1.0-test",
      classes + usb + "\\0001\\DriverDesc=Card Reader",
      classes + usb + "\\0001\\DriverDate=11-20-2023",
      classes + usb + "\\0001\\DriverVersion=6.1.0-test",
      classes + usb + "\\0002\\DriverDesc=xHCI Host Controller",
      classes + usb + "\\0002\\DriverVersion=6.1.0-test",
      classes + scsi + "\\Class=SCSIAdapter",
      classes + scsi + "\\0000\\DriverDesc=SATA AHCI Controller Test",
      classes + scsi + "\\0000\\DriverDate=3-5-2024",
      classes + scsi + "\\0000\\DriverVersion=3.0",
      ccs + "Services\\sd_mod\\ImagePath=" + Rooted(sd),
      ccs + "Services\\xhci_pci\\ImagePath=" + Rooted(xhci),
      ccs + "Services\\ahci\\ImagePath=" + Rooted(ahci),
      ccs + "Services\\usb_storage\\ImagePath=" + Rooted(storage),
      ccs + "Services\\hub",
  };
  EXPECT_THAT(MachineLines(), ::testing::UnorderedElementsAreArray(expected));
  // Numbers in the order the report lists them.
  EXPECT_THAT(RegKey::Open(HKEY_LOCAL_MACHINE, port + "2\\Scsi Bus 0")->SubKeys(),
              ::testing::ElementsAre("Initiator Id 7", "Target Id 5", "Target Id 12"));
}

const hive::Key* KeyOf(const hive::Key& machine, const std::string& path) {
  return hive::Find(machine, *hive::SplitKeyPath(path));
}

size_t SubKeyCount(const hive::Key& machine, const std::string& path) {
  const hive::Key* key = KeyOf(machine, path);
  return key ? key->subkeys().size() : 0;
}

std::string CpuInfoWith(const std::string& from, const std::string& to) {
  std::string text = kCpuInfo;
  text.replace(text.find(from), from.size(), to);
  return text;
}

struct DamageCase {
  const char* name;
  std::function<void(FixtureMachine&)> damage;
  std::function<void(const hive::Key&)> check;
};

TEST(HardwareKeysDamageTest, ADamagedOrMissingFileLeavesOutOnlyWhatItDescribes) {
  const std::string cpu = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor";
  const std::string port0 = "HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port 0";
  const std::string enum_key = "SYSTEM\\CurrentControlSet\\Enum\\";
  const fs::path disk = "bus/scsi/devices/0:0:0:0";
  const fs::path sata = "bus/pci/devices/0000:00:1f.2";
  auto disk_left_out = [=](const hive::Key& m) {
    EXPECT_FALSE(KeyOf(m, port0 + "\\Scsi Bus 0\\Target Id 0"));
    EXPECT_TRUE(KeyOf(m, port0 + "\\Scsi Bus 0\\Initiator Id 255"));
    EXPECT_EQ(KeyOf(m, port0)->Value("Driver")->AsString(), "ahci");
    EXPECT_EQ(SubKeyCount(m, enum_key + "SCSI"), 3u);
  };
  auto sata_left_out = [=](const hive::Key& m) {
    EXPECT_EQ(SubKeyCount(m, enum_key + "PCI"), 2u);
    EXPECT_FALSE(KeyOf(m, "SYSTEM\\CurrentControlSet\\Services\\ahci"));
  };
  const DamageCase cases[] = {
      {"cpuinfo of binary bytes",
       [](FixtureMachine& pc) { pc.File(pc.roots().proc / "cpuinfo", std::string("\0\xff:\n\x01\n", 6)); },
       [=](const hive::Key& m) { EXPECT_FALSE(KeyOf(m, cpu)); }},
      {"a family that is no number",
       [](FixtureMachine& pc) { pc.File(pc.roots().proc / "cpuinfo", CpuInfoWith("family\t: 6", "family\t: six")); },
       [=](const hive::Key& m) {
         EXPECT_EQ(SubKeyCount(m, cpu), 1u);
         EXPECT_EQ(KeyOf(m, cpu + "\\0")->Value("Identifier")->AsString(), "AMD64 Family 23 Model 49 Stepping 0");
       }},
      {"a speed that is no number",
       [](FixtureMachine& pc) { pc.File(pc.roots().proc / "cpuinfo", CpuInfoWith("2394.454", "fast")); },
       [=](const hive::Key& m) {
         EXPECT_FALSE(KeyOf(m, cpu + "\\0")->Value("~MHz"));
         EXPECT_TRUE(KeyOf(m, cpu + "\\0")->Value("Identifier"));
       }},
      {"a disk type that is no number", [=](FixtureMachine& pc) { pc.File(pc.sys() / disk / "type", "disk\n"); },
       disk_left_out},
      {"a disk without a vendor", [=](FixtureMachine& pc) { fs::remove(pc.sys() / disk / "vendor"); }, disk_left_out},
      {"a disk vendor far too long",
       [=](FixtureMachine& pc) { pc.File(pc.sys() / disk / "vendor", std::string(5000, 'A')); }, disk_left_out},
      {"a SCSI address that does not parse",
       [](FixtureMachine& pc) {
         pc.Attributes(pc.sys() / "bus/scsi/devices/0:0:x:0",
                       {{"vendor", "ATA"}, {"model", "M"}, {"rev", "1"}, {"type", "0"}});
       },
       [=](const hive::Key& m) { EXPECT_EQ(SubKeyCount(m, enum_key + "SCSI"), 4u); }},
      {"a SCSI host without a driver name",
       [](FixtureMachine& pc) { pc.File(pc.sys() / "class/scsi_host/host0/proc_name", "\n"); },
       [=](const hive::Key& m) {
         EXPECT_FALSE(KeyOf(m, port0)->Value("Driver"));
         EXPECT_TRUE(KeyOf(m, port0 + "\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0"));
       }},
      {"a PCI vendor beyond 16 bits", [=](FixtureMachine& pc) { pc.File(pc.sys() / sata / "vendor", "0x11f3a\n"); },
       sata_left_out},
      {"a PCI device without a class", [=](FixtureMachine& pc) { fs::remove(pc.sys() / sata / "class"); },
       sata_left_out},
      {"an empty USB vendor", [](FixtureMachine& pc) { pc.File(pc.sys() / "bus/usb/devices/1-3/idVendor", ""); },
       [=](const hive::Key& m) {
         EXPECT_EQ(SubKeyCount(m, enum_key + "USB"), 2u);
         EXPECT_FALSE(KeyOf(m, "SYSTEM\\CurrentControlSet\\Services\\usb_storage"));
       }},
      {"a serial number with a backslash",
       [](FixtureMachine& pc) { pc.File(pc.sys() / "bus/usb/devices/1-2/serial", "SN\\42\n"); },
       [=](const hive::Key& m) { EXPECT_TRUE(KeyOf(m, enum_key + "USB\\VID_3F01&PID_0C1A\\1-2\\Control")); }},
      {"a kernel release that climbs out of the modules folder",
       [](FixtureMachine& pc) { pc.File(pc.roots().proc / "sys/kernel/osrelease", "../6.1.0-test/x\n"); },
       [=](const hive::Key& m) {
         const hive::Key* ahci = KeyOf(m, "SYSTEM\\CurrentControlSet\\Services\\ahci");
         ASSERT_TRUE(ahci);
         EXPECT_FALSE(ahci->Value("ImagePath"));
       }},
      {"no /proc and no /sys at all",
       [](FixtureMachine& pc) { fs::remove_all(pc.roots().proc), fs::remove_all(pc.sys()); },
       [=](const hive::Key& m) {
         EXPECT_FALSE(KeyOf(m, cpu));
         EXPECT_FALSE(KeyOf(m, "SYSTEM"));
         EXPECT_EQ(SubKeyCount(m, "HARDWARE\\DEVICEMAP\\Scsi"), 0u);
         EXPECT_TRUE(KeyOf(m, "HARDWARE\\DEVICEMAP\\Scsi"));
       }},
  };
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.name);
    FixtureMachine pc;
    BuildPc(pc);
    pc.Module("kernel/drivers/ata/ahci.ko.xz", 2024, 3, 5);
    c.damage(pc);
    c.check(BuildHardwareKeys(pc.roots()));
  }
}

size_t EntryCount(const fs::path& folder, bool (*counts)(const std::string&)) {
  std::error_code ec;
  size_t n = 0;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    n += counts(it->path().filename().string());
  return n;
}

// Every device key under an Enum branch: its id matches the form, and its Driver and
// Service name keys that exist.
void ExpectDevicesOfShape(const hive::Key& machine, const std::string& branch, const std::regex& id_form) {
  const hive::Key* devices = KeyOf(machine, "SYSTEM\\CurrentControlSet\\Enum\\" + branch);
  if (!devices) return;
  for (const hive::Key& id : devices->subkeys()) {
    EXPECT_TRUE(std::regex_match(id.name(), id_form)) << id.name();
    for (const hive::Key& device : id.subkeys()) {
      SCOPED_TRACE(branch + "\\" + id.name() + "\\" + device.name());
      EXPECT_TRUE(device.Value("DeviceDesc"));
      EXPECT_TRUE(device.Child("Control"));
      if (const RegValue* driver = device.Value("Driver")) {
        const hive::Key* class_key = KeyOf(machine, "SYSTEM\\CurrentControlSet\\Control\\Class\\" + driver->AsString());
        ASSERT_TRUE(class_key);
        EXPECT_TRUE(class_key->Value("DriverDesc"));
        EXPECT_TRUE(class_key->Value("DriverVersion"));
      }
      if (const RegValue* service = device.Value("Service")) {
        EXPECT_TRUE(KeyOf(machine, "SYSTEM\\CurrentControlSet\\Services\\" + service->AsString()));
      }
    }
  }
}

TEST(HardwareKeysOfThisMachineTest, HaveTheirShapeAndAreProjectedQuickly) {
  double first_ms = 0, fastest_ms = 1e9;
  for (int run = 0; run < 5; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const hive::Key keys = BuildHardwareKeys();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (run == 0) first_ms = ms;
    fastest_ms = std::min(fastest_ms, ms);
  }
  ::testing::Test::RecordProperty("projection_ms", Format("%.2f", fastest_ms));
  std::printf("hardware keys projected in %.2f ms (first run %.2f ms)\n", fastest_ms, first_ms);
  EXPECT_LT(fastest_ms, 250.0);  // 50 ms is the aim; the bound leaves room for a loaded test machine

  const hive::Key machine = BuildHardwareKeys();
  if (testing::ReadAll("/proc/cpuinfo").find("vendor_id") != std::string::npos) {
    const hive::Key* cpu = KeyOf(machine, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0");
    ASSERT_TRUE(cpu);
    EXPECT_TRUE(std::regex_match(cpu->Value("Identifier")->AsString(),
                                 std::regex("(Intel64|AMD64) Family \\d+ Model \\d+ Stepping \\d+")));
    EXPECT_TRUE(cpu->Value("~MHz"));
  }
  EXPECT_EQ(SubKeyCount(machine, "HARDWARE\\DEVICEMAP\\Scsi"),
            EntryCount("/sys/class/scsi_host", [](const std::string& n) { return n.starts_with("host"); }));
  size_t pci_devices = 0;
  if (const hive::Key* pci = KeyOf(machine, "SYSTEM\\CurrentControlSet\\Enum\\PCI"))
    for (const hive::Key& id : pci->subkeys()) pci_devices += id.subkeys().size();
  EXPECT_EQ(pci_devices, EntryCount("/sys/bus/pci/devices", [](const std::string&) { return true; }));
  ExpectDevicesOfShape(machine, "PCI",
                       std::regex("VEN_[0-9A-F]{4}&DEV_[0-9A-F]{4}&SUBSYS_[0-9A-F]{8}&REV_[0-9A-F]{2}"));
  ExpectDevicesOfShape(machine, "USB", std::regex("VID_[0-9A-F]{4}&PID_[0-9A-F]{4}"));
  ExpectDevicesOfShape(machine, "SCSI", std::regex("[A-Za-z]+&Ven_[^&]*&Prod_[^&]*&Rev_[^&]*"));
}

}  // namespace
}  // namespace platform
