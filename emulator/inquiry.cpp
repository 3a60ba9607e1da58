#include "emulator/device_setup.h"

#include <algorithm>

namespace emulator {
namespace {

void PutPadded(uint8_t* field, size_t width, const std::string& text) {
  std::fill(field, field + width, ' ');
  std::copy_n(text.begin(), std::min(width, text.size()), field);
}

}  // namespace

std::array<uint8_t, kInquirySize> BuildInquiry(const Identity& identity) {
  std::array<uint8_t, kInquirySize> out{};
  out[0] = identity.peripheral_type & 0x1F;
  out[2] = 0x02;  // SCSI-2
  out[3] = 0x02;  // response data format
  out[4] = kInquirySize - 5;
  PutPadded(&out[8], 8, identity.vendor);
  PutPadded(&out[16], 16, identity.product);
  PutPadded(&out[32], 4, identity.revision);
  return out;
}

}  // namespace emulator
