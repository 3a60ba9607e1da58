#include <gtest/gtest.h>

#include "scanner/window_record.h"

namespace scanner {
namespace {

TEST(WindowListTest, EveryFieldLandsAtItsByte) {
  WindowRecord w;
  w.identifier = 0x80;
  w.x_resolution = 0x0258;
  w.y_resolution = 0x012C;
  w.upper_left_x = 0x01020304;
  w.upper_left_y = 0x05060708;
  w.width = 0x090A0B0C;
  w.length = 0x0D0E0F10;
  w.brightness = 0x11;
  w.threshold = 0x12;
  w.contrast = 0x13;
  w.image_composition = 0x14;
  w.bits_per_pixel = 0x15;
  w.halftone_pattern = 0x1617;
  w.padding_type = 0x18;
  w.bit_ordering = 0x191A;
  w.compression_type = 0x1B;
  w.compression_argument = 0x1C;
  for (int i = 0; i < 5; ++i) w.vendor_bytes[i] = static_cast<uint8_t>(0x21 + i);
  w.vendor_byte = 0x26;
  w.vendor_value1 = 0x2728292A;
  w.vendor_value2 = 0x2B2C2D2E;
  for (int i = 0; i < 8; ++i) w.vendor_tail[i] = static_cast<uint8_t>(0x31 + i);

  uint8_t list[kSetWindowListLength];
  EncodeWindowList(w, list);
  const uint8_t expected[kSetWindowListLength] = {
      0, 0, 0, 0, 0, 0, 0x00, 0x40,                          // header, descriptor length 64
      0x80, 0, 0x02, 0x58, 0x01, 0x2C,                       // id, 0, resolutions
      0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,        // upper left x, y
      0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10,        // width, length
      0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18,        // brightness .. padding
      0x19, 0x1A, 0x1B, 0x1C,                                // bit ordering, compression
      0, 0, 0, 0, 0, 0, 0,                                   // descriptor bytes 34-40
      0x21, 0x22, 0x23, 0x24, 0x25, 0, 0x26,                 // vendor bytes, 0, vendor byte
      0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E,        // vendor values
      0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38};       // vendor tail
  for (size_t i = 0; i < kSetWindowListLength; ++i) EXPECT_EQ(list[i], expected[i]) << "byte " << i;
}

}  // namespace
}  // namespace scanner
