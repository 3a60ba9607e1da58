#include "device/request_block.h"

#include "platform/bytes.h"

namespace device {

SenseRecord DecodeSense(const uint8_t* sense) {
  SenseRecord r;
  r.end_of_medium = sense[2] & 0x40;
  r.incorrect_length = sense[2] & 0x20;
  r.sense_key = sense[2] & 0x0F;
  r.asc = sense[12];
  r.ascq = sense[13];
  r.information = platform::bytes::GetBE32(sense + 3);
  return r;
}

}  // namespace device
