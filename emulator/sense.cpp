#include "emulator/sense.h"

#include "platform/bytes.h"

namespace emulator {

std::array<uint8_t, kSenseSize> EncodeSense(const Sense& sense) {
  std::array<uint8_t, kSenseSize> out{};
  out[0] = 0x70;
  out[2] = static_cast<uint8_t>((sense.key & 0x0F) | (sense.end_of_medium ? 0x40 : 0) |
                                (sense.incorrect_length ? 0x20 : 0));
  platform::bytes::PutBE32(&out[3], sense.information);
  out[7] = kSenseSize - 8;
  out[12] = sense.asc;
  out[13] = sense.ascq;
  return out;
}

}  // namespace emulator
