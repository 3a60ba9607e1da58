// The scripted timeline: steps applied at the next touch once the fake clock has
// reached them, devices coming and going announced to the system's listeners, lock
// holds, the flatbed unit, timeline sections of scenario files and the demo scenario.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "emulator/scenario.h"
#include "platform/bytes.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "tests/emulator/emulator_support.h"

namespace {

using namespace emutest;
using emulator::Outcome;
using emulator::ScannerState;
using platform::DWORD;
namespace system = platform::system;

// Counts the device-change broadcasts while it lives.
class DeviceChanges {
 public:
  explicit DeviceChanges(std::function<void()> also = {})
      : listener_([this, also](platform::UINT message, platform::WPARAM wparam, platform::LPARAM) -> system::LRESULT {
          if (message == system::WM_DEVICECHANGE && wparam == system::DBT_DEVNODES_CHANGED) {
            ++count;
            if (also) also();
          }
          return 1;
        }) {}
  int count = 0;

 private:
  system::ScopedSystemMessageListener listener_;
};

// Milliseconds since the bus was created.
uint64_t Elapsed(platform::FakeClock& clock, const emulator::Bus& bus) { return clock.Now() - bus.TimelineOrigin(); }

void AdvanceTo(platform::FakeClock& clock, const emulator::Bus& bus, uint64_t ms) {
  clock.Advance(ms - Elapsed(clock, bus));
}

std::vector<std::u16string> StillImageProducts(const std::shared_ptr<emulator::Bus>& bus) {
  std::vector<sti::StiDeviceInformation> list;
  EXPECT_EQ(StillImageOf(bus)->GetDeviceList(0, 0, &list), platform::S_OK);
  std::vector<std::u16string> products;
  for (const auto& info : list) products.push_back(info.DeviceDescription);
  return products;
}

// A vendor read through escape 0x1002, the way the utility reads over USB.
Bytes ReadThroughEscape(sti::StiDevice& handle, uint8_t type, uint32_t length) {
  Bytes cdb = Cdb10(0xE0, type, length);
  Bytes data(length);
  DWORD used = 0;
  EXPECT_EQ(handle.Escape(0x1002, cdb.data(), 10, data.data(), length, &used), platform::S_OK);
  return data;
}

TEST(TimelineTest, EveryTouchAppliesTheStepsThatAreDueAndNoneBefore) {
  using Touch = std::function<void(const std::shared_ptr<emulator::Bus>&, emulator::EmulatedDevice&, sti::StiDevice&)>;
  struct Case {
    const char* what;
    Touch touch;
  };
  const Case cases[] = {
      {"command", [](auto&, auto& device, auto&) { Exec(device, kTestUnitReady); }},
      {"aspi request",
       [](auto& bus, auto&, auto&) {
         auto srb = ExecBlock(0, 3, kTestUnitReady, aspi::SRB_DIR_OUT, nullptr, 0);
         emulator::SendAspiCommand(*bus, &srb);
       }},
      {"aspi support info", [](auto& bus, auto&, auto&) { bus->AspiSupportInfo(); }},
      {"device list", [](auto& bus, auto&, auto&) { StillImageProducts(bus); }},
      {"query escape",
       [](auto&, auto&, auto& handle) {
         uint8_t byte = 0;
         DWORD used = 0;
         handle.Escape(0x1004, nullptr, 0, &byte, 1, &used);
       }},
      {"lock",
       [](auto&, auto&, auto& handle) {
         handle.LockDevice(0);
         handle.UnLockDevice();
       }},
      {"notification read",
       [](auto&, auto&, auto& handle) {
         sti::STINOTIFY notify{};
         notify.dwSize = sizeof(notify);
         handle.GetLastNotificationData(&notify);
       }},
      {"host timer", [](auto& bus, auto&, auto&) { bus->AdvanceTimeline(); }},
  };
  platform::ScopedFakeClock clock;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    emulator::BusBuilder builder;
    builder.Device("desk")
        .Product("DE-T4783Z")
        .OnAspi(0, 3)
        .OnStiUsb()
        .At(9000, [](ScannerState& s) { s.caution.clean_roller = 100; })
        .At(5000, [](ScannerState& s) { s.status.code = 0x11000001; })
        .At(5000, [](ScannerState& s) { s.status.code += 1; });  // same time: after the one above
    auto bus = builder.Build();
    auto desk = bus->Find("desk");
    auto handle = OpenDevice(bus, *desk);

    clock->Advance(4999);
    c.touch(bus, *desk, *handle);
    EXPECT_EQ(desk->State().status.code, 0u) << "too early";
    clock->Advance(1);
    EXPECT_EQ(desk->State().status.code, 0u) << "nothing runs without a touch";
    c.touch(bus, *desk, *handle);
    EXPECT_EQ(desk->State().status.code, 0x11000002u);
    EXPECT_EQ(desk->State().caution.clean_roller, std::nullopt);
    EXPECT_EQ(bus->PendingTimelineSteps(), 1u);
    clock->Advance(10000);
    c.touch(bus, *desk, *handle);
    EXPECT_EQ(desk->State().caution.clean_roller, 100);
    EXPECT_EQ(bus->PendingTimelineSteps(), 0u);
  }
}

TEST(TimelineTest, DevicesComingAndGoingAreBroadcastOnceTheyHave) {
  platform::ScopedFakeClock clock;
  emulator::BusBuilder builder;
  builder.Device("desk").Product("DE-T4783Z").OnStiUsb().UnplugAt(1000).PlugAt(3000);
  auto bus = builder.Build();
  auto desk = bus->Find("desk");
  std::vector<size_t> seen;  // what a listener finds on the bus when told
  DeviceChanges changes([&] { seen.push_back(bus->StillImageDevices().size()); });

  AdvanceTo(*clock, *bus, 1000);
  EXPECT_TRUE(StillImageProducts(bus).empty());
  EXPECT_EQ(Exec(*desk, kTestUnitReady).result.outcome, Outcome::kNoDevice);
  AdvanceTo(*clock, *bus, 3000);
  bus->AdvanceTimeline();
  EXPECT_EQ(StillImageProducts(bus).size(), 1u);
  EXPECT_EQ(seen, (std::vector<size_t>{0, 1}));

  // The run-time calls announce a change only.
  desk->Unplug();
  desk->Unplug();
  EXPECT_EQ(changes.count, 3);
  desk->Plug();
  desk->Plug();
  EXPECT_EQ(changes.count, 4);
  EXPECT_EQ(Exec(*desk, kTestUnitReady).result.outcome, Outcome::kGood);
}

TEST(TimelineTest, LockHeldByAnotherProgramForAWhileThenFree) {
  platform::ScopedFakeClock clock;
  emulator::BusBuilder builder;
  builder.Device("desk").Product("DE-T4783Z").OnStiUsb().LockHeldBetween(2000, 6000);
  auto bus = builder.Build();
  auto handle = OpenDevice(bus, *bus->Find("desk"));
  struct Attempt {
    uint64_t at;
    DWORD timeout;
    platform::HRESULT result;
    uint64_t done_at;
  };
  const Attempt attempts[] = {
      {1000, 500, platform::S_OK, 1000},
      {2000, 500, sti::STIERR_SHARING_VIOLATION, 2500},
      {2500, 3000, sti::STIERR_SHARING_VIOLATION, 5500},
      {5500, 30000, platform::S_OK, 6000},  // the hold ends within the timeout
      {7000, 0, platform::S_OK, 7000},
  };
  for (const Attempt& a : attempts) {
    SCOPED_TRACE(a.at);
    AdvanceTo(*clock, *bus, a.at);
    EXPECT_EQ(handle->LockDevice(a.timeout), a.result);
    EXPECT_EQ(Elapsed(*clock, *bus), a.done_at);
    handle->UnLockDevice();
  }
}

TEST(TimelineTest, FlatbedUnitComesAndGoesWithItsScanner) {
  platform::ScopedFakeClock clock;
  const emulator::Scenario scenario = emulator::LoadScenarioFile(DEMO_DIR "/flatbed.ini");
  ASSERT_TRUE(scenario.warnings.empty()) << scenario.warnings.front();
  auto bus = scenario.bus;
  auto scanner = bus->Find("scanner");
  ASSERT_TRUE(scanner && bus->Find("flatbed"));
  EXPECT_EQ(scanner->attachment().sti->bus, emulator::StiBus::kUsb);
  DeviceChanges changes;
  struct Moment {
    uint64_t at;
    bool attached;
    int broadcasts;
  };
  for (const Moment& m : {Moment{0, true, 0}, Moment{19999, true, 0}, Moment{20000, false, 1},
                          Moment{39999, false, 1}, Moment{40000, true, 2}}) {
    SCOPED_TRACE(m.at);
    AdvanceTo(*clock, *bus, m.at);
    const std::vector<std::u16string> expected =
        m.attached ? std::vector<std::u16string>{u"DE-T4793Z", u"DE-TT767"} : std::vector<std::u16string>{u"DE-T4793Z"};
    EXPECT_EQ(StillImageProducts(bus), expected);
    EXPECT_EQ((Exec(*scanner, Cdb10(0x28, 0x93, 32), 32).data[0] & 0x20) != 0, m.attached) << "configuration bit";
    const Answer option = Exec(*scanner, Cdb10(0xE8, 0x04, 8), 8);
    if (m.attached) EXPECT_EQ(option.data[0] & 1, 1) << "usable";
    else EXPECT_TRUE(IsRefused(option, 0x2C, 0x88));
    EXPECT_EQ(changes.count, m.broadcasts);
  }
}

TEST(TimelineTest, FlatbedUnitOfAScannerWithoutOneIsAbsentFromTheStart) {
  platform::ScopedFakeClock clock;
  DeviceChanges changes;
  emulator::BusBuilder builder;
  builder.Device("scanner").Product("DE-T4793Z").OnStiUsb().FlatbedUnit("unit").FlatbedAt(1000, true);
  builder.Device("unit").Product("DE-TT767").OnStiUsb();
  auto bus = builder.Build();
  EXPECT_EQ(StillImageProducts(bus), std::vector<std::u16string>{u"DE-T4793Z"});
  EXPECT_EQ(changes.count, 0) << "building the bus announces nothing";
  AdvanceTo(*clock, *bus, 1000);
  EXPECT_EQ(StillImageProducts(bus).size(), 2u);
  EXPECT_EQ(changes.count, 1);
}

const char kTimelineScenario[] =
    "[Device.desk]\n"
    "Product=DE-T4793Z\n"
    "StillImage=usb\n"
    "\n"
    "[Timeline.jam]\n"
    "Device=DESK\n"
    "At=5000\n"
    "StatusCode=0x11000001\n"
    "StatusBytes=11 00 00 00\n"
    "CompatibleMode=18,18\n"
    "Read.92=41 42\n"
    "\n"
    "[Timeline.jam cleared]\n"
    "Device=desk\n"
    "At=0x2710\n"
    "StatusCode=0\n"
    "\n"
    "[Timeline.other program]\n"
    "Device=desk\n"
    "At=12000\n"
    "LockHeldUntil=15000\n"
    "\n"
    "[Timeline.gone]\n"
    "Device=desk\n"
    "At=20000\n"
    "Unplug=1\n"
    "\n"
    "[Timeline.back]\n"
    "Device=desk\n"
    "At=25000\n"
    "Plug=1\n";

TEST(TimelineTest, TimelineSectionsScheduleTheirSteps) {
  platform::ScopedFakeClock clock;
  const emulator::Scenario scenario = emulator::LoadScenario(kTimelineScenario);
  ASSERT_TRUE(scenario.warnings.empty()) << scenario.warnings.front();
  auto bus = scenario.bus;
  auto desk = bus->Find("desk");
  EXPECT_EQ(bus->PendingTimelineSteps(), 5u);
  EXPECT_TRUE(IsRefused(Exec(*desk, Cdb10(0xE0, 0xA2, 2), 2), 0x24)) << "this model has no compatible mode";

  AdvanceTo(*clock, *bus, 5000);
  EXPECT_EQ(Exec(*desk, Cdb10(0xE0, 0x01, 12), 12).data, (Bytes{0, 0, 0, 0, 0x11, 0, 0, 0, 0x11, 0, 0, 1}));
  EXPECT_EQ(Exec(*desk, Cdb10(0xE0, 0xA2, 2), 2).data, (Bytes{18, 18})) << "answered from the step on";
  EXPECT_EQ(Exec(*desk, Cdb10(0xE0, 0x92, 16), 16).data[1], 'B');
  AdvanceTo(*clock, *bus, 10000);
  EXPECT_EQ(Exec(*desk, Cdb10(0xE0, 0x01, 12), 12).data[8], 0);

  auto handle = OpenDevice(bus, *desk);
  AdvanceTo(*clock, *bus, 12000);
  EXPECT_EQ(handle->LockDevice(500), sti::STIERR_SHARING_VIOLATION);
  AdvanceTo(*clock, *bus, 15000);
  EXPECT_EQ(handle->LockDevice(0), platform::S_OK);
  handle->UnLockDevice();
  AdvanceTo(*clock, *bus, 20000);
  EXPECT_EQ(Exec(*desk, kTestUnitReady).result.outcome, Outcome::kNoDevice);
  EXPECT_TRUE(StillImageProducts(bus).empty());
  AdvanceTo(*clock, *bus, 25000);
  EXPECT_EQ(StillImageProducts(bus).size(), 1u);
}

TEST(TimelineTest, BadTimelineSectionsAreReportedAndSkipped) {
  struct Case {
    const char* what;
    const char* step;  // after a declared device "a" (and "b")
    const char* warning_has;
    size_t scheduled;
  };
  const Case cases[] = {
      {"no device", "At=5\nStatusCode=1\n", "Device", 0},
      {"unknown device", "Device=c\nAt=5\nStatusCode=1\n", "Device", 0},
      {"no time", "Device=a\nStatusCode=1\n", "At missing", 0},
      {"bad time", "Device=a\nAt=soon\nStatusCode=1\n", "At=soon", 0},
      {"negative time", "Device=a\nAt=-5\nStatusCode=1\n", "At=-5", 0},
      {"no action", "Device=a\nAt=5\n", "no action", 0},
      {"two actions", "Device=a\nAt=5\nUnplug=1\nStatusCode=1\n", "more than one action", 0},
      {"plug and unplug", "Device=a\nAt=5\nUnplug=1\nPlug=1\n", "more than one action", 0},
      {"unplug zero", "Device=a\nAt=5\nUnplug=0\n", "Unplug=0", 0},
      {"plug two", "Device=a\nAt=5\nPlug=2\n", "Plug=2", 0},
      {"hold ends before it starts", "Device=a\nAt=5000\nLockHeldUntil=5000\n", "LockHeldUntil", 0},
      {"hold end not a time", "Device=a\nAt=5000\nLockHeldUntil=later\n", "LockHeldUntil", 0},
      {"bad state value alone", "Device=a\nAt=5\nStatusCode=0x100000000\n", "StatusCode", 0},
      {"bad state value beside a good one", "Device=a\nAt=5\nStatusCode=0x100000000\nCleanCount=5\n", "StatusCode", 1},
      {"model cannot change", "Device=a\nAt=5\nModel=12\nCleanCount=5\n", "Model", 1},
      {"lengths cannot change", "Device=a\nAt=5\nReadLength.9C=24\nCleanCount=5\n", "ReadLength.9C", 1},
      {"flatbed unit is no step", "Device=a\nAt=5\nFlatbedUnit=b\nFlatbed=1\n", "FlatbedUnit", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const emulator::Scenario scenario =
        emulator::LoadScenario(std::string("[Device.a]\n[Device.b]\n[Timeline.t]\n") + c.step);
    ASSERT_FALSE(scenario.warnings.empty());
    bool found = false;
    for (const std::string& w : scenario.warnings) found = found || w.find(c.warning_has) != std::string::npos;
    EXPECT_TRUE(found) << scenario.warnings.front();
    EXPECT_EQ(scenario.bus->PendingTimelineSteps(), c.scheduled);
  }

  for (const char* link : {"FlatbedUnit=c\n", "FlatbedUnit=a\n"}) {
    SCOPED_TRACE(link);
    const emulator::Scenario scenario = emulator::LoadScenario(std::string("[Device.a]\n") + link + "[Device.b]\n");
    ASSERT_EQ(scenario.warnings.size(), 1u);
    EXPECT_NE(scenario.warnings[0].find("FlatbedUnit"), std::string::npos);
    EXPECT_TRUE(scenario.bus->Find("a")->flatbed_unit().empty());
  }
}

TEST(TimelineTest, DemoScannerShowsTheRollerCautionAfterTwentySeconds) {
  platform::ScopedFakeClock clock;
  const emulator::Scenario scenario = emulator::LoadScenarioFile(DEMO_DIR "/demo.ini");
  ASSERT_TRUE(scenario.warnings.empty()) << scenario.warnings.front();
  auto bus = scenario.bus;
  ASSERT_EQ(bus->Devices().size(), 1u);
  auto desk = bus->Devices()[0];
  EXPECT_EQ(std::string(desk->inquiry().begin() + 8, desk->inquiry().begin() + 32), "VORANTEKDE-T4783Z       ");
  EXPECT_EQ(desk->Profile().model_code, 39) << "compact family";
  EXPECT_EQ(StillImageProducts(bus), std::vector<std::u16string>{u"DE-T4783Z"});
  EXPECT_EQ(desk->attachment().sti->bus, emulator::StiBus::kUsb);
  auto handle = OpenDevice(bus, *desk);

  struct Moment {
    uint64_t at;
    uint32_t after_clean;
    uint8_t clean_roller;
  };
  // The scanner reports the share of the cleaning count reached, 100 once it is.
  for (const Moment& m : {Moment{0, 992, 99}, Moment{10000, 996, 99}, Moment{19999, 996, 99}, Moment{20000, 1000, 100}}) {
    SCOPED_TRACE(m.at);
    AdvanceTo(*clock, *bus, m.at);
    const Bytes rollers = ReadThroughEscape(*handle, 0x9C, 24);
    EXPECT_EQ(platform::bytes::GetBE32(&rollers[0]), m.after_clean);
    EXPECT_EQ(platform::bytes::GetBE32(&rollers[8]), 1000u) << "cleaning threshold";
    EXPECT_EQ(ReadThroughEscape(*handle, 0x90, 12)[0], m.clean_roller);
    EXPECT_EQ(ReadThroughEscape(*handle, 0x01, 12), Bytes(12, 0)) << "no error, only the caution";
  }
  // Cleaning the rollers: clearing the counter clears the caution, for good.
  Bytes clear = Cdb10(0xE1, 0x91, 4);
  uint8_t after_clean[4] = {0x80, 0, 0, 0};
  DWORD used = 0;
  EXPECT_EQ(handle->Escape(0x1001, clear.data(), 10, after_clean, 4, &used), platform::S_OK);
  AdvanceTo(*clock, *bus, 60000);
  EXPECT_EQ(platform::bytes::GetBE32(&ReadThroughEscape(*handle, 0x9C, 24)[0]), 0u);
  EXPECT_EQ(ReadThroughEscape(*handle, 0x90, 12), (Bytes{0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})) << "18244 of 200000";
}

}  // namespace
