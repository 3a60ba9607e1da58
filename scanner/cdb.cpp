#include "scanner/cdb.h"

#include <cstring>
#include <initializer_list>

#include "device/device_library.h"
#include "platform/bytes.h"

namespace scanner::cdb {
namespace {

namespace aspi = platform::aspi;
using platform::bytes::GetBE24;
using platform::bytes::GetBE32;
using platform::bytes::PutBE24;

constexpr uint8_t kIn = aspi::SRB_DIR_IN;
constexpr uint8_t kOut = aspi::SRB_DIR_OUT;

struct Cdb {
  uint8_t bytes[16] = {};
  uint8_t length = 10;
};

Cdb Six(std::initializer_list<uint8_t> b) {
  Cdb c;
  std::copy(b.begin(), b.end(), c.bytes);
  c.length = 6;
  return c;
}

// A 10-byte block: opcode, data type, bytes 3-5, and the 24-bit length in bytes 6-8.
Cdb Ten(uint8_t opcode, uint8_t type, uint32_t bytes3to5, uint32_t length) {
  Cdb c;
  c.bytes[0] = opcode;
  c.bytes[2] = type;
  PutBE24(c.bytes + 3, bytes3to5);
  PutBE24(c.bytes + 6, length);
  return c;
}

uint16_t Run(uint8_t ha, uint8_t target, const Cdb& cdb, uint8_t flags, const uint8_t* data, uint32_t length) {
  ScsiRequestBlock& block = CommandBlock();
  std::memset(&block, 0, sizeof(block));
  block.SRB_Cmd = aspi::SC_EXEC_SCSI_CMD;
  block.SRB_HaId = ha;
  block.SRB_Target = target;
  block.SRB_Flags = flags;
  block.SRB_BufLen = length;
  // The transports never write through an outgoing buffer.
  block.SRB_BufPointer = const_cast<uint8_t*>(data);
  block.SRB_SenseLen = device::kSenseLength;
  block.SRB_CDBLen = cdb.length;
  std::memcpy(block.CDBByte, cdb.bytes, sizeof(block.CDBByte));
  return device::ExecuteRequest(block);
}

}  // namespace

ScsiRequestBlock& CommandBlock() {
  static ScsiRequestBlock block{};
  return block;
}

uint16_t TestUnitReady(uint8_t ha, uint8_t target) { return Run(ha, target, Six({0x00}), kOut, nullptr, 0); }

uint16_t Inquiry(uint8_t ha, uint8_t target, uint8_t* data) {
  return Run(ha, target, Six({0x12, 0, 0, 0, kInquiryLength, 0}), kIn, data, kInquiryLength);
}

uint16_t Scan(uint8_t ha, uint8_t target) { return Run(ha, target, Six({0x1B}), kOut, nullptr, 0); }

uint16_t SetWindow(uint8_t ha, uint8_t target, const WindowRecord* window) {
  if (!window) return Run(ha, target, Ten(0x24, 0, 0, 0), kOut, nullptr, 0);
  uint8_t list[kSetWindowListLength];
  EncodeWindowList(*window, list);
  return Run(ha, target, Ten(0x24, 0, 0, kSetWindowListLength), kOut, list, kSetWindowListLength);
}

uint16_t GetDataBufferStatus(uint8_t ha, uint8_t target, DataBufferStatus& status) {
  uint8_t answer[kDataBufferStatusLength] = {};
  const uint16_t result = Run(ha, target, Ten(0x34, 0, 0, kDataBufferStatusLength), kIn, answer, sizeof(answer));
  if (result == 0) {
    status.data_length = GetBE24(answer);
    status.block_flag = answer[4];
    status.available = GetBE24(answer + 6);
    status.filled = GetBE24(answer + 9);
  }
  return result;
}

uint16_t ReadImageData(uint8_t ha, uint8_t target, uint16_t qualifier, uint8_t* data, uint32_t length) {
  return Run(ha, target, Ten(0x28, 0, qualifier, length), kIn, data, length);
}

uint16_t ReadImageGeometry(uint8_t ha, uint8_t target, uint8_t qualifier, ImageGeometry& geometry) {
  uint8_t answer[kImageGeometryLength] = {};
  const uint16_t result = Run(ha, target, Ten(0x28, 0x80, qualifier, kImageGeometryLength), kIn, answer, sizeof(answer));
  if (result == 0) {
    geometry.first = GetBE32(answer);
    geometry.second = GetBE32(answer + 4);
  }
  return result;
}

uint16_t ReadType93(uint8_t ha, uint8_t target, uint8_t* data) {
  return Run(ha, target, Ten(0x28, 0x93, 0, kType93Length), kIn, data, kType93Length);
}

uint16_t VendorRead(uint8_t ha, uint8_t target, uint8_t type, uint8_t* data, uint32_t length) {
  return Run(ha, target, Ten(0xE0, type, 0, length), kIn, data, length);
}

uint16_t VendorReadQualified(uint8_t ha, uint8_t target, uint8_t type, uint8_t qualifier, uint8_t* data,
                             uint32_t length) {
  return Run(ha, target, Ten(0xE0, type, uint32_t{qualifier} << 8, length), kIn, data, length);
}

uint16_t VendorReadFlash(uint8_t ha, uint8_t target, uint32_t offset, uint8_t* data, uint32_t length) {
  return Run(ha, target, Ten(0xE0, 0x96, offset, length), kIn, data, length);
}

uint16_t VendorWrite(uint8_t ha, uint8_t target, uint8_t type, const uint8_t* data, uint32_t length) {
  return Run(ha, target, Ten(0xE1, type, 0, length), kOut, data, length);
}

uint16_t VendorWriteParameter(uint8_t ha, uint8_t target, uint8_t type, uint32_t value) {
  return Run(ha, target, Ten(0xE1, type, value, 0), kOut, nullptr, 0);
}

uint16_t VendorWriteFlash(uint8_t ha, uint8_t target, uint32_t offset, const uint8_t* data, uint32_t length) {
  return Run(ha, target, Ten(0xE1, 0xA9, offset, length), kOut, data, length);
}

uint16_t FlatbedRead(uint8_t ha, uint8_t target, uint8_t type, uint8_t* data, uint32_t length) {
  return Run(ha, target, Ten(0xE8, type, 0, length), kIn, data, length);
}

uint16_t FlatbedWrite(uint8_t ha, uint8_t target, uint8_t type, const uint8_t* data, uint32_t length) {
  return Run(ha, target, Ten(0xE9, type, 0, length), kOut, data, length);
}

}  // namespace scanner::cdb
