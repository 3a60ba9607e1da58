#include "emulator/scenario.h"

#include <chrono>
#include <functional>
#include <random>

#include <gtest/gtest.h>

#include "emulator/command_table.h"
#include "emulator/state_blocks.h"
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
      {"model", "[Device.a]\nModel=256\n", "Model"},
      {"flag", "[Device.a]\nFlatbed=2\n", "Flatbed"},
      {"count", "[Device.a]\nSystemCount=0x100000000\n", "SystemCount"},
      {"version text", "[Device.a]\nFirmware=1.005\n", "Firmware"},
      {"identity text", "[Device.a]\nIdentityText=0123456789ABCDEFG\n", "IdentityText"},
      {"caution bytes", "[Device.a]\nCaution=64 00\n", "Caution"},
      {"roller caution", "[Device.a]\nCleanRollerCaution=256\n", "CleanRollerCaution=256: expected"},
      {"roller caution word", "[Device.a]\nReplaceRollerCaution=sometimes\n", "ReplaceRollerCaution=sometimes: expected"},
      {"read length", "[Device.a]\nReadLength.9C=lots\n", "ReadLength.9C"},
      {"read length type", "[Device.a]\nReadLength.QQ=16\n", "ReadLength.QQ"},
      {"write length", "[Device.a]\nWriteLength.9D=16/24\n", "WriteLength.9D"},
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

const char kStateScenario[] =
    "[Device.desk]\n"
    "Product=DE-T8713ZP\n"
    "StateByte=3\n"
    "StatusCode=0x11000001\n"
    "StatusBytes=01 02 03 04\n"
    "Caution=64 00 00 00 FF 00\n"
    "SystemCount=1000\n"
    "FlatbedCount=20\n"
    "CleanCount=30\n"
    "ReplaceCount=40\n"
    "PaperFeedCount=50\n"
    "CleanThreshold=6000\n"
    "ReplaceThreshold=70000\n"
    "PaperFeedThreshold=80000\n"
    "SleepMinutes=0\n"
    "PowerOffMinutes=45\n"
    "PowerOff=1\n"
    "PaperMode=0\n"
    "Buzzer=0\n"
    "Memory=1024\n"
    "BackMemory=512\n"
    "PreImprinter=1\n"
    "PostImprinter=1\n"
    "CounterSetting=1\n"
    "OneSided=1\n"
    "NoColorOption=1\n"
    "FrontPlate=1\n"
    "BackPlate=1\n"
    "Terminator=0\n"
    "Flatbed=1\n"
    "FlatbedStatusCode=0xB3000000\n"
    "FlatbedStatusBytes=B3 00 00 00\n"
    "FlatbedSleep=9\n"
    "FlatbedOption=0\n"
    "Firmware=2.00\n"
    "SecondVersion=0.50\n"
    "ThirdVersion=0.60\n"
    "FourthVersion=0.70\n"
    "FifthVersion=0.80\n"
    "FirmwareRevision=C\n"
    "IdentityText=SERIAL0000000042\n"
    "IndividualSettings=40 28 20 00\n"
    "ShadingSource=1\n"
    "FeedSpeed=85\n"
    "CompatibleMode=17,2\n"
    "Paper=0\n"
    "ReadLength.9C=16,24\n"
    "WriteLength.9D=any\n"
    "\n"
    "[Device.other]\n"
    "Product=XY-1\n"
    "Model=44\n"
    "\n"
    "[Fault.blank]\n"
    "Device=desk\n"
    "Kind=zero\n"
    "Opcode=0xE0\n"
    "DataType=0x92\n";

TEST(ScenarioTest, StateKeysOverrideTheModelsDefaults) {
  const emulator::Scenario scenario = emulator::LoadScenario(kStateScenario);
  EXPECT_TRUE(scenario.warnings.empty()) << scenario.warnings.front();
  auto desk = scenario.bus->Find("desk");
  ASSERT_TRUE(desk);
  EXPECT_EQ(desk->Profile().model_code, 17);
  const emulator::ScannerState s = desk->State();
  EXPECT_EQ(s.status.state, 3);
  EXPECT_EQ(s.status.code, 0x11000001u);
  EXPECT_EQ(s.status.bytes, (std::array<uint8_t, 4>{1, 2, 3, 4}));
  EXPECT_EQ(emulator::CautionReportOf(s.caution, s.counters), (emulator::CautionReport{100, 0, 0, 0, 0xFF, 0}));
  const emulator::Counters& c = s.counters;
  EXPECT_EQ(std::vector<uint32_t>({c.system, c.flatbed, c.after_clean, c.after_replace, c.paper_feed,
                                   c.clean_threshold, c.replace_threshold, c.paper_feed_threshold}),
            std::vector<uint32_t>({1000, 20, 30, 40, 50, 6000, 70000, 80000}));
  EXPECT_EQ(s.sleep.sleep_minutes, 0);
  EXPECT_EQ(s.sleep.power_off_minutes, 45);
  EXPECT_EQ(s.paper_mode, 0);
  EXPECT_EQ(s.buzzer, 0);
  const emulator::Configuration& k = s.config;
  EXPECT_EQ(k.memory_mb, 1024);
  EXPECT_EQ(k.back_memory_mb, 512);
  EXPECT_TRUE(k.power_off && k.pre_imprinter && k.post_imprinter && k.counter_setting && k.one_sided &&
              k.no_color_option && k.front_plate && k.back_plate);
  EXPECT_EQ(s.board.terminator, 0);
  EXPECT_EQ(s.board.firmware_revision, 'C');
  EXPECT_TRUE(s.flatbed.attached);
  EXPECT_EQ(s.flatbed.status.code, 0xB3000000u);
  EXPECT_EQ(s.flatbed.status.bytes[0], 0xB3);
  EXPECT_EQ(s.flatbed.sleep_minutes, 9);
  EXPECT_EQ(s.flatbed.option, 0);
  EXPECT_EQ(s.versions.firmware, "2.00");
  EXPECT_EQ(s.versions.second, "0.50");
  EXPECT_EQ(s.versions.third, "0.60");
  EXPECT_EQ(s.versions.fourth, "0.70");
  EXPECT_EQ(s.versions.fifth, "0.80");
  EXPECT_EQ(s.identity_text, "SERIAL0000000042");
  EXPECT_EQ(s.individual_settings, (std::array<uint8_t, 4>{0x40, 0x28, 0x20, 0}));
  EXPECT_EQ(s.shading_source, 1);
  EXPECT_EQ(s.feed_speed, 85);
  EXPECT_EQ(s.compatible_mode, (std::array<uint8_t, 2>{17, 2}));
  EXPECT_FALSE(s.scan.paper_loaded);

  // The keys reach the wire.
  EXPECT_EQ(Exec(*desk, Cdb10(0xE0, 0x9E, 4), 4).data, (Bytes{0, 0, 0, 45}));
  EXPECT_EQ(Exec(*desk, Cdb10(0xE0, 0x9C, 24), 24).data.size(), 24u) << "lengths widened";
  EXPECT_EQ(Exec(*desk, Cdb10(0xE1, 0x9D, 12), 0, Bytes(12, 0)).result.outcome, Outcome::kGood);
  EXPECT_EQ(Exec(*desk, Cdb10(0xE0, 0x92, 16), 16).data, Bytes(16, 0)) << "zero fault";
  EXPECT_EQ(Exec(*desk, Cdb10(0xE0, 0x92, 16), 16).data[0], 'S');
  EXPECT_EQ(Exec(*desk, {0x1B, 0, 0, 0, 0, 0}).result.sense[12], 0x3A) << "no paper";

  auto other = scenario.bus->Find("other");
  ASSERT_TRUE(other);
  EXPECT_EQ(other->Profile().model_code, 44);
}

// Caution forces the whole report; a roller key forces one roller byte, or with
// "auto" lets it follow the counts again, in a device section or a timeline step.
TEST(ScenarioTest, RollerCautionsFollowTheCountsUnlessForced) {
  platform::ScopedFakeClock clock;
  const emulator::Scenario scenario = emulator::LoadScenario(
      "[Device.counted]\nProduct=DE-T4783Z\nCleanCount=1000\nCleanThreshold=1000\nReplaceCount=50000\n"
      "ReplaceThreshold=200000\n"
      "[Device.lamp]\nProduct=DE-T4783Z\nCleanCount=1000\nCleanThreshold=1000\nReplaceCount=50000\n"
      "ReplaceThreshold=200000\nCaution=00 00 FF 00 00 00\nCleanRollerCaution=auto\n"
      "[Device.forced]\nProduct=DE-T4783Z\nCleanCount=0\nReplaceRollerCaution=100\n"
      "[Timeline.free]\nDevice=forced\nAt=1000\nReplaceRollerCaution=AUTO\nCleanRollerCaution=7\n");
  ASSERT_TRUE(scenario.warnings.empty()) << scenario.warnings.front();
  auto report = [&](const char* name) {
    return Exec(*scenario.bus->Find(name), Cdb10(0xE0, 0x90, 12), 6).data;
  };
  EXPECT_EQ(report("counted"), (Bytes{100, 25, 0, 0, 0, 0}));
  EXPECT_EQ(report("lamp"), (Bytes{100, 0, 0xFF, 0, 0, 0}));
  EXPECT_EQ(report("forced"), (Bytes{0, 100, 0, 0, 0, 0}));
  clock->Advance(1000);
  EXPECT_EQ(report("forced"), (Bytes{7, 24, 0, 0, 0, 0})) << "48210 of 200000 since replacement";
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

// Sections and keys are found through the profile's index, so a scenario with many
// names loads in milliseconds.
TEST(ScenarioTest, FortyThousandNamesLoadInMilliseconds) {
  constexpr int kNames = 40000;
  const std::string desk = "[Device.desk]\nProduct=DE-T4783Z\nStillImage=usb\n";
  std::string keys = desk, steps = desk, faults = desk;
  for (int i = 0; i < kNames; ++i) {
    const std::string n = std::to_string(i);
    keys += "Extra" + n + "=" + n + "\n";
    steps += "[Timeline." + n + "]\nDevice=desk\nAt=" + n + "\nCleanCount=" + n + "\n";
    faults += "[Fault." + n + "]\nDevice=DESK\nKind=busy\nOpcode=0xE0\nDataType=0x01\n";
  }
  keys += "EXTRA7=again\nCleanCount=5\n";
  struct Case {
    const char* what;
    const std::string& text;
    std::function<void(const emulator::Scenario&, emulator::EmulatedDevice&)> check;
  } cases[] = {
      {"keys of one device", keys,
       [](const emulator::Scenario& s, emulator::EmulatedDevice& d) {
         EXPECT_EQ(s.warnings.size(), size_t{kNames}) << "each unknown key once";
         EXPECT_EQ(s.warnings.back(), "[Device.desk] unknown key Extra39999 ignored");
         EXPECT_EQ(d.State().counters.after_clean, 5u);
       }},
      {"timeline steps", steps,
       [](const emulator::Scenario& s, emulator::EmulatedDevice&) {
         EXPECT_TRUE(s.warnings.empty());
         EXPECT_EQ(s.bus->PendingTimelineSteps(), size_t{kNames});
       }},
      {"faults", faults,
       [](const emulator::Scenario& s, emulator::EmulatedDevice& d) {
         EXPECT_TRUE(s.warnings.empty());
         for (int i = 0; i < 2; ++i) EXPECT_EQ(Exec(d, Cdb10(0xE0, 0x01, 12), 12).result.outcome, Outcome::kBusy);
         EXPECT_EQ(Exec(d, Cdb10(0xE0, 0x9C, 24), 24).result.outcome, Outcome::kGood);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto start = std::chrono::steady_clock::now();
    const emulator::Scenario scenario = emulator::LoadScenario(c.text);
    const auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(elapsed, 2.0) << elapsed << " s";
    ASSERT_EQ(scenario.bus->Devices().size(), 1u);
    c.check(scenario, *scenario.bus->Devices()[0]);
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
  const emulator::Scenario folder = emulator::LoadScenarioFile(dir.path().string());
  EXPECT_TRUE(folder.bus->Devices().empty());
  EXPECT_EQ(folder.warnings, std::vector<std::string>{"cannot read " + dir.path().string()});

  // A file is read up to 4 MiB: what lies beyond is left out and reported.
  constexpr size_t kLimit = 4 << 20;
  std::string padded = kScenario;
  padded += ";" + std::string(kLimit - padded.size() - 1, 'x');
  platform::testing::WriteAll(dir.path() / "full.ini", padded);
  platform::testing::WriteAll(dir.path() / "long.ini", padded + "\n[Device.beyond]\n");
  const emulator::Scenario full = emulator::LoadScenarioFile((dir.path() / "full.ini").string());
  EXPECT_TRUE(full.warnings.empty());
  const emulator::Scenario cut = emulator::LoadScenarioFile((dir.path() / "long.ini").string());
  EXPECT_EQ(cut.bus->Devices().size(), 2u);
  ASSERT_EQ(cut.warnings.size(), 1u);
  EXPECT_NE(cut.warnings[0].find("only the first 4194304 bytes read"), std::string::npos) << cut.warnings[0];
}

}  // namespace
