// The one request record of the device library, its sense record and result codes.
#pragma once
#include <cstdint>

#include "platform/aspi/aspi.h"

namespace device {

// The ASPI execute-command block; the still-image transport fills the same fields.
using ScsiRequestBlock = platform::aspi::SRB_ExecSCSICmd;

constexpr uint8_t kSenseLength = 14;

struct SenseRecord {
  uint8_t end_of_medium = 0;     // 0 or 0x40
  uint8_t incorrect_length = 0;  // 0 or 0x20
  uint8_t sense_key = 0;
  uint8_t asc = 0;
  uint8_t ascq = 0;
  uint32_t information = 0;
  friend bool operator==(const SenseRecord&, const SenseRecord&) = default;
};

// Decodes the first 14 bytes of a fixed-format sense area.
SenseRecord DecodeSense(const uint8_t* sense_area);

// Result codes: 0 good, 0x00nn target status, 0x0100 + status not completed,
// 0x0200 + status sense available.
constexpr uint16_t kResultGood = 0x0000;
constexpr uint16_t kResultTransportError = 0x0104;
constexpr uint16_t kResultNoDevice = 0x0182;
constexpr uint16_t kResultBusy = 0x01E5;
constexpr bool HasSense(uint16_t result) { return (result & 0x0F00) == 0x0200; }

}  // namespace device
