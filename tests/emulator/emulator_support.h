// Small helpers shared by the emulator tests: request blocks, device handles, CDBs.
#pragma once
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "emulator/aspi_manager.h"
#include "emulator/bus.h"
#include "emulator/device_builder.h"
#include "emulator/emulated_device.h"
#include "emulator/still_image.h"

namespace emutest {

using Bytes = std::vector<uint8_t>;
namespace aspi = platform::aspi;
namespace sti = platform::sti;

inline Bytes Cdb10(uint8_t opcode, uint8_t type, uint32_t length) {
  return {opcode, 0, type, 0, 0, 0, uint8_t(length >> 16), uint8_t(length >> 8), uint8_t(length), 0};
}
inline const Bytes kTestUnitReady = {0x00, 0, 0, 0, 0, 0};
inline const Bytes kInquiry = {0x12, 0, 0, 0, 0x60, 0};
inline const Bytes kRequestSense = {0x03, 0, 0, 0, 0x0E, 0};

struct Answer {
  emulator::WireResult result;
  Bytes data;
};

// Runs a command the way the still-image path does: the sense stays pending.
inline Answer Exec(emulator::EmulatedDevice& device, const Bytes& cdb, size_t in_length = 0, const Bytes& out = {}) {
  emulator::WireRequest request;
  request.record.transport = emulator::Transport::kEscapePassThrough;
  request.record.cdb_area = cdb;
  request.record.cdb_length = static_cast<uint8_t>(cdb.size());
  request.record.direction = in_length ? emulator::Direction::kIn
                             : out.empty() ? emulator::Direction::kNone
                                           : emulator::Direction::kOut;
  request.record.data_out = out;
  Answer answer;
  answer.data.assign(in_length, 0xCC);
  request.data_in = answer.data;
  answer.result = device.Execute(request);
  answer.data.resize(answer.result.returned);
  return answer;
}

// CHECK CONDITION with ILLEGAL REQUEST and that additional sense.
inline bool IsRefused(const Answer& answer, uint8_t asc, uint8_t ascq = 0) {
  const auto& sense = answer.result.sense;
  return answer.result.outcome == emulator::Outcome::kCheckCondition && (sense[2] & 0x0F) == 5 && sense[12] == asc &&
         sense[13] == ascq;
}

// A ten-byte CDB with the given bytes 3-5 (qualifier, offset or value fields).
inline Bytes Cdb10At(uint8_t opcode, uint8_t type, uint32_t length, uint8_t b3, uint8_t b4, uint8_t b5) {
  Bytes cdb = Cdb10(opcode, type, length);
  cdb[3] = b3;
  cdb[4] = b4;
  cdb[5] = b5;
  return cdb;
}

inline Bytes SenseBytes(uint8_t key, uint8_t asc, uint8_t ascq) {
  Bytes b(14, 0);
  b[0] = 0x70;
  b[2] = key;
  b[7] = 10;
  b[12] = asc;
  b[13] = ascq;
  return b;
}

inline aspi::SRB_ExecSCSICmd ExecBlock(uint8_t ha, uint8_t target, const Bytes& cdb, uint8_t flags, uint8_t* data,
                                       platform::DWORD length) {
  aspi::SRB_ExecSCSICmd srb{};
  srb.SRB_Cmd = aspi::SC_EXEC_SCSI_CMD;
  srb.SRB_HaId = ha;
  srb.SRB_Target = target;
  srb.SRB_Flags = flags;
  srb.SRB_BufLen = length;
  srb.SRB_BufPointer = data;
  srb.SRB_SenseLen = 14;
  srb.SRB_CDBLen = static_cast<uint8_t>(cdb.size());
  std::copy(cdb.begin(), cdb.end(), srb.CDBByte);
  return srb;
}

// The usual bus of the tests: a USB still-image scanner and an ASPI scanner at 0:3.
struct TwoScanners {
  TwoScanners() {
    emulator::BusBuilder builder;
    builder.Device("usb").Product("DE-T4783Z").OnStiUsb(1, u"{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0003");
    builder.Device("scsi").Vendor("Q.M.X.").Product("DE-T9793").OnAspi(0, 3);
    bus = builder.Build();
    usb = bus->Find("usb");
    scsi = bus->Find("scsi");
  }
  std::shared_ptr<emulator::Bus> bus;
  std::shared_ptr<emulator::EmulatedDevice> usb;
  std::shared_ptr<emulator::EmulatedDevice> scsi;
};

inline std::shared_ptr<sti::StillImage> StillImageOf(const std::shared_ptr<emulator::Bus>& bus) {
  std::shared_ptr<sti::StillImage> still;
  EXPECT_EQ(emulator::MakeStiLibrary(bus)->StiCreateInstance(nullptr, sti::STI_VERSION, &still), platform::S_OK);
  return still;
}

inline std::shared_ptr<sti::StiDevice> OpenDevice(const std::shared_ptr<emulator::Bus>& bus,
                                                  const emulator::EmulatedDevice& device) {
  std::shared_ptr<sti::StiDevice> handle;
  EXPECT_EQ(StillImageOf(bus)->CreateDevice(device.attachment().sti->internal_name, sti::STI_DEVICE_CREATE_STATUS,
                                            &handle),
            platform::S_OK);
  return handle;
}

}  // namespace emutest
