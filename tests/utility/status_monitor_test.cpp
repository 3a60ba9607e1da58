#include "utility/status_monitor.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>

#include "platform/system.h"
#include "resources/app_resources.h"
#include "tests/scanner/scanner_fixture.h"
#include "utility/connect_scanner.h"

namespace utility {
namespace {

using scanner::testing::ScannerTest;

std::string L(int id) { return resources::LoadString(id); }
std::string Lines(std::initializer_list<int> ids) {
  std::string text;
  for (int id : ids) text += (text.empty() ? "" : "\r\n") + L(id);
  return text;
}

// Records what the monitor asks of the window.
class FakeView : public StatusView {
 public:
  void UpdateStatusControls() override { ++updates; }
  void LayoutErrorCode(bool with_part1) override { part1_shown = with_part1; }
  void UpdatePartStates() override {}
  void DisableParts() override {}
  void InformationRefresh() override { ++information_refreshes; }
  bool IsForeground() override { return foreground; }
  void FlashTaskbar() override { ++flashes; }
  void StartStatusTimer(unsigned ms) override { timer = ms; }
  void StopStatusTimer() override { timer = 0; }
  bool StatusTimerRunning() override { return timer != 0; }
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  void InvalidateWindow() override {}

  bool foreground = false;
  bool part1_shown = false;
  int updates = 0, information_refreshes = 0, flashes = 0;
  unsigned timer = 0;
};

class StatusMonitorTest : public ScannerTest {
 protected:
  void ConnectScanner(const char* product, const DeviceSetup& setup = {}) {
    Connect(product, setup);
    counters_.BindAndRead(context_, 1);
  }
  void Refresh() { monitor_.Refresh(false); }

  settings::CCounterRecord counters_;
  StatusDisplay display_;
  FakeView view_;
  StatusMonitor monitor_{context_, counters_, display_, view_, [](scanner::ScannerContext& c) { return utility::ConnectScanner(c); }};
};

TEST_F(StatusMonitorTest, AJamOnADefaultTableModel) {
  ConnectScanner("DE-T4783Z", [](emulator::DeviceBuilder& d) { d.Status(0x11A0B0C0).Thresholds(100000, 100000, 0); });
  Refresh();
  EXPECT_EQ(display_.part2, "U11");
  EXPECT_EQ(display_.part3, "11a0b0c0");
  EXPECT_EQ(display_.status, Lines({5120, 5121}));
  EXPECT_TRUE(display_.error);
  EXPECT_EQ(view_.flashes, 1);
  EXPECT_TRUE(prompter_.boxes().empty());
}

TEST_F(StatusMonitorTest, NoErrorAndBecomingReady) {
  ConnectScanner("DE-T4783Z", [](emulator::DeviceBuilder& d) { d.Status(0x10223344).Thresholds(100000, 100000, 100000); });
  Refresh();
  EXPECT_EQ(display_.part3, "");
  EXPECT_EQ(display_.part2, "");
  EXPECT_EQ(display_.status, Lines({5073, 5114}));
  EXPECT_FALSE(display_.error);
  EXPECT_EQ(view_.flashes, 0);

  scanner_->EditState([](emulator::ScannerState& s) {
    s.status.code = 0;
    s.status.state = 3;
  });
  Refresh();
  EXPECT_EQ(display_.status, Lines({5015, 5114}));
  EXPECT_FALSE(display_.error);
}

TEST_F(StatusMonitorTest, CounterCautionsAloneReplaceTheNoErrorText) {
  ConnectScanner("DE-T4783Z", [](emulator::DeviceBuilder& d) {
    d.Status(0).RollerCounts(5000, 10, 10).Thresholds(5000, 100000, 100000);
  });
  Refresh();
  EXPECT_EQ(display_.status, Lines({5116, 5019, 5003}));
  EXPECT_TRUE(display_.error);
  EXPECT_EQ(view_.flashes, 1);

  view_.foreground = true;
  Refresh();
  EXPECT_EQ(view_.flashes, 1);  // nothing flashes in the foreground
}

TEST_F(StatusMonitorTest, CleanAndReplaceTogetherShowOnlyReplace) {
  ConnectScanner("DE-T4783Z", [](emulator::DeviceBuilder& d) {
    d.Status(0).RollerCounts(6000, 7000, 0).Thresholds(5000, 5000, 100000);
  });
  Refresh();
  EXPECT_EQ(display_.status, Lines({5116, 5131, 5132}));
}

TEST_F(StatusMonitorTest, CautionsAfterAnErrorAreAppended) {
  ConnectScanner("DE-T4793Z", [](emulator::DeviceBuilder& d) {
    d.Status(0x20000000).RollerCounts(0, 9000, 9000).Thresholds(5000, 5000, 5000).Caution({0, 0, 0xFF, 0, 0, 0xFF});
  });
  Refresh();
  EXPECT_EQ(display_.part2, "U30");
  // 37 with its paper-feed roller: the double-feed prevention roller texts.
  EXPECT_EQ(display_.status, Lines({5021, 5004, 5116, 5133, 5134, 5116, 5135, 5136, 5116, 5036, 5006, 5116, 5129, 5130}));
}

TEST_F(StatusMonitorTest, AOneSidedScannerIgnoresItsBackLampAndPlate) {
  ConnectScanner("DE-T4783Z", [](emulator::DeviceBuilder& d) {
    d.Status(0).OneSided().Thresholds(100000, 100000, 100000).Caution({0, 0, 0, 0xFF, 0, 0xFF});
  });
  Refresh();
  EXPECT_EQ(display_.status, Lines({5073, 5114}));
  EXPECT_FALSE(display_.error);
}

// Lamp and plate bytes alone, rollers fine: the first header replaces the status, and a
// second refresh shows the same text, not a longer one.
TEST_F(StatusMonitorTest, LampAndPlateLinesByModelGroup) {
  constexpr uint8_t X = 0xFF;
  struct Case {
    const char* product;  // model code in the comment
    std::array<uint8_t, 6> report;
    std::initializer_list<int> lines;
  } cases[] = {
      {"DE-T4783Z", {0, 0, X, 0, 0, 0}, {5116, 5036, 5006}},                    // 39: front lamp
      {"DE-T4783Z", {0, 0, 0, X, 0, 0}, {5116, 5016, 5000}},                    // back lamp
      {"DE-T4783Z", {0, 0, X, X, 0, 0}, {5116, 5036, 5006, 5116, 5016, 5000}},  // both lamps
      {"DE-T4783Z", {0, 0, 0, 0, X, 0}, {5116, 5129, 5130}},                    // front plate
      {"DE-T4783Z", {0, 0, 0, 0, 0, X}, {5116, 5129, 5130}},                    // back plate
      {"DE-T4783Z", {0, 0, 0, 0, X, X}, {5116, 5129, 5130}},  // back plate only without the front's
      {"DE-T2713Z", {0, 0, 0, 0, X, 0}, {5116, 5037, 5007}},  // 12
      {"DE-T2713Z", {0, 0, 0, 0, 0, X}, {5116, 5017, 5001}},
      {"DE-T2713Z", {0, 0, 0, 0, X, X}, {5116, 5037, 5007, 5116, 5017, 5001}},
      {"DE-T5713ZP", {0, 0, 0, 0, X, 0}, {5116, 5118}},  // 14: the other models
      {"DE-T5713ZP", {0, 0, 0, 0, 0, X}, {5116, 5118}},
      {"DE-T5713ZP", {0, 0, 0, 0, X, X}, {5116, 5118}},
      {"DE-T5713ZP", {0, 0, X, 0, X, 0}, {5116, 5036, 5006, 5116, 5118}},
  };
  for (const Case& c : cases) {
    const std::string shown = std::string(c.product) + " " + testing::PrintToString(c.report);
    ConnectScanner(c.product, [&](emulator::DeviceBuilder& d) {
      d.Status(0).Thresholds(100000, 100000, 100000).Caution(c.report);
    });
    display_.status = "before";
    Refresh();
    EXPECT_EQ(display_.status, Lines(c.lines)) << shown;
    EXPECT_TRUE(display_.error) << shown;
    Refresh();
    EXPECT_EQ(display_.status, Lines(c.lines)) << shown << " (second refresh)";
  }
}

TEST_F(StatusMonitorTest, AScannerHeldByAnotherProgram) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T4783Z").OnStiUsb().LockMode(2);
  Attach(builder);
  ASSERT_EQ(Identify(), 1);
  scanner_->SetLockHeldElsewhere(emulator::kAlways);
  Refresh();
  EXPECT_EQ(display_.status, L(5117));
  EXPECT_FALSE(display_.error);
  EXPECT_TRUE(monitor_.in_use);
  EXPECT_TRUE(context_.connected);
  scanner_->SetLockHeldElsewhere(0);
}

TEST_F(StatusMonitorTest, UnplugThenReconnectEveryThirdTick) {
  ConnectScanner("DE-T4783Z", [](emulator::DeviceBuilder& d) { d.Thresholds(100000, 100000, 0); });
  scanner_->Unplug();
  monitor_.OnStatusTimer();
  EXPECT_FALSE(context_.connected);
  EXPECT_EQ(display_.status, L(5078));
  EXPECT_TRUE(display_.error);
  EXPECT_EQ(view_.timer, kStatusInterval);

  // The scanner is back at once, but only the third tick without it schedules an
  // attempt, which the fourth runs.
  scanner_->Plug();
  for (int tick = 1; tick <= 3; ++tick) {
    monitor_.OnStatusTimer();
    EXPECT_FALSE(context_.connected) << "tick " << tick;
    EXPECT_EQ(monitor_.pending_attempts, tick == 3 ? 1 : 0) << "tick " << tick;
  }
  monitor_.OnStatusTimer();
  EXPECT_TRUE(context_.connected);
  EXPECT_EQ(monitor_.pending_attempts, 0);
  EXPECT_EQ(display_.status, Lines({5073, 5114}));
}

TEST_F(StatusMonitorTest, ADeviceChangeSchedulesAnAttempt) {
  const auto changed = platform::system::DBT_DEVNODES_CHANGED;
  ConnectScanner("DE-T4783Z");  // on SCSI: a device change does not concern it
  EXPECT_EQ(monitor_.OnDeviceChange(changed), 1);
  EXPECT_EQ(monitor_.pending_attempts, 0);
  context_.connected = false;
  EXPECT_EQ(monitor_.OnDeviceChange(0x8000), 1);  // other events are not acted on
  EXPECT_EQ(monitor_.pending_attempts, 0);
  EXPECT_EQ(monitor_.OnDeviceChange(changed), 1);
  EXPECT_EQ(monitor_.pending_attempts, 1);
  monitor_.pending_attempts = 0;
  context_.connected = true;
  context_.interface_kind = scanner::kInterfaceStiUsbHigh;
  monitor_.OnDeviceChange(changed);
  EXPECT_EQ(monitor_.pending_attempts, 1);
}

TEST_F(StatusMonitorTest, SuspendIsRefusedOnlyWhileKeepAwakeIsHeld) {
  namespace sys = platform::system;
  ConnectScanner("DE-T4783Z");
  EXPECT_EQ(monitor_.OnPowerBroadcast(sys::PBT_APMQUERYSUSPEND), 1);
  monitor_.KeepAwakeHold();  // not allowed on this system: nothing held
  EXPECT_EQ(monitor_.OnPowerBroadcast(sys::PBT_APMQUERYSUSPEND), 1);
  monitor_.SetKeepAwakeAllowed(true);
  monitor_.KeepAwakeHold();
  EXPECT_EQ(static_cast<uint32_t>(monitor_.OnPowerBroadcast(sys::PBT_APMQUERYSUSPEND)), sys::BROADCAST_QUERY_DENY);
  monitor_.KeepAwakeRelease();
  EXPECT_EQ(monitor_.OnPowerBroadcast(sys::PBT_APMQUERYSUSPEND), 1);

  view_.timer = kStatusInterval;
  monitor_.OnPowerBroadcast(sys::PBT_APMSUSPEND);
  EXPECT_EQ(view_.timer, 0u);
  monitor_.OnPowerBroadcast(sys::PBT_APMRESUMESUSPEND);
  EXPECT_EQ(view_.timer, 100u);
  EXPECT_EQ(monitor_.pending_attempts, 2);
}

// The system asks from its own thread while the window holds and releases keep awake
// (a data race here shows in the thread-sanitizer build).
TEST_F(StatusMonitorTest, SuspendQueryFromAnotherThread) {
  namespace sys = platform::system;
  ConnectScanner("DE-T4783Z");
  monitor_.SetKeepAwakeAllowed(true);
  std::atomic<bool> stop{false};
  std::atomic<int> denied{0};
  std::thread system([&] {
    while (!stop)
      if (static_cast<uint32_t>(monitor_.OnPowerBroadcast(sys::PBT_APMQUERYSUSPEND)) == sys::BROADCAST_QUERY_DENY)
        ++denied;
  });
  for (int i = 0; i < 2000; ++i) {
    monitor_.KeepAwakeHold();
    monitor_.KeepAwakeRelease();
  }
  monitor_.KeepAwakeHold();
  while (denied == 0) std::this_thread::yield();
  stop = true;
  system.join();
  monitor_.KeepAwakeRelease();
  EXPECT_EQ(monitor_.OnPowerBroadcast(sys::PBT_APMQUERYSUSPEND), 1);
}

TEST_F(StatusMonitorTest, AFlatbedErrorShowsItsUnitAndNumber) {
  ConnectScanner("DE-T5713ZA", [](emulator::DeviceBuilder& d) {
    d.Status(0).FlatbedAttached().Thresholds(100000, 100000, 100000).Edit([](emulator::ScannerState& s) {
      s.flatbed.status.code = 0xB1000002;
    });
  });
  Refresh();
  EXPECT_TRUE(view_.part1_shown);
  EXPECT_EQ(display_.part2, "U90");
  EXPECT_EQ(display_.part3, "b1000002");
  EXPECT_EQ(display_.status, Lines({5144, 5145}) + "\r\n(177)");
  EXPECT_TRUE(display_.error);
}

TEST_F(StatusMonitorTest, NotConnectedWhileAnotherProgramConnects) {
  ConnectScanner("DE-T4783Z");
  context_.connected = false;
  display_.status = "before";
  monitor_.device_busy = true;
  Refresh();
  EXPECT_EQ(display_.status, "before");
  monitor_.device_busy = false;
  Refresh();
  EXPECT_EQ(display_.status, L(5078));
  EXPECT_TRUE(display_.error);
}

}  // namespace
}  // namespace utility
