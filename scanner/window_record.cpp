#include "scanner/window_record.h"

#include <cstring>

#include "platform/bytes.h"

namespace scanner {

void EncodeWindowList(const WindowRecord& w, uint8_t (&list)[kSetWindowListLength]) {
  using namespace platform::bytes;
  std::memset(list, 0, sizeof(list));
  PutBE16(list + 6, 64);
  uint8_t* d = list + 8;
  d[0] = w.identifier;
  PutBE16(d + 2, w.x_resolution);
  PutBE16(d + 4, w.y_resolution);
  PutBE32(d + 6, w.upper_left_x);
  PutBE32(d + 10, w.upper_left_y);
  PutBE32(d + 14, w.width);
  PutBE32(d + 18, w.length);
  d[22] = w.brightness;
  d[23] = w.threshold;
  d[24] = w.contrast;
  d[25] = w.image_composition;
  d[26] = w.bits_per_pixel;
  PutBE16(d + 27, w.halftone_pattern);
  d[29] = w.padding_type;
  PutBE16(d + 30, w.bit_ordering);
  d[32] = w.compression_type;
  d[33] = w.compression_argument;
  std::memcpy(d + 41, w.vendor_bytes, sizeof(w.vendor_bytes));
  d[47] = w.vendor_byte;
  PutBE32(d + 48, w.vendor_value1);
  PutBE32(d + 52, w.vendor_value2);
  std::memcpy(d + 56, w.vendor_tail, sizeof(w.vendor_tail));
}

}  // namespace scanner
