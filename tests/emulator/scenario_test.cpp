#include "emulator/scenario.h"

#include <random>

#include <gtest/gtest.h>

#include "emulator/command_table.h"
#include "platform/clock.h"
#include "tests/emulator/emulator_support.h"
#include "tests/platform/test_env.h"

namespace {

using namespace emutest;
using emulator::Outcome;

const char kScenario[] =
    "; two scanners\r\n"
    "[Bus]\r\n"
    "AspiHostAdapters=2\r\n"
    "\r\n"
    "[Device.desk]\r\n"
    "Vendor=VORANTEK\r\n"
    "Product=DE-T4783Z\r\n"
    "Revision=2.05\r\n"
    "StillImage=usb\r\n"
    "InternalName={6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0003\r\n"
    "DeviceDescription=DE-T4783Z\r\n"
    "EscapeForm=0\r\n"
    "LockMode=2\r\n"
    "UsbSpeed=0\r\n"
    "DisableNotifications=0\r\n"
    "ButtonApplications={11111111-2222-3333-4444-555555555555}\r\n"
    "CompatibleMode=17,2\r\n"
    "Read.90=00 01 00 00 00 00 00 00 00 00 00 00\r\n"
    "\r\n"
    "[Device.rack]\r\n"
    "Vendor=Q.M.X.\r\n"
    "Product=DE-T9793\r\n"
    "Aspi=1:5\r\n"
    "\r\n"
    "[Fault.no paper]\r\n"
    "Device=desk\r\n"
    "Kind=sense\r\n"
    "Opcode=0xE0\r\n"
    "DataType=0x01\r\n"
    "SenseKey=3\r\n"
    "Asc=0x3A\r\n"
    "Times=2\r\n"
    "\r\n"
    "[Fault.speed]\r\n"
    "Device=desk\r\n"
    "Kind=escape\r\n"
    "Code=0x1003\r\n"
    "Result=0x80070015\r\n"
    "\r\n"
    "[Fault.busy]\r\n"
    "Device=desk\r\n"
    "Kind=lock\r\n"
    "Times=1\r\n"
    "\r\n"
    "[Fault.gone]\r\n"
    "Device=rack\r\n"
    "Kind=unplug\r\n"
    "After=3\r\n";

TEST(ScenarioTest, GoodScenarioDeclaresDevicesAnswersAndFaults) {
  platform::ScopedFakeClock clock;
  const emulator::Scenario scenario = emulator::LoadScenario(kScenario);
  EXPECT_TRUE(scenario.warnings.empty()) << scenario.warnings.front();
  const auto devices = scenario.bus->Devices();
  ASSERT_EQ(devices.size(), 2u);
  EXPECT_EQ(devices[0]->name(), "desk");
  EXPECT_EQ(scenario.bus->AspiSupportInfo(), 0x0102u);

  auto desk = devices[0];
  EXPECT_EQ(std::string(desk->inquiry().begin() + 8, desk->inquiry().begin() + 36), "VORANTEKDE-T4783Z       2.05");
  ASSERT_TRUE(desk->attachment().sti);
  const emulator::StiDriver& driver = *desk->attachment().sti;
  EXPECT_EQ(driver.bus, emulator::StiBus::kUsb);
  EXPECT_EQ(driver.internal_name, u"{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0003");
  EXPECT_EQ(driver.escape_form_byte, 0);
  EXPECT_EQ(driver.usb_speed, 0);
  EXPECT_EQ(driver.disable_notifications, 0u);
  EXPECT_EQ(driver.button_applications, "{11111111-2222-3333-4444-555555555555}");
  EXPECT_FALSE(driver.feeder_applications);
  EXPECT_EQ(desk->State().compatible_mode, (std::array<uint8_t, 2>{17, 2}));
  EXPECT_EQ(desk->State().vendor_reads.at(0x90).size(), 12u);

  auto handle = OpenDevice(scenario.bus, *desk);
  uint8_t speed = 0;
  platform::DWORD used = 0;
  EXPECT_EQ(handle->Escape(0x1003, nullptr, 0, &speed, 1, &used), sti::STIERR_DEVICE_NOTREADY);
  EXPECT_EQ(handle->LockDevice(100), sti::STIERR_SHARING_VIOLATION);
  EXPECT_EQ(handle->LockDevice(100), platform::S_OK);
  Bytes cdb = Cdb10(0xE0, 0x01, 12);
  uint8_t data[12];
  for (platform::HRESULT expected : {platform::E_FAIL, platform::E_FAIL, platform::S_OK})
    EXPECT_EQ(handle->Escape(0x1002, cdb.data(), 10, data, 12, &used), expected);

  auto rack = devices[1];
  EXPECT_EQ(rack->attachment().aspi, (emulator::AspiAddress{1, 5}));
  EXPECT_FALSE(rack->attachment().sti);
  for (uint8_t expected : {aspi::SS_COMP, aspi::SS_COMP, aspi::SS_COMP, aspi::SS_NO_DEVICE}) {
    auto srb = ExecBlock(1, 5, kTestUnitReady, aspi::SRB_DIR_OUT, nullptr, 0);
    EXPECT_EQ(emulator::SendAspiCommand(*scenario.bus, &srb), expected);
  }
}

TEST(ScenarioTest, BadValuesKeepDefaultsAndAreReported) {
  struct Case {
    const char* what;
    const char* text;
    const char* warning_has;
  };
  const Case cases[] = {
      {"lock mode", "[Device.a]\nStillImage=usb\nLockMode=two\n", "LockMode"},
      {"lock mode too big", "[Device.a]\nStillImage=usb\nLockMode=256\n", "LockMode"},
      {"address", "[Device.a]\nAspi=0:300\n", "Aspi"},
      {"attachment", "[Device.a]\nStillImage=firewire\n", "StillImage"},
      {"inquiry length", "[Device.a]\nInquiry=06 00 02\n", "96"},
      {"read key", "[Device.a]\nRead.XYZ=00\n", "Read.XYZ"},
      {"read bytes", "[Device.a]\nRead.86=0G\n", "Read.86"},
      {"unknown key", "[Device.a]\nColour=blue\n", "Colour"},
      {"unknown section", "[Printer]\nX=1\n", "unknown section"},
      {"fault kind", "[Device.a]\n[Fault.f]\nDevice=a\nKind=explode\n", "Kind"},
      {"fault device", "[Device.a]\n[Fault.f]\nDevice=b\nKind=busy\n", "Device"},
      {"fault times", "[Device.a]\n[Fault.f]\nDevice=a\nKind=busy\nTimes=-1\n", "Times"},
      {"fault result", "[Device.a]\n[Fault.f]\nDevice=a\nKind=create\nResult=5\n", "Result"},
      {"escape code", "[Device.a]\n[Fault.f]\nDevice=a\nKind=escape\n", "Code"},
      {"device without name", "[Device.]\nProduct=X\n", "name"},
      {"duplicate address", "[Device.a]\nAspi=0:1\n[Device.b]\nAspi=0:1\n", "ASPI address"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const emulator::Scenario scenario = emulator::LoadScenario(c.text);
    ASSERT_FALSE(scenario.warnings.empty());
    bool found = false;
    for (const std::string& w : scenario.warnings) found = found || w.find(c.warning_has) != std::string::npos;
    EXPECT_TRUE(found) << scenario.warnings.front();
  }

  const emulator::Scenario defaults =
      emulator::LoadScenario("[Device.a]\nStillImage=usb\nLockMode=two\nAspi=0:300\nInquiry=06 00 02\n");
  auto device = defaults.bus->Find("a");
  ASSERT_TRUE(device);
  EXPECT_EQ(device->attachment().sti->lock_mode, 2);
  EXPECT_FALSE(device->attachment().aspi);
  EXPECT_EQ(device->inquiry()[0], 6);
  EXPECT_EQ(device->inquiry()[8], 0) << "short inquiry is zero-filled";
}

TEST(ScenarioTest, TruncatedScenariosLoadWhatTheyHold) {
  const std::string full = kScenario;
  for (size_t n = 0; n <= full.size(); ++n) {
    const emulator::Scenario scenario = emulator::LoadScenario(full.substr(0, n));
    ASSERT_TRUE(scenario.bus);
    EXPECT_LE(scenario.bus->Devices().size(), 2u);
  }
}

TEST(ScenarioTest, GarbageBytesNeverCrash) {
  std::mt19937 random(1234);
  const std::string alphabet = "[]=.;:,0x123456789ABCDEFabcdef \r\n\t\"\\\xFF\x00";
  const std::string words[] = {"[Device.", "[Fault.", "[Bus]", "Kind=", "Device=", "Aspi=", "StillImage=usb",
                               "Read.", "Inquiry=", "Times=always", "After=", "Opcode=0x", "sense", "unplug"};
  for (int round = 0; round < 400; ++round) {
    std::string text;
    const int pieces = std::uniform_int_distribution<int>(0, 200)(random);
    for (int i = 0; i < pieces; ++i) {
      if (random() % 3 == 0) {
        text += words[random() % std::size(words)];
        continue;
      }
      text += alphabet[random() % alphabet.size()];
    }
    const emulator::Scenario scenario = emulator::LoadScenario(text);
    ASSERT_TRUE(scenario.bus);
    for (const auto& device : scenario.bus->Devices()) {
      uint8_t data[96];
      auto srb = ExecBlock(0, 0, kInquiry, aspi::SRB_DIR_IN, data, sizeof(data));
      emulator::SendAspiCommand(*scenario.bus, &srb);
      device->Exchanges();
    }
  }
}

TEST(ScenarioTest, FileLoaderReadsTheFileOrReportsIt) {
  platform::testing::TempDir dir;
  platform::testing::WriteAll(dir.path() / "demo.ini", kScenario);
  const emulator::Scenario scenario = emulator::LoadScenarioFile((dir.path() / "demo.ini").string());
  EXPECT_TRUE(scenario.warnings.empty());
  EXPECT_EQ(scenario.bus->Devices().size(), 2u);

  const emulator::Scenario missing = emulator::LoadScenarioFile((dir.path() / "none.ini").string());
  EXPECT_TRUE(missing.bus->Devices().empty());
  ASSERT_EQ(missing.warnings.size(), 1u);
}

}  // namespace
