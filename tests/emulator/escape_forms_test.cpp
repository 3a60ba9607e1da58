#include "emulator/escape_forms.h"

#include <gtest/gtest.h>

#include "platform/bytes.h"
#include "tests/emulator/emulator_support.h"

namespace {

using namespace emutest;
using emulator::CommandMatch;
using emulator::Direction;
using emulator::Exchange;
using emulator::Outcome;
using emulator::Transport;
using platform::DWORD;
using platform::HRESULT;
namespace bytes = platform::bytes;

enum class Form { kDirect, kPassThrough, kWow64 };

struct Sent {
  HRESULT hr = 0;
  DWORD status = 0;  // what the driver filled in (direct form: none)
  Bytes data;        // data in as the caller receives it
  DWORD used = 0;
};

// A client of each escape form, written from the wire layouts.
Sent Send(sti::StiDevice& device, Form form, const Bytes& cdb, Direction dir, const Bytes& out_data = {},
          size_t in_length = 0) {
  Sent sent;
  sent.data.assign(in_length, 0);
  const DWORD length = dir == Direction::kIn ? DWORD(in_length) : dir == Direction::kOut ? DWORD(out_data.size()) : 0;
  Bytes out_copy = out_data;
  if (form == Form::kDirect) {
    Bytes cdb_copy = cdb;
    uint8_t* buffer = dir == Direction::kIn ? sent.data.data() : dir == Direction::kOut ? out_copy.data() : nullptr;
    sent.hr = device.Escape(dir == Direction::kOut ? 0x1001 : 0x1002, cdb_copy.data(), DWORD(cdb.size()), buffer,
                            length, &sent.used);
    return sent;
  }
  if (form == Form::kPassThrough) {
    sti::PassThroughRequest request{};
    request.direction = static_cast<DWORD>(dir);
    std::copy(cdb.begin(), cdb.end(), request.cdb);
    request.cdb_length = static_cast<uint16_t>(cdb.size());
    request.data_length = length;
    request.data = dir == Direction::kIn ? sent.data.data() : out_copy.data();
    request.status = &sent.status;
    sent.hr = device.Escape(1, &request, 0, nullptr, 0, nullptr);
    return sent;
  }
  Bytes in(dir == Direction::kOut ? 24 + length : 28, 0);
  bytes::PutLE32(in.data(), static_cast<DWORD>(dir));
  std::copy(cdb.begin(), cdb.end(), in.begin() + 4);
  bytes::PutLE16(in.data() + 14, static_cast<uint32_t>(cdb.size()));
  bytes::PutLE32(in.data() + 20, length);
  std::copy(out_data.begin(), out_data.end(), in.begin() + 24);
  Bytes out(dir == Direction::kIn ? 68 + length : 72, 0);
  sent.used = DWORD(out.size());
  sent.hr = device.Escape(1, in.data(), DWORD(in.size()), out.data(), DWORD(out.size()), &sent.used);
  sent.status = bytes::GetLE32(out.data());
  if (dir == Direction::kIn) std::copy_n(out.begin() + 68, in_length, sent.data.begin());
  return sent;
}

class EscapeFormsTest : public ::testing::Test {
 protected:
  EscapeFormsTest() {
    emulator::BusBuilder builder;
    builder.Device("usb").OnStiUsb(2).EscapeFormByte(0x03).LockMode(2).CompatibleMode(17, 1);
    bus = builder.Build();
    device = bus->Find("usb");
    handle = OpenDevice(bus, *device);
  }
  Exchange Last() const { return device->Exchanges().back(); }
  int Executed() const {
    int n = 0;
    for (const Exchange& e : device->Exchanges())
      n += e.IsCommand() && e.outcome != Outcome::kRejected && e.outcome != Outcome::kEscapeFailed;
    return n;
  }

  std::shared_ptr<emulator::Bus> bus;
  std::shared_ptr<emulator::EmulatedDevice> device;
  std::shared_ptr<sti::StiDevice> handle;
};

TEST_F(EscapeFormsTest, DirectFormCarriesCdbAsInputAndDataAsOutput) {
  const Bytes cdb = Cdb10(0xE0, 0xA2, 2);
  const Sent read = Send(*handle, Form::kDirect, cdb, Direction::kIn, {}, 2);
  EXPECT_EQ(read.hr, platform::S_OK);
  EXPECT_EQ(read.data, (Bytes{17, 1}));
  EXPECT_EQ(read.used, 2u);
  Exchange e = Last();
  EXPECT_EQ(e.transport, Transport::kEscapeDirect);
  EXPECT_EQ(e.escape_code, 0x1002u);
  EXPECT_EQ(e.in_size, 10u);
  EXPECT_EQ(e.out_size, 2u);
  EXPECT_EQ(e.raw_in, cdb);
  EXPECT_EQ(e.direction, Direction::kIn);
  EXPECT_EQ(e.returned, 2u);

  EXPECT_EQ(Send(*handle, Form::kDirect, kTestUnitReady, Direction::kNone).hr, platform::S_OK);
  e = Last();
  EXPECT_EQ(e.escape_code, 0x1002u);
  EXPECT_EQ(e.in_size, 6u);
  EXPECT_EQ(e.direction, Direction::kNone);

  EXPECT_EQ(Send(*handle, Form::kDirect, Cdb10(0xE1, 0xA1, 2), Direction::kOut, {1, 0}).hr, platform::S_OK);
  e = Last();
  EXPECT_EQ(e.escape_code, 0x1001u);
  EXPECT_EQ(e.out_size, 2u);
  EXPECT_EQ(e.data_out, (Bytes{1, 0}));
  EXPECT_EQ(device->State().vendor_writes.at(0xA1), (Bytes{1, 0}));
}

TEST_F(EscapeFormsTest, NativePassThroughFillsStatusAndCallersBuffer) {
  const Sent read = Send(*handle, Form::kPassThrough, kInquiry, Direction::kIn, {}, 96);
  EXPECT_EQ(read.hr, platform::S_OK);
  EXPECT_EQ(read.status, 1u);
  EXPECT_EQ(Bytes(read.data.begin(), read.data.begin() + 96), Bytes(device->inquiry().begin(), device->inquiry().end()));
  Exchange e = Last();
  EXPECT_EQ(e.transport, Transport::kEscapePassThrough);
  EXPECT_EQ(e.escape_code, 1u);
  EXPECT_EQ(e.in_size, 0u);
  EXPECT_EQ(e.cdb_area, (Bytes{0x12, 0, 0, 0, 0x60, 0, 0, 0, 0, 0}));
  EXPECT_EQ(e.cdb_length, 6);
  EXPECT_EQ(e.data_length, 96u);
  EXPECT_EQ(e.header_reserved, 0u);

  const Bytes thresholds = {0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3};
  const Sent write = Send(*handle, Form::kPassThrough, Cdb10(0xE1, 0x9D, 12), Direction::kOut, thresholds);
  EXPECT_EQ(write.status, 1u);
  EXPECT_EQ(Last().data_out, thresholds);
}

TEST_F(EscapeFormsTest, Wow64FormUsesRealBuffersWithStatusAndDataAt68) {
  const Sent read = Send(*handle, Form::kWow64, Cdb10(0xE0, 0xA2, 2), Direction::kIn, {}, 2);
  EXPECT_EQ(read.hr, platform::S_OK);
  EXPECT_EQ(read.status, 1u);
  EXPECT_EQ(read.data, (Bytes{17, 1}));
  EXPECT_EQ(read.used, 70u);
  Exchange e = Last();
  EXPECT_EQ(e.transport, Transport::kEscapeWow64);
  EXPECT_EQ(e.in_size, 28u);
  EXPECT_EQ(e.out_size, 70u);
  EXPECT_EQ(e.raw_in.size(), 28u);
  EXPECT_EQ(e.cdb_length, 10);

  const Sent write = Send(*handle, Form::kWow64, Cdb10(0xE1, 0xA1, 2), Direction::kOut, {0, 5});
  EXPECT_EQ(write.status, 1u);
  EXPECT_EQ(write.used, 4u);
  e = Last();
  EXPECT_EQ(e.in_size, 26u);
  EXPECT_EQ(e.out_size, 72u);
  EXPECT_EQ(e.data_out, (Bytes{0, 5}));

  // A command without data sent with the data-out flag: header only, 24 bytes.
  Bytes in(24, 0), out(72, 0xEE);
  in[14] = 6;  // TEST UNIT READY
  DWORD used = 0;
  EXPECT_EQ(handle->Escape(1, in.data(), 24, out.data(), 72, &used), platform::S_OK);
  EXPECT_EQ(bytes::GetLE32(out.data()), 1u);
  // ... and with the data-in flag and length 0: output 68.
  in.resize(28);
  EXPECT_EQ(handle->Escape(1, in.data(), 28, out.data(), 68, &used), platform::S_OK);
}

TEST_F(EscapeFormsTest, QueryEscapesInNativeAndOutputForms) {
  uint8_t byte = 0;
  DWORD used = 0;
  EXPECT_EQ(handle->Escape(0x1004, nullptr, 0, &byte, 1, &used), platform::S_OK);
  EXPECT_EQ(byte, 0x03);
  EXPECT_EQ(used, 1u);

  DWORD mode = 1;
  EXPECT_EQ(handle->Escape(5, &mode, 0, nullptr, 0, nullptr), platform::S_OK);
  EXPECT_EQ(mode, 2u);
  byte = 1;
  EXPECT_EQ(handle->Escape(5, nullptr, 0, &byte, 1, &used), platform::S_OK);
  EXPECT_EQ(byte, 2);

  byte = 0;
  EXPECT_EQ(handle->Escape(0x1003, nullptr, 0, &byte, 1, &used), platform::S_OK);
  EXPECT_EQ(byte, 2);

  uint8_t block[4] = {9, 9, 9, 9};
  EXPECT_EQ(handle->Escape(4, block, 0, nullptr, 0, nullptr), platform::S_OK);
  EXPECT_EQ(Bytes(block, block + 4), (Bytes{0, 0, 0, 2}));
  uint8_t out[4] = {9, 9, 9, 9};
  EXPECT_EQ(handle->Escape(4, nullptr, 0, out, 4, &used), platform::S_OK);
  EXPECT_EQ(Bytes(out, out + 4), (Bytes{0, 0, 0, 2}));
  EXPECT_EQ(used, 4u);

  const Exchange e = Last();
  EXPECT_EQ(e.transport, Transport::kEscapeQuery);
  EXPECT_EQ(e.escape_code, 4u);
  EXPECT_EQ(e.out_size, 4u);
  EXPECT_EQ(handle->Escape(0x2000, nullptr, 0, out, 4, &used), emulator::E_NOTIMPL);
}

TEST_F(EscapeFormsTest, MalformedCallsAreRejectedWithoutExecuting) {
  Bytes cdb = Cdb10(0xE0, 0x01, 12);
  uint8_t buffer[128] = {};
  DWORD used = 0, status = 0;
  auto pass = [&](auto change) {
    sti::PassThroughRequest r{};
    r.direction = 1;
    std::copy(cdb.begin(), cdb.end(), r.cdb);
    r.cdb_length = 10;
    r.data_length = 12;
    r.data = buffer;
    r.status = &status;
    change(r);
    return r;
  };
  auto wow = [&](DWORD direction, DWORD length, size_t in_size) {
    Bytes in(in_size < 24 ? 24 : in_size, 0);
    bytes::PutLE32(in.data(), direction);
    std::copy(cdb.begin(), cdb.end(), in.begin() + 4);
    bytes::PutLE16(in.data() + 14, 10);
    bytes::PutLE32(in.data() + 20, length);
    return in;
  };
  sti::PassThroughRequest bad_dir = pass([](auto& r) { r.direction = 3; });
  sti::PassThroughRequest no_status = pass([](auto& r) { r.status = nullptr; });
  sti::PassThroughRequest no_data = pass([](auto& r) { r.data = nullptr; });
  sti::PassThroughRequest long_cdb = pass([](auto& r) { r.cdb_length = 11; });
  sti::PassThroughRequest no_cdb = pass([](auto& r) { r.cdb_length = 0; });
  sti::PassThroughRequest good = pass([](auto&) {});
  Bytes wow_in = wow(1, 12, 28), wow_out = wow(2, 8, 28), wow_dir = wow(5, 0, 28);
  DWORD lock = 1;

  struct Case {
    const char* what;
    DWORD code;
    void* in;
    DWORD in_size;
    void* out;
    DWORD out_size;
    DWORD* used;
  };
  const Case cases[] = {
      {"direct without CDB", 0x1002, nullptr, 10, buffer, 12, &used},
      {"direct with odd CDB length", 0x1002, cdb.data(), 7, buffer, 12, &used},
      {"direct size without buffer", 0x1002, cdb.data(), 10, nullptr, 12, &used},
      {"direct data out without data", 0x1001, cdb.data(), 10, nullptr, 0, &used},
      {"direct data out of size 0", 0x1001, cdb.data(), 10, buffer, 0, &used},
      {"pass-through without structure", 1, nullptr, 0, nullptr, 0, nullptr},
      {"pass-through with an output buffer", 1, &good, 0, buffer, 12, &used},
      {"pass-through direction 3", 1, &bad_dir, 0, nullptr, 0, nullptr},
      {"pass-through without status", 1, &no_status, 0, nullptr, 0, nullptr},
      {"pass-through without data", 1, &no_data, 0, nullptr, 0, nullptr},
      {"pass-through CDB of 11", 1, &long_cdb, 0, nullptr, 0, nullptr},
      {"pass-through CDB of 0", 1, &no_cdb, 0, nullptr, 0, nullptr},
      {"wow64 input too short", 1, wow_in.data(), 20, buffer, 80, &used},
      {"wow64 without output", 1, wow_in.data(), 28, nullptr, 80, &used},
      {"wow64 without used size", 1, wow_in.data(), 28, buffer, 80, nullptr},
      {"wow64 data in with output 72", 1, wow_in.data(), 28, buffer, 72, &used},
      {"wow64 data out with input 28", 1, wow_out.data(), 28, buffer, 72, &used},
      {"wow64 direction 5", 1, wow_dir.data(), 28, buffer, 72, &used},
      {"form byte into 4 bytes", 0x1004, nullptr, 0, buffer, 4, &used},
      {"form byte without output", 0x1004, nullptr, 0, nullptr, 1, &used},
      {"lock mode with input size", 5, &lock, 4, nullptr, 0, nullptr},
      {"lock mode with both", 5, &lock, 0, buffer, 1, &used},
      {"speed block into 1 byte", 4, nullptr, 0, buffer, 1, &used},
      {"speed byte with input", 0x1003, &lock, 0, buffer, 1, &used},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(handle->Escape(c.code, c.in, c.in_size, c.out, c.out_size, c.used), platform::E_INVALIDARG);
    EXPECT_EQ(Last().outcome, Outcome::kRejected);
  }
  EXPECT_EQ(Executed(), 0);
  EXPECT_EQ(lock, 1u);
  EXPECT_EQ(handle->Escape(1, &good, 0, nullptr, 0, nullptr), platform::S_OK) << "the template itself is sound";
  // A buffer of size 0 is no data, not a malformed call.
  Bytes tur = kTestUnitReady;
  EXPECT_EQ(handle->Escape(0x1002, tur.data(), 6, buffer, 0, &used), platform::S_OK);
  EXPECT_EQ(Last().direction, Direction::kNone);
}

TEST_F(EscapeFormsTest, FailedCommandLeavesSenseForRequestSenseInTheSameForm) {
  for (Form form : {Form::kDirect, Form::kPassThrough, Form::kWow64}) {
    SCOPED_TRACE(static_cast<int>(form));
    device->AddFault(emulator::SenseFault(CommandMatch::Command(0xE0, 0x01), emulator::Sense{3, 0x3A, 0}));
    const Sent failed = Send(*handle, form, Cdb10(0xE0, 0x01, 12), Direction::kIn, {}, 12);
    EXPECT_TRUE(platform::FAILED(failed.hr));
    if (form != Form::kDirect) {
      EXPECT_EQ(failed.status, 4u);
    }
    EXPECT_EQ(device->PendingSense(), (emulator::Sense{3, 0x3A, 0}));

    const Sent sense = Send(*handle, form, kRequestSense, Direction::kIn, {}, 14);
    EXPECT_EQ(sense.hr, platform::S_OK);
    if (form != Form::kDirect) {
      EXPECT_EQ(sense.status, 1u);
    }
    EXPECT_EQ(sense.data[0], 0x70);
    EXPECT_EQ(sense.data[2], 3);
    EXPECT_EQ(sense.data[12], 0x3A);
    EXPECT_FALSE(device->PendingSense());
  }
}

TEST_F(EscapeFormsTest, InjectedEscapeFailuresAndUnpluggedDevice) {
  device->AddEscapeFault({0x1003, platform::E_FAIL, 1});
  device->AddEscapeFault({1, static_cast<HRESULT>(0x8007001F), 1});
  uint8_t byte = 7;
  DWORD used = 0;
  EXPECT_EQ(handle->Escape(0x1003, nullptr, 0, &byte, 1, &used), platform::E_FAIL);
  EXPECT_EQ(byte, 7) << "a failed escape leaves the output alone";
  EXPECT_EQ(handle->Escape(0x1003, nullptr, 0, &byte, 1, &used), platform::S_OK);

  const Sent failed = Send(*handle, Form::kPassThrough, kTestUnitReady, Direction::kNone);
  EXPECT_EQ(failed.hr, static_cast<HRESULT>(0x8007001F));
  EXPECT_EQ(Last().outcome, Outcome::kEscapeFailed);
  EXPECT_EQ(Executed(), 0);

  device->Unplug();
  const Sent gone = Send(*handle, Form::kPassThrough, kTestUnitReady, Direction::kNone);
  EXPECT_EQ(gone.hr, emulator::kDeviceNotConnected);
  EXPECT_EQ(gone.status, 0x82u);
  EXPECT_EQ(handle->Escape(0x1004, nullptr, 0, &byte, 1, &used), emulator::kDeviceNotConnected);
}

}  // namespace
