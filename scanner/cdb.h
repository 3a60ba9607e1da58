// One builder per command block form of the scanner's wire protocol. Each clears
// the command layer's request block, fills it, runs it and returns the result code.
// The host-adapter and target ids are carried along; the transport uses the device
// record's instead.
#pragma once
#include <cstdint>

#include "device/request_block.h"
#include "scanner/window_record.h"

namespace scanner::cdb {

using device::ScsiRequestBlock;
using scanner::WindowRecord;

// The command layer's one request block: requests run strictly one at a time.
ScsiRequestBlock& CommandBlock();

struct DataBufferStatus {
  uint32_t data_length = 0;
  uint8_t block_flag = 0;
  uint32_t available = 0;
  uint32_t filled = 0;
};

struct ImageGeometry {
  uint32_t first = 0;   // answer bytes 0-3
  uint32_t second = 0;  // answer bytes 4-7
};

constexpr uint32_t kInquiryLength = 96;
constexpr uint32_t kDataBufferStatusLength = 12;
constexpr uint32_t kImageGeometryLength = 16;
constexpr uint32_t kType93Length = 32;

uint16_t TestUnitReady(uint8_t ha, uint8_t target);
uint16_t Inquiry(uint8_t ha, uint8_t target, uint8_t* data);
uint16_t Scan(uint8_t ha, uint8_t target);
// Without a window record the command carries length 0 and no data.
uint16_t SetWindow(uint8_t ha, uint8_t target, const WindowRecord* window);
// Decodes the answer into status only when the result is 0.
uint16_t GetDataBufferStatus(uint8_t ha, uint8_t target, DataBufferStatus& status);
// READ(10) of image data; qualifier goes into CDB bytes 4-5.
uint16_t ReadImageData(uint8_t ha, uint8_t target, uint16_t qualifier, uint8_t* data, uint32_t length);
// READ(10) type 0x80; decodes into geometry only when the result is 0.
uint16_t ReadImageGeometry(uint8_t ha, uint8_t target, uint8_t qualifier, ImageGeometry& geometry);
uint16_t ReadType93(uint8_t ha, uint8_t target, uint8_t* data);

uint16_t VendorRead(uint8_t ha, uint8_t target, uint8_t type, uint8_t* data, uint32_t length);
uint16_t VendorReadQualified(uint8_t ha, uint8_t target, uint8_t type, uint8_t qualifier, uint8_t* data,
                             uint32_t length);
uint16_t VendorReadFlash(uint8_t ha, uint8_t target, uint32_t offset, uint8_t* data, uint32_t length);
uint16_t VendorWrite(uint8_t ha, uint8_t target, uint8_t type, const uint8_t* data, uint32_t length);
uint16_t VendorWriteParameter(uint8_t ha, uint8_t target, uint8_t type, uint32_t value);
uint16_t VendorWriteFlash(uint8_t ha, uint8_t target, uint32_t offset, const uint8_t* data, uint32_t length);
uint16_t FlatbedRead(uint8_t ha, uint8_t target, uint8_t type, uint8_t* data, uint32_t length);
uint16_t FlatbedWrite(uint8_t ha, uint8_t target, uint8_t type, const uint8_t* data, uint32_t length);

}  // namespace scanner::cdb
