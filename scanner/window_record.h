// The scan window the service scan fills and SET WINDOW sends.
#pragma once
#include <cstdint>

namespace scanner {

struct WindowRecord {
  uint8_t identifier = 0;
  uint16_t x_resolution = 0;
  uint16_t y_resolution = 0;
  uint32_t upper_left_x = 0;
  uint32_t upper_left_y = 0;
  uint32_t width = 0;
  uint32_t length = 0;
  uint8_t brightness = 0;
  uint8_t threshold = 0;
  uint8_t contrast = 0;
  uint8_t image_composition = 0;
  uint8_t bits_per_pixel = 0;
  uint16_t halftone_pattern = 0;
  uint8_t padding_type = 0;
  uint16_t bit_ordering = 0;
  uint8_t compression_type = 0;
  uint8_t compression_argument = 0;
  uint8_t vendor_bytes[5] = {};  // descriptor bytes 41-45
  uint8_t vendor_byte = 0;       // descriptor byte 47
  uint32_t vendor_value1 = 0;    // descriptor bytes 48-51
  uint32_t vendor_value2 = 0;    // descriptor bytes 52-55
  uint8_t vendor_tail[8] = {};   // descriptor bytes 56-63
};

constexpr uint32_t kSetWindowListLength = 72;

// The 72-byte SET WINDOW parameter list: an 8-byte header and one window descriptor.
void EncodeWindowList(const WindowRecord& window, uint8_t (&list)[kSetWindowListLength]);

}  // namespace scanner
