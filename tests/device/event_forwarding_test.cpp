#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "device/event_forwarding.h"
#include "emulator/exchange.h"
#include "platform/bytes.h"
#include "platform/handles.h"
#include "platform/text.h"
#include "tests/device/device_fixture.h"

namespace device::testing {
namespace {

constexpr platform::GUID kStartStopButton = {0xA6C5A715, 0x8C6E, 0x11D2, {0x97, 0x7A, 0x00, 0x00, 0xF8, 0x7A, 0x92, 0x6F}};
constexpr platform::GUID kFeederLoaded = {0x9A64B901, 0x7C1B, 0x4934, {0x94, 0xE1, 0xBD, 0xAA, 0xA6, 0x1A, 0xBC, 0x3C}};

// Waits (for real, briefly) for another thread's work to show.
template <class Pred>
bool Eventually(Pred pred) {
  for (int i = 0; i < 5000; ++i) {
    if (pred()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return pred();
}

class EventForwardingTest : public DeviceLibraryTest {
 protected:
  std::shared_ptr<emulator::EmulatedDevice> Start(std::optional<platform::DWORD> disable, bool wow64 = false) {
    platform::system::ForceWow64ForTest(wow64);
    emulator::BusBuilder builder;
    builder.Device("A")
        .Product("DE-T4783Z")
        .OnStiUsb()
        .LockMode(2)
        .DisableNotifications(disable)
        .ButtonApplications("C:\\Apps\\button.exe")
        .FeederApplications("C:\\Apps\\capture.exe");
    builder.Device("B").Product("DE-T4797Z").OnStiUsb().LockMode(2);
    Open(builder.Build());
    records_ = Enumerate();
    EXPECT_EQ(records_.size(), 2u);
    EXPECT_EQ(StartEventForwarding(), 0);
    auto device = bus_->Find("A");
    EXPECT_TRUE(Eventually([&] { return !device->Subscriptions().empty(); }));
    return device;
  }

  static std::vector<uint8_t> Data() {
    std::vector<uint8_t> data(64);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(0xA0 + i);
    return data;
  }

  std::vector<DeviceRecord> records_;
};

TEST_F(EventForwardingTest, SubscriptionRecordInBothForms) {
  for (bool wow64 : {false, true}) {
    auto device = Start(0, wow64);
    const auto s = device->Subscriptions().front();
    EXPECT_EQ(s.size, wow64 ? 36u : 24u);
    EXPECT_EQ(s.flags, 2u);
    EXPECT_EQ(s.filter, 0u);
    EXPECT_EQ(s.window, 0u);
    EXPECT_EQ(s.message, 0u);
    EXPECT_NE(s.event, nullptr);
    CloseDeviceLibrary();
    EXPECT_EQ(device->UnsubscribeCalls(), 1);
    emulator::Uninstall();
  }
}

TEST_F(EventForwardingTest, FeederLoadedLaunchesWithTheNotificationUnchanged) {
  auto device = Start(0);
  device->RaiseEvent(kFeederLoaded, Data());
  ASSERT_TRUE(Eventually([&] { return bus_->Launches().size() == 1; }));
  const emulator::Launch launch = bus_->Launches().front();
  EXPECT_EQ(launch.device_name, platform::text::FromWideBuffer(records_[0].InternalName, 128));
  EXPECT_EQ(launch.app_list, u"C:\\Apps\\capture.exe");
  ASSERT_EQ(launch.notify.size(), 84u);
  EXPECT_EQ(platform::bytes::GetLE32(launch.notify.data()), 84u);
  EXPECT_EQ(std::memcmp(launch.notify.data() + 4, &kFeederLoaded, 16), 0);
  EXPECT_EQ(std::vector<uint8_t>(launch.notify.begin() + 20, launch.notify.end()), Data());

  device->RaiseEvent(kStartStopButton, Data());
  ASSERT_TRUE(Eventually([&] { return bus_->Launches().size() == 2; }));
  EXPECT_EQ(bus_->Launches()[1].app_list, u"C:\\Apps\\button.exe");
}

TEST_F(EventForwardingTest, NothingIsLaunchedWhenNotificationsAreOffOrUnknown) {
  struct Case {
    const char* name;
    std::optional<platform::DWORD> disable;
    platform::GUID event;
  } cases[] = {
      {"disabled", 1, kStartStopButton},
      {"no DisableNotifications value", std::nullopt, kStartStopButton},
      {"scan event", 0, {0x740D9EE6, 0x70F1, 0x11D1, {0xAD, 0x10, 0x00, 0xA0, 0x24, 0x38, 0xAD, 0x48}}},
      {"unknown event", 0, {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto device = Start(c.disable);
    const int reads = device->NotificationReads();
    device->RaiseEvent(c.event, Data());
    EXPECT_TRUE(Eventually([&] { return device->NotificationReads() == reads + 1; }));
    CloseDeviceLibrary();  // waits for the handling to end
    EXPECT_TRUE(bus_->Launches().empty());
    emulator::Uninstall();
  }
}

TEST_F(EventForwardingTest, SelectingAnotherDeviceWaitsForTheEventBeingHandled) {
  auto device = Start(0);
  std::promise<void> entered;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  bus_->SetLaunchHook([&, released] {
    entered.set_value();
    released.wait();
  });
  device->RaiseEvent(kStartStopButton, Data());
  entered.get_future().wait();

  std::atomic<bool> selected{false};
  std::thread ui([&] {
    EXPECT_EQ(SelectDevice(records_[1]), 0);
    selected = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(selected);  // still waiting for the handling
  EXPECT_EQ(device->UnsubscribeCalls(), 0);
  release.set_value();
  ui.join();
  EXPECT_TRUE(selected);
  EXPECT_EQ(device->UnsubscribeCalls(), 1);
  EXPECT_EQ(bus_->Launches().size(), 1u);
}

TEST_F(EventForwardingTest, EnumeratingAgainKeepsTheCurrentScannerForwardingAndLocked) {
  // The status monitor's flatbed check on a USB scanner with its flatbed unit.
  emulator::BusBuilder builder;
  builder.Device("A")
      .Product("DE-T4783Z")
      .OnStiUsb()
      .LockMode(2)
      .ButtonApplications("C:\\Apps\\button.exe")
      .FlatbedAttached()
      .FlatbedUnit("F");
  builder.Device("F").Product("DE-TT767").OnStiUsb().LockMode(2);
  Open(builder.Build());
  ASSERT_EQ(Enumerate().size(), 2u);
  ASSERT_EQ(StartEventForwarding(), 0);
  auto device = bus_->Find("A");
  ASSERT_TRUE(Eventually([&] { return !device->Subscriptions().empty(); }));
  ASSERT_EQ(LockScanner(1, 0), 0);
  const auto locks = device->Locks();
  ASSERT_TRUE(locks.locked);

  DeviceRecord flatbed{};
  EXPECT_TRUE(FindFlatbedUnit(flatbed));
  EXPECT_EQ(CountDevices(), 2);
  EXPECT_EQ(device->Locks().locked, true);
  EXPECT_EQ(device->Locks().unlock_calls, locks.unlock_calls);
  EXPECT_EQ(device->UnsubscribeCalls(), 0);
  device->RaiseEvent(kStartStopButton, Data());
  ASSERT_TRUE(Eventually([&] { return bus_->Launches().size() == 1; }));
  EXPECT_EQ(bus_->Launches().front().app_list, u"C:\\Apps\\button.exe");
  UnlockScanner();
  EXPECT_FALSE(device->Locks().locked);
}

TEST_F(EventForwardingTest, AForwardingThatCannotStartKeepsTheSystemsError) {
  constexpr platform::DWORD kNoSystemResources = 1450;
  Start(0);
  platform::FailNextCreateEventForTest(kNoSystemResources);
  EXPECT_EQ(StartEventForwarding(), 4);
  // The enumeration reports the kept error while it selects nothing...
  bus_->Find("A")->Unplug();
  bus_->Find("B")->Unplug();
  platform::SetLastError(0);
  EXPECT_TRUE(Enumerate().empty());
  EXPECT_EQ(platform::GetLastError(), kNoSystemResources);
  // ...and a selection clears it.
  bus_->Find("B")->Plug();
  EXPECT_EQ(Enumerate().size(), 1u);
  EXPECT_EQ(platform::GetLastError(), 0u);
}

TEST_F(EventForwardingTest, FailedSubscriptionEndsTheThreadQuietly) {
  EventForwarding forwarding;
  class Refusing : public platform::sti::StiDevice {
   public:
    platform::HRESULT Escape(platform::DWORD, void*, platform::DWORD, void*, platform::DWORD,
                             platform::DWORD*) override { return platform::E_FAIL; }
    platform::HRESULT LockDevice(platform::DWORD) override { return platform::E_FAIL; }
    platform::HRESULT UnLockDevice() override { return platform::E_FAIL; }
    platform::HRESULT Subscribe(const void*) override { return platform::E_FAIL; }
    platform::HRESULT GetLastNotificationData(platform::sti::STINOTIFY*) override { return platform::E_FAIL; }
    platform::HRESULT UnSubscribe() override {
      ++unsubscribed;
      return platform::S_OK;
    }
    int unsubscribed = 0;
  };
  auto refusing = std::make_shared<Refusing>();
  EXPECT_EQ(forwarding.Start(u"dev", refusing, nullptr, false), 0);
  EXPECT_TRUE(Eventually([&] { return forwarding.State() == ForwardingState::kEnded; }));
  forwarding.Stop();
  EXPECT_FALSE(forwarding.Running());
  EXPECT_EQ(refusing->unsubscribed, 0);
}

}  // namespace
}  // namespace device::testing
