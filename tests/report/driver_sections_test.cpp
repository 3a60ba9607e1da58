#include "report/system_sections.h"
#include "tests/report/pc_section_fixture.h"

namespace report {
namespace {

using testing::Crlf;
using testing::SetStrings;

constexpr const char* kScsi = "HARDWARE\\DEVICEMAP\\Scsi\\";
constexpr const char* kEnum = "SYSTEM\\CurrentControlSet\\Enum\\";
constexpr const char* kClass = "SYSTEM\\CurrentControlSet\\Control\\Class\\";
constexpr const char* kServices = "SYSTEM\\CurrentControlSet\\Services\\";

constexpr const char* kVersionedDriver = R"(1 VERSIONINFO
BEGIN
  BLOCK "StringFileInfo" { BLOCK "040904B0" { VALUE "FileVersion", "6.1.7600.16385" } }
  BLOCK "VarFileInfo" { VALUE "Translation", 0x409, 1200 }
END
)";

class DriverSectionsTest : public testing::PcSectionTest {
 protected:
  void SetUp() override {
    // One service whose image has a version, one whose image has none.
    platform::testing::WriteAll(prefix.drive_c() / "windows/system32/drivers/aic78xx.sys", kVersionedDriver);
    platform::testing::WriteAll(prefix.drive_c() / "windows/system32/drivers/atapi.sys", "MZ\x90");
    SetStrings(std::string(kServices) + "aic78xx", {{"ImagePath", "System32\\drivers\\aic78xx.sys"}});
    SetStrings(std::string(kServices) + "atapi", {{"ImagePath", "\\SystemRoot\\System32\\drivers\\atapi.sys"}});
  }

  // A device key, present now (with its Control subkey) when `present`.
  void Device(const std::string& path, std::initializer_list<std::pair<const char*, const char*>> values,
              bool present = true) {
    SetStrings(std::string(kEnum) + path, values);
    if (present) SetStrings(std::string(kEnum) + path + "\\Control", {});
  }
};

TEST_F(DriverSectionsTest, ScsiPortsWithAndWithoutDriverBusesInitiatorsAndUnits) {
  SetStrings(std::string(kScsi) + "Scsi Port 0", {{"Driver", "aic78xx"}});
  SetStrings(std::string(kScsi) + "Scsi Port 0\\Scsi Bus 0\\Initiator Id 7", {});
  SetStrings(std::string(kScsi) + "Scsi Port 0\\Scsi Bus 0\\Target Id 2\\Logical Unit Id 0",
             {{"Identifier", "QVX     DE-T9793        0100"}, {"Type", "ScannerPeripheral"}});
  SetStrings(std::string(kScsi) + "Scsi Port 0\\Scsi Bus 0\\Target Id 2\\Logical Unit Id 1", {{"Type", "Other"}});
  SetStrings(std::string(kScsi) + "Scsi Port 0\\Scsi Bus 0\\Target Id 5\\Logical Unit Id 0",
             {{"Identifier", "DISK 1"}});
  SetStrings(std::string(kScsi) + "Scsi Port 0\\Scsi Bus 1\\Initiator Id 255", {});
  SetStrings(std::string(kScsi) + "Scsi Port 1", {{"FirstBusScanTimeInMs", "0"}});
  SetStrings(std::string(kScsi) + "Scsi Port 1\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0", {{"Identifier", "CD"}});
  SetStrings(std::string(kScsi) + "Scsi Port 2", {{"Driver", "atapi"}});
  context.nt_layout = false;
  EXPECT_EQ(Written(WriteScsiDriverSection),
            Crlf("<< SCSI Driver Information >>\n\n"
                 "<< Scsi Port 0 >>\nService, aic78xx\nFile Name, System32\\drivers\\aic78xx.sys\n"
                 "Version, 6.1.7600.16385\n\n"
                 "<< Scsi Port 0 - Scsi Bus 0 >>\nInitiator Id 7\n"
                 "Target Id 2 - Logical Unit Id 0, QVX     DE-T9793        0100\n"
                 "Target Id 5 - Logical Unit Id 0, DISK 1\n\n"
                 "<< Scsi Port 0 - Scsi Bus 1 >>\nInitiator Id 255\n\n\n"
                 "<< Scsi Port 1 >>\n"
                 "<< Scsi Port 2 >>\nService, atapi\n\n\n"));
  EXPECT_TRUE(context.nt_layout);
}

TEST_F(DriverSectionsTest, NoPortAndNoDeviceMap) {
  SetStrings("HARDWARE\\DEVICEMAP\\Scsi", {});
  EXPECT_EQ(Written(WriteScsiDriverSection), Crlf("<< SCSI Driver Information >>\n\nNo SCSI Device\n"));
  EXPECT_TRUE(context.nt_layout);
  platform::RegDeleteTree(platform::HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\Scsi");
  EXPECT_EQ(Written(WriteScsiDriverSection), Crlf("<< SCSI Driver Information >>\n\n"));
  EXPECT_FALSE(context.nt_layout);
}

TEST_F(DriverSectionsTest, AdapterListByClassAndClassGuidOnlyPresentDevices) {
  SetStrings(std::string(kClass) + "{4D36E97B-E325-11CE-BFC1-08002BE10318}\\0001",
             {{"DriverDesc", "Fast SCSI Host Adapter"}, {"DriverDate", "6-21-2006"}, {"DriverVersion", "6.1.7600.16385"}});
  SetStrings(std::string(kClass) + "{4D36E97B-E325-11CE-BFC1-08002BE10318}\\0002", {{"DriverVersion", "1.0"}});
  Device("PCI\\VEN_9005&DEV_001F\\4&1f7dbc9f&0&0008",
         {{"Class", "SCSIAdapter"}, {"Driver", "{4D36E97B-E325-11CE-BFC1-08002BE10318}\\0001"},
          {"Service", "aic78xx"}, {"ParentIdPrefix", "5&2b9c3a&0"}});
  // Without Class the class GUID decides, in any case.
  Device("PCI\\VEN_1000&DEV_0030\\3&61aaa01&0&80",
         {{"ClassGUID", "{4d36e97b-e325-11ce-bfc1-08002be10318}"}, {"DeviceDesc", "Plain SCSI controller"},
          {"Service", "atapi"}});
  // Not described: another class, a class that is not the adapters' though the GUID is,
  // absent now, a class driver without DriverDesc, a missing class driver, no description.
  Device("PCI\\VEN_8086&DEV_100E\\3&1&0&18", {{"Class", "Net"}, {"DeviceDesc", "Network adapter"}});
  Device("PCI\\VEN_8086&DEV_100F\\3&1&0&20",
         {{"Class", "Net"}, {"ClassGUID", "{4D36E97B-E325-11CE-BFC1-08002BE10318}"}, {"DeviceDesc", "Odd"}});
  Device("PCI\\VEN_9005&DEV_0050\\3&1&0&28", {{"Class", "SCSIAdapter"}, {"DeviceDesc", "Unplugged"}}, false);
  Device("PCI\\VEN_9005&DEV_0051\\3&1&0&30",
         {{"Class", "SCSIAdapter"}, {"Driver", "{4D36E97B-E325-11CE-BFC1-08002BE10318}\\0002"}, {"DeviceDesc", "X"}});
  Device("PCI\\VEN_9005&DEV_0052\\3&1&0&38",
         {{"Class", "SCSIAdapter"}, {"Driver", "{4D36E97B-E325-11CE-BFC1-08002BE10318}\\0009"}, {"DeviceDesc", "Y"}});
  Device("PCI\\VEN_9005&DEV_0053\\3&1&0&40", {{"Class", "SCSIAdapter"}});
  Device("ISAPNP\\ADP1540\\0", {{"Class", "SCSIAdapter"}, {"DeviceDesc", "ISA SCSI adapter"}});
  // Every SCSI device, present ones only.
  Device("SCSI\\Other&Ven_QVX&Prod_DE-T9793\\5&2b9c3a&0&020", {{"DeviceDesc", "DE-T9793"}, {"Class", "Image"}});
  Device("SCSI\\Disk&Ven_X\\5&2b9c3a&0&050", {{"DeviceDesc", "Gone disk"}}, false);

  EXPECT_EQ(Written(WriteAdapterList),
            Crlf("<< Fast SCSI Host Adapter >>\nDate, 6-21-2006\nVersion, 6.1.7600.16385\n"
                 "Service, aic78xx\nFile Name, System32\\drivers\\aic78xx.sys\nVersion, 6.1.7600.16385\n"
                 "DeviceKeyName, 4&1f7dbc9f&0&0008\nParentIdPrefix, 5&2b9c3a&0\n\n"
                 "<< Plain SCSI controller >>\nService, atapi\nDeviceKeyName, 3&61aaa01&0&80\n\n"
                 "<< ISA SCSI adapter >>\nDeviceKeyName, 0\n\n"
                 "<< DE-T9793 >>\nDeviceKeyName, 5&2b9c3a&0&020\n\n"));

  // Without the NT layout, devices without a Control subkey are described too.
  context.nt_layout = false;
  const std::string old_layout = Written(WriteAdapterList);
  EXPECT_NE(old_layout.find("<< Unplugged >>"), std::string::npos);
  EXPECT_NE(old_layout.find("<< Gone disk >>"), std::string::npos);
}

TEST_F(DriverSectionsTest, OlderLayoutKeysClearTheNtFlag) {
  SetStrings("Enum\\SCSI\\QVX_DE-T9793\\PCI&VEN_9005&DEV_001F&BUS_00&DEV_02",
             {{"Driver", "Image\\0000"}, {"Class", "Image"}});
  SetStrings("System\\CurrentControlSet\\Services\\Class\\Image\\0000", {{"DriverDesc", "Scanner"}});
  EXPECT_EQ(Written(WriteAdapterList), Crlf("<< Scanner >>\nDeviceKeyName, PCI&VEN_9005&DEV_001F&BUS_00&DEV_02\n\n"));
  EXPECT_FALSE(context.nt_layout);

  // The class driver alone may come from the older place.
  context.nt_layout = true;
  Device("SCSI\\Scanner\\1", {{"Driver", "Image\\0000"}});
  platform::RegDeleteTree(platform::HKEY_LOCAL_MACHINE, "Enum");
  EXPECT_EQ(Written(WriteAdapterList), Crlf("<< Scanner >>\nDeviceKeyName, 1\n\n"));
  EXPECT_FALSE(context.nt_layout);
}

TEST_F(DriverSectionsTest, UsbControllersAndDevicesOnlyWhenTheFlagIsSet) {
  SetStrings(std::string(kClass) + "{36FC9E60-C465-11CF-8056-444553540000}\\0000",
             {{"DriverDesc", "Standard USB Host Controller"}, {"DriverVersion", "6.1.7601.17514"}});
  Device("PCI\\VEN_8086&DEV_7112\\3&267a616a&0&10",
         {{"ClassGUID", "{36FC9E60-C465-11CF-8056-444553540000}"},
          {"Driver", "{36FC9E60-C465-11CF-8056-444553540000}\\0000"}, {"Service", "usbuhci"}});
  Device("PCI\\VEN_8086&DEV_7113\\3&267a616a&0&11", {{"Class", "usb"}, {"DeviceDesc", "Second controller"}});
  Device("PCI\\VEN_9005&DEV_001F\\4&1f7dbc9f&0&0008", {{"Class", "SCSIAdapter"}, {"DeviceDesc", "Not USB"}});
  Device("USB\\VID_04C5&PID_1234\\5&3a0e5e2&0&1", {{"DeviceDesc", "Document scanner"}, {"Service", "usbscan"}});
  Device("USB\\ROOT_HUB\\4&2&0", {{"DeviceDesc", "Root hub"}}, false);
  context.nt_layout = false;
  EXPECT_EQ(Written(WriteUsbDriverSection),
            Crlf("<< USB Driver Information >>\n\n"
                 "<< Standard USB Host Controller >>\nVersion, 6.1.7601.17514\nService, usbuhci\n"
                 "DeviceKeyName, 3&267a616a&0&10\n\n"
                 "<< Second controller >>\nDeviceKeyName, 3&267a616a&0&11\n\n"
                 "<< Document scanner >>\nService, usbscan\nDeviceKeyName, 5&3a0e5e2&0&1\n\n"));
  context.usb_section = false;
  EXPECT_EQ(Written(WriteUsbDriverSection), "");
}

TEST_F(DriverSectionsTest, AFailedWriteIsReported) {
  SetStrings(std::string(kScsi) + "Scsi Port 0\\Scsi Bus 0\\Initiator Id 7", {{"x", "y"}});
  SetStrings(std::string(kScsi) + "Scsi Port 0", {{"Driver", "aic78xx"}});
  Device("SCSI\\Disk\\1", {{"DeviceDesc", "Disk"}});
  Device("USB\\Hub\\1", {{"DeviceDesc", "Hub"}});
  for (auto writer : {WriteScsiDriverSection, WriteAdapterList, WriteUsbDriverSection}) {
    const long length = static_cast<long>(Written(writer).size());
    ASSERT_GT(length, 0);
    for (long room : {0L, length / 2, length - 1}) {
      bool answer = true;
      Written([&](ReportFile& file, ReportContext& c) {
        file.FailAfterForTest(room);
        return writer(file, c);
      }, &answer);
      EXPECT_FALSE(answer) << room;
    }
  }
}

}  // namespace
}  // namespace report
