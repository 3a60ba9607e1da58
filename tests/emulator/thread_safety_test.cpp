// Calls from the still-image worker, the event-forwarding thread and the test thread
// at once; meant to run under the thread sanitizer too.
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "emulator/command_table.h"
#include "platform/bytes.h"
#include "platform/clock.h"
#include "platform/handles.h"
#include "platform/system.h"
#include "tests/emulator/emulator_support.h"

namespace {

using namespace emutest;
using platform::DWORD;

constexpr platform::GUID kFeeder = {0x9A64B901, 0x7C1B, 0x4934, {0x94, 0xE1, 0xBD, 0xAA, 0xA6, 0x1A, 0xBC, 0x3C}};

TEST(ThreadSafetyTest, EscapesEventsAndAspiRequestsAtOnce) {
  platform::ScopedFakeClock clock;
  TwoScanners s;
  s.usb->EditState([](emulator::ScannerState& state) { state.caution.clean_roller = 100; });  // clean the rollers
  auto handle = OpenDevice(s.bus, *s.usb);
  constexpr int kRequests = 300;
  constexpr int kEvents = 200;

  std::atomic<int> bad_answers{0};
  std::thread worker([&] {
    for (int i = 0; i < kRequests; ++i) {
      if (handle->LockDevice(30000) != platform::S_OK) ++bad_answers;
      uint8_t data[12] = {};
      DWORD status = 0;
      sti::PassThroughRequest request{};
      request.direction = 1;
      const Bytes cdb = Cdb10(0xE0, 0x90, 12);
      std::copy(cdb.begin(), cdb.end(), request.cdb);
      request.cdb_length = 10;
      request.data_length = 12;
      request.data = data;
      request.status = &status;
      if (handle->Escape(1, &request, 0, nullptr, 0, nullptr) != platform::S_OK || status != 1 ||
          data[0] != 100)
        ++bad_answers;
      handle->UnLockDevice();
    }
  });

  std::atomic<bool> subscribed{false};
  std::atomic<int> inconsistent{0};
  std::atomic<int> last_seen{0};
  std::thread forwarder([&] {
    platform::HANDLE event = platform::CreateEvent(true, false);
    uint8_t record[24] = {};
    platform::bytes::PutLE32(record, 24);
    platform::bytes::PutLE32(record + 4, sti::STI_SUBSCRIBE_FLAG_EVENT);
    platform::bytes::PutLE32(record + 16, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(event)));
    if (handle->Subscribe(record) != platform::S_OK) ++inconsistent;
    subscribed = true;
    while (last_seen < kEvents) {
      platform::WaitForSingleObject(event, platform::INFINITE);
      platform::ResetEvent(event);
      sti::STINOTIFY notify{};
      notify.dwSize = sizeof(notify);
      if (handle->GetLastNotificationData(&notify) != platform::S_OK) continue;
      const uint8_t seq = notify.abNotificationData[0];
      for (uint8_t b : notify.abNotificationData) inconsistent += b != seq;
      inconsistent += !(notify.guidNotificationCode == kFeeder);
      last_seen = seq;
    }
    handle->UnSubscribe();
    platform::CloseHandle(event);
  });

  std::thread aspi_client([&] {
    for (int i = 0; i < kRequests; ++i) {
      uint8_t data[96];
      auto srb = ExecBlock(0, 3, kInquiry, aspi::SRB_DIR_IN, data, sizeof(data));
      if (emulator::SendAspiCommand(*s.bus, &srb) != aspi::SS_COMP) ++bad_answers;
    }
  });

  while (!subscribed) std::this_thread::yield();
  for (int seq = 1; seq <= kEvents; ++seq) {
    s.usb->RaiseEvent(kFeeder, Bytes(64, static_cast<uint8_t>(seq)));
    if (seq % 50 == 0) {
      s.usb->Exchanges();
      s.scsi->Commands();
      s.bus->StillImageDevices();
    }
  }
  worker.join();
  forwarder.join();
  aspi_client.join();

  EXPECT_EQ(bad_answers, 0);
  EXPECT_EQ(inconsistent, 0);
  EXPECT_EQ(last_seen, kEvents);
  EXPECT_EQ(s.usb->Commands().size(), size_t(kRequests));
  EXPECT_EQ(s.scsi->Commands().size(), size_t(kRequests));
  const emulator::LockCounts locks = s.usb->Locks();
  EXPECT_EQ(locks.lock_calls, kRequests);
  EXPECT_EQ(locks.unlock_calls, kRequests);
}

TEST(ThreadSafetyTest, TimelineStepsWhileThreadsTouchTheBus) {
  platform::ScopedFakeClock clock;
  constexpr uint32_t kSteps = 100;
  emulator::BusBuilder builder;
  emulator::DeviceBuilder& usb = builder.Device("usb").Product("DE-T4783Z").OnStiUsb();
  emulator::DeviceBuilder& scsi = builder.Device("scsi").Product("DE-T9793").OnAspi(0, 3);
  for (uint32_t k = 1; k <= kSteps; ++k) {
    usb.At(k * 10, [k](emulator::ScannerState& s) { s.status.code = k; });
    scsi.UnplugAt(k * 10 + 3).PlugAt(k * 10 + 6);
  }
  auto bus = builder.Build();
  std::atomic<int> broadcasts{0};
  platform::system::ScopedSystemMessageListener listener([&](platform::UINT, platform::WPARAM, platform::LPARAM) {
    bus->StillImageDevices();
    ++broadcasts;
    return platform::system::LRESULT{1};
  });

  std::atomic<bool> done{false};
  std::atomic<int> out_of_order{0};
  std::thread status_reader([&] {
    uint32_t last = 0;
    while (!done) {
      const Bytes block = Exec(*bus->Find("usb"), Cdb10(0xE0, 0x01, 12), 12).data;
      const uint32_t code = platform::bytes::GetBE32(&block[8]);
      out_of_order += code < last;
      last = code;
    }
  });
  std::thread aspi_client([&] {
    while (!done) {
      auto srb = ExecBlock(0, 3, kTestUnitReady, aspi::SRB_DIR_OUT, nullptr, 0);
      emulator::SendAspiCommand(*bus, &srb);
    }
  });
  for (uint32_t ms = 0; ms < kSteps * 10 + 10; ++ms) {
    clock->Advance(1);
    if (ms % 7 == 0) bus->AdvanceTimeline();
  }
  done = true;
  status_reader.join();
  aspi_client.join();
  bus->AdvanceTimeline();

  EXPECT_EQ(out_of_order, 0);
  EXPECT_EQ(bus->PendingTimelineSteps(), 0u);
  EXPECT_EQ(bus->Find("usb")->State().status.code, kSteps);
  EXPECT_TRUE(bus->Find("scsi")->Plugged());
  EXPECT_EQ(broadcasts, int(2 * kSteps));
}

}  // namespace
