#include "utility/status_monitor.h"

#include <gtest/gtest.h>

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

  CCounterRecord counters_;
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

  // Ticks without a scanner: the attempt is scheduled on the third.
  for (int tick = 0; tick < 3; ++tick) monitor_.OnStatusTimer();
  EXPECT_EQ(monitor_.pending_attempts, 1);
  scanner_->Plug();
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
