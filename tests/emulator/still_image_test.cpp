#include "emulator/still_image.h"

#include <gtest/gtest.h>

#include "platform/bytes.h"
#include "platform/clock.h"
#include "platform/handles.h"
#include "tests/emulator/emulator_support.h"

namespace {

using namespace emutest;
using platform::DWORD;
using platform::HRESULT;
namespace bytes = platform::bytes;

constexpr platform::GUID kButton = {0xA6C5A715, 0x8C6E, 0x11D2, {0x97, 0x7A, 0x00, 0x00, 0xF8, 0x7A, 0x92, 0x6F}};

class StillImageTest : public ::testing::Test {
 protected:
  StillImageTest() {
    emulator::BusBuilder builder;
    builder.Device("first").Product("DE-T4783Z").OnStiUsb(1, u"{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0003");
    builder.Device("aspi").Product("DE-T9793").OnAspi(0, 2);
    builder.Device("second").Product("DE-T9786Z").OnStiScsi().DeviceDescription(u"DE-T9786Z scanner");
    bus = builder.Build();
    first = bus->Find("first");
    second = bus->Find("second");
    still = StillImageOf(bus);
  }

  platform::ScopedFakeClock clock;
  std::shared_ptr<emulator::Bus> bus;
  std::shared_ptr<emulator::EmulatedDevice> first, second;
  std::shared_ptr<sti::StillImage> still;
};

TEST_F(StillImageTest, DeviceListFollowsBusOrderWithoutUnpluggedDevices) {
  std::vector<sti::StiDeviceInformation> list;
  ASSERT_EQ(still->GetDeviceList(0, 0, &list), platform::S_OK);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].DeviceInternalName, u"{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0003");
  EXPECT_EQ(list[0].HardwareConfiguration, sti::STI_HW_CONFIG_USB);
  EXPECT_EQ(list[0].VendorDescription, u"Quorvex");
  EXPECT_EQ(list[0].DeviceDescription, u"DE-T4783Z");
  EXPECT_EQ(list[1].DeviceInternalName, u"{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0001") << "named by position";
  EXPECT_EQ(list[1].HardwareConfiguration, sti::STI_HW_CONFIG_SCSI);
  EXPECT_EQ(list[1].DeviceDescription, u"DE-T9786Z scanner");

  first->Unplug();
  ASSERT_EQ(still->GetDeviceList(0, 0, &list), platform::S_OK);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].DeviceDescription, u"DE-T9786Z scanner");
  std::shared_ptr<sti::StiDevice> handle;
  EXPECT_EQ(still->CreateDevice(first->attachment().sti->internal_name, 1, &handle), sti::STIERR_INVALID_DEVICE_NAME);
  EXPECT_EQ(still->GetDeviceList(0, 0, nullptr), platform::E_INVALIDARG);
}

TEST_F(StillImageTest, CreateDeviceChecksNameAndInjectedFailure) {
  std::shared_ptr<sti::StiDevice> handle;
  EXPECT_EQ(still->CreateDevice(u"{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0009", 1, &handle),
            sti::STIERR_INVALID_DEVICE_NAME);
  EXPECT_FALSE(handle);

  second->SetCreateFailures(1, sti::STIERR_DEVICE_NOTREADY);
  const std::u16string name = second->attachment().sti->internal_name;
  EXPECT_EQ(still->CreateDevice(name, 1, &handle), sti::STIERR_DEVICE_NOTREADY);
  EXPECT_EQ(still->CreateDevice(name, 1, &handle), platform::S_OK);
  ASSERT_TRUE(handle);
  EXPECT_EQ(second->LastCreateMode(), 1u);
  EXPECT_EQ(second->OpenHandles(), 1);
  handle.reset();
  EXPECT_EQ(second->OpenHandles(), 0);
  EXPECT_EQ(second->CreatedHandles(), 1);
}

TEST_F(StillImageTest, CreateInstanceChecksVersionAndConfiguredFailure) {
  auto library = emulator::MakeStiLibrary(bus);
  std::shared_ptr<sti::StillImage> out;
  EXPECT_EQ(library->StiCreateInstance(nullptr, 1, &out), platform::E_INVALIDARG);
  EXPECT_EQ(library->StiCreateInstance(nullptr, 2, nullptr), platform::E_INVALIDARG);
  emulator::BusSettings settings;
  settings.sti_create_result = platform::E_OUTOFMEMORY;
  bus->SetSettings(settings);
  EXPECT_EQ(library->StiCreateInstance(nullptr, 2, &out), platform::E_OUTOFMEMORY);
  EXPECT_FALSE(out);
}

TEST_F(StillImageTest, LockHeldElsewhereWaitsItsTimeoutThenFails) {
  auto handle = OpenDevice(bus, *first);
  first->SetLockHeldElsewhere(2);
  const uint64_t start = clock->Now();
  EXPECT_EQ(handle->LockDevice(500), sti::STIERR_SHARING_VIOLATION);
  EXPECT_EQ(clock->Now() - start, 500u);
  EXPECT_EQ(handle->LockDevice(30000), sti::STIERR_SHARING_VIOLATION);
  EXPECT_EQ(clock->Now() - start, 30500u);
  EXPECT_EQ(handle->LockDevice(30000), platform::S_OK) << "held for two attempts only";
  EXPECT_EQ(handle->UnLockDevice(), platform::S_OK);

  const emulator::LockCounts counts = first->Locks();
  EXPECT_EQ(counts.lock_calls, 3);
  EXPECT_EQ(counts.unlock_calls, 1);
  EXPECT_FALSE(counts.locked);
  const auto log = first->Exchanges();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].transport, emulator::Transport::kLock);
  EXPECT_EQ(log[0].lock_timeout, 500u);
  EXPECT_EQ(log[3].transport, emulator::Transport::kUnlock);
}

TEST_F(StillImageTest, OfflineAndUnpluggedDevicesFailLockAtOnce) {
  auto handle = OpenDevice(bus, *first);
  first->SetOffline(true);
  const uint64_t start = clock->Now();
  EXPECT_EQ(handle->LockDevice(30000), sti::STIERR_DEVICE_OFFLINE);
  EXPECT_EQ(clock->Now(), start);
  first->SetOffline(false);
  first->Unplug();
  EXPECT_EQ(handle->LockDevice(30000), sti::STIERR_DEVICE_OFFLINE);
}

TEST_F(StillImageTest, SecondHandleCannotTakeALockUntilTheFirstGoesAway) {
  auto a = OpenDevice(bus, *first);
  auto b = OpenDevice(bus, *first);
  ASSERT_EQ(a->LockDevice(100), platform::S_OK);
  EXPECT_EQ(a->LockDevice(100), platform::S_OK) << "the owner may lock again";
  EXPECT_EQ(b->LockDevice(100), sti::STIERR_SHARING_VIOLATION);
  a.reset();  // releasing the device releases its lock
  EXPECT_EQ(b->LockDevice(100), platform::S_OK);
}

TEST_F(StillImageTest, SubscriptionRecordsInBothLayouts) {
  auto handle = OpenDevice(bus, *first);
  platform::HANDLE event = platform::CreateEvent(true, false);
  const auto event_value = reinterpret_cast<uintptr_t>(event);

  uint8_t native[24] = {};
  bytes::PutLE32(native, 24);
  bytes::PutLE32(native + 4, sti::STI_SUBSCRIBE_FLAG_EVENT);
  bytes::PutLE32(native + 16, static_cast<uint32_t>(event_value));
  ASSERT_EQ(handle->Subscribe(native), platform::S_OK);
  auto subscriptions = first->Subscriptions();
  ASSERT_EQ(subscriptions.size(), 1u);
  EXPECT_EQ(subscriptions[0].size, 24u);
  EXPECT_EQ(subscriptions[0].event, event);
  EXPECT_EQ(handle->Subscribe(native), platform::E_FAIL) << "already subscribed";
  EXPECT_EQ(handle->UnSubscribe(), platform::S_OK);
  EXPECT_EQ(handle->UnSubscribe(), platform::E_FAIL);

  uint8_t wow[36] = {};
  bytes::PutLE32(wow, 36);
  bytes::PutLE32(wow + 4, sti::STI_SUBSCRIBE_FLAG_EVENT);
  bytes::PutLE64(wow + 16, 0x1234);
  bytes::PutLE64(wow + 24, event_value);
  bytes::PutLE32(wow + 32, 0x0401);
  ASSERT_EQ(handle->Subscribe(wow), platform::S_OK);
  subscriptions = first->Subscriptions();
  ASSERT_EQ(subscriptions.size(), 1u);
  EXPECT_EQ(subscriptions[0].size, 36u);
  EXPECT_EQ(subscriptions[0].window, 0x1234u);
  EXPECT_EQ(subscriptions[0].event, event);
  EXPECT_EQ(subscriptions[0].message, 0x0401u);
  EXPECT_EQ(first->SubscribeCalls(), 3);
  EXPECT_EQ(first->UnsubscribeCalls(), 2);

  uint8_t bad_size[36] = {};
  bytes::PutLE32(bad_size, 28);
  uint8_t no_event[24] = {};
  bytes::PutLE32(no_event, 24);
  bytes::PutLE32(no_event + 4, sti::STI_SUBSCRIBE_FLAG_EVENT);
  uint8_t window_only[24] = {};
  bytes::PutLE32(window_only, 24);
  bytes::PutLE32(window_only + 4, 1);
  bytes::PutLE32(window_only + 16, static_cast<uint32_t>(event_value));
  for (const void* record : {static_cast<const void*>(nullptr), static_cast<const void*>(bad_size),
                             static_cast<const void*>(no_event), static_cast<const void*>(window_only)})
    EXPECT_EQ(emulator::EmulatedStiDevice(first, 1).Subscribe(record), platform::E_INVALIDARG);
  platform::CloseHandle(event);
}

TEST_F(StillImageTest, RaisedEventSignalsSubscriberAndIsReadBack) {
  auto handle = OpenDevice(bus, *first);
  sti::STINOTIFY notify{};
  notify.dwSize = sizeof(notify);
  EXPECT_EQ(handle->GetLastNotificationData(&notify), emulator::STIERR_NOEVENTS);

  platform::HANDLE event = platform::CreateEvent(true, false);
  uint8_t record[24] = {};
  bytes::PutLE32(record, 24);
  bytes::PutLE32(record + 4, sti::STI_SUBSCRIBE_FLAG_EVENT);
  bytes::PutLE32(record + 16, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(event)));
  ASSERT_EQ(handle->Subscribe(record), platform::S_OK);

  Bytes data(64);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
  first->RaiseEvent(kButton, data);
  EXPECT_EQ(platform::WaitForSingleObject(event, 0), platform::WAIT_OBJECT_0);
  ASSERT_EQ(handle->GetLastNotificationData(&notify), platform::S_OK);
  EXPECT_EQ(notify.dwSize, 84u);
  EXPECT_EQ(notify.guidNotificationCode, kButton);
  EXPECT_EQ(Bytes(notify.abNotificationData, notify.abNotificationData + 64), data);

  notify.dwSize = 80;
  EXPECT_EQ(handle->GetLastNotificationData(&notify), platform::E_INVALIDARG);
  EXPECT_EQ(handle->GetLastNotificationData(nullptr), platform::E_INVALIDARG);

  // After unsubscribing the event is no longer signalled.
  ASSERT_EQ(handle->UnSubscribe(), platform::S_OK);
  platform::ResetEvent(event);
  first->RaiseEvent(kButton, data);
  EXPECT_EQ(platform::WaitForSingleObject(event, 0), platform::WAIT_TIMEOUT);
  platform::CloseHandle(event);
}

TEST_F(StillImageTest, LaunchIsRecordedWithTheNotificationBytes) {
  sti::STINOTIFY notify{};
  notify.dwSize = sizeof(notify);
  notify.guidNotificationCode = kButton;
  notify.abNotificationData[63] = 0x5A;
  EXPECT_EQ(still->LaunchApplicationForDevice(u"dev", u"app1;app2", &notify), platform::S_OK);
  EXPECT_EQ(still->LaunchApplicationForDevice(u"dev", u"x", nullptr), platform::E_INVALIDARG);
  const auto launches = bus->Launches();
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].device_name, u"dev");
  EXPECT_EQ(launches[0].app_list, u"app1;app2");
  EXPECT_EQ(launches[0].notify.size(), 84u);
  EXPECT_EQ(launches[0].notify[0], 84);
  EXPECT_EQ(launches[0].notify[4], 0x15);  // first byte of the identifier, little-endian
  EXPECT_EQ(launches[0].notify[83], 0x5A);
}

}  // namespace
