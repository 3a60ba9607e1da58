#include <gtest/gtest.h>

#include <thread>

#include "platform/clock.h"
#include "platform/handles.h"

namespace platform {
namespace {

TEST(FakeClockTest, TimedWaitOnUnsignalledEventAdvancesTimeAtOnce) {
  ScopedFakeClock clock;
  HANDLE event = CreateEvent(true, false);
  const DWORD before = GetTickCount();
  EXPECT_EQ(WaitForSingleObject(event, 10000), WAIT_TIMEOUT);
  EXPECT_EQ(GetTickCount() - before, 10000u);
  Sleep(100);
  EXPECT_EQ(GetTickCount() - before, 10100u);
  EXPECT_TRUE(CloseHandle(event));
}

TEST(EventTest, ManualResetStaysSignalledAutoResetDoesNot) {
  ScopedFakeClock clock;
  HANDLE manual = CreateEvent(true, true);
  HANDLE automatic = CreateEvent(false, true);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT);
  ResetEvent(manual);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
  CloseHandle(manual);
  CloseHandle(automatic);
}

TEST(EventTest, InfiniteWaitReturnsWhenAnotherThreadSignals) {
  HANDLE event = CreateEvent(true, false);
  std::thread signaller([event] { SetEvent(event); });
  EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
  signaller.join();
  CloseHandle(event);
}

TEST(HandleTest, ClosedOrUnknownHandlesFail) {
  HANDLE event = CreateEvent(true, false);
  EXPECT_TRUE(CloseHandle(event));
  EXPECT_FALSE(CloseHandle(event));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(SetEvent(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
  // Handles fit in 32 bits, as a 32-bit process's do.
  HANDLE other = CreateEvent(true, false);
  EXPECT_LT(reinterpret_cast<uintptr_t>(other), uintptr_t{0x80000000});
  CloseHandle(other);
}

}  // namespace
}  // namespace platform
