#include <gtest/gtest.h>

#include "emulator/exchange.h"
#include "tests/device/device_fixture.h"

namespace device::testing {
namespace {

class LockTest : public DeviceLibraryTest {
 protected:
  std::shared_ptr<emulator::EmulatedDevice> Start(uint8_t lock_mode) {
    emulator::BusBuilder builder;
    builder.Device("A").Product("DE-T4783Z").OnStiUsb().LockMode(lock_mode);
    Open(builder.Build());
    EXPECT_EQ(Enumerate().size(), 1u);
    return bus_->Find("A");
  }
};

TEST_F(LockTest, LockModeTwoHoldsTheLockAcrossRequests) {
  auto device = Start(2);
  const auto locks_before = device->Locks().lock_calls;
  ASSERT_EQ(LockScanner(5, 1000), 0);
  EXPECT_TRUE(device->Locks().locked);
  const auto after_lock = device->Locks().lock_calls;
  EXPECT_EQ(after_lock, locks_before + 2);  // the probe's own lock, then the held one

  device->ClearLog();
  EXPECT_EQ(LockScanner(5, 1000), 0);  // a second call makes no device call
  EXPECT_TRUE(device->Exchanges().empty());

  ScsiRequestBlock tur = TestUnitReadyBlock();
  EXPECT_EQ(ExecuteRequest(tur), 0);
  EXPECT_EQ(device->Locks().lock_calls, after_lock);  // requests no longer lock themselves

  UnlockScanner();
  EXPECT_FALSE(device->Locks().locked);
  EXPECT_EQ(ExecuteRequest(tur), 0);
  EXPECT_EQ(device->Locks().lock_calls, after_lock + 1);
}

TEST_F(LockTest, LockModeOneLocksNothingAndForwardsNoEvents) {
  auto device = Start(1);
  EXPECT_EQ(LockScanner(5, 1000), 0);
  EXPECT_FALSE(device->Locks().locked);
  EXPECT_EQ(StartEventForwarding(), 0);
  EXPECT_EQ(device->SubscribeCalls(), 0);
  UnlockScanner();
}

TEST_F(LockTest, LockHeldElsewhereGivesBusyAfterEveryTry) {
  auto device = Start(2);
  device->SetLockHeldElsewhere(emulator::kAlways);
  const auto before = platform::GetTickCount();
  EXPECT_EQ(LockScanner(3, 1000), 3);
  // Three probes each wait the 2000 ms probe time-out, with 1000 ms between tries.
  EXPECT_EQ(platform::GetTickCount() - before, 3u * 2000 + 2u * 1000);
  EXPECT_FALSE(device->Locks().locked);
  // The time-out is back to 30000 ms afterwards.
  ScsiRequestBlock tur = TestUnitReadyBlock();
  const auto start = platform::GetTickCount();
  ExecuteRequest(tur);
  EXPECT_EQ(platform::GetTickCount() - start, 30000u);
}

TEST_F(LockTest, BusyLockThatFreesUpIsTakenOnALaterTry) {
  auto device = Start(2);
  device->SetLockHeldElsewhere(2);  // the first two tries find the scanner busy
  EXPECT_EQ(LockScanner(5, 1000), 0);
  EXPECT_TRUE(device->Locks().locked);
}

TEST_F(LockTest, OfflineStopsTryingAtOnce) {
  auto device = Start(2);
  ASSERT_EQ(LockScanner(1, 0), 0);
  UnlockScanner();
  device->SetOffline(true);
  const auto before = platform::GetTickCount();
  EXPECT_EQ(LockScanner(5, 1000), 4);
  EXPECT_EQ(platform::GetTickCount() - before, 0u);
}

TEST_F(LockTest, OpeningAnotherDeviceEndsTheLockForGood) {
  emulator::BusBuilder builder;
  builder.Device("A").Product("DE-T4783Z").OnStiUsb().LockMode(2);
  builder.Device("B").Product("DE-T4797Z").OnStiUsb().LockMode(2);
  Open(builder.Build());
  const auto records = Enumerate();
  ASSERT_EQ(records.size(), 2u);
  auto a = bus_->Find("A");
  ASSERT_EQ(LockScanner(1, 0), 0);
  ASSERT_TRUE(a->Locks().locked);
  ASSERT_EQ(SelectDevice(records[1]), 0);
  EXPECT_FALSE(a->Locks().locked);
  ASSERT_EQ(SelectDevice(records[0]), 0);
  // The library knows the lock went with the device: a new LockScanner locks again.
  EXPECT_EQ(LockScanner(1, 0), 0);
  EXPECT_TRUE(a->Locks().locked);
  UnlockScanner();
}

TEST_F(LockTest, AspiScannerNeedsNoStillImageLock) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T9793").OnAspi(0, 2);
  Open(builder.Build());
  ASSERT_EQ(Enumerate().size(), 1u);
  EXPECT_EQ(LockScanner(5, 1000), 0);
  UnlockScanner();
}

}  // namespace
}  // namespace device::testing
