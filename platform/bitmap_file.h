// Device-independent bitmap files (.bmp), as LoadImage reads them from a file: the file
// header, a core (12-byte) or info header (40 bytes and its longer versions), an
// optional colour table and the pixel rows, bottom-up unless the height is negative.
// Depths 1, 4 and 8 (palette), 16, 24 and 32, uncompressed or with bit-field masks.
// Any bytes are accepted: a header that does not hold together, a size beyond the
// limits or pixel rows past the end of the data mean "not a bitmap".
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform {

// Larger bitmaps are refused, so a forged header cannot ask for gigabytes.
constexpr int kMaxBitmapSide = 16384;
constexpr size_t kMaxBitmapPixels = size_t{4096} * 4096;

struct BitmapLayout {
  int width = 0;
  int height = 0;  // positive
  bool top_down = false;
  int bits = 0;
  uint32_t compression = 0;
  size_t pixel_offset = 0;  // of the first row in the file
  size_t row_bytes = 0;     // padded to four bytes
  uint32_t masks[3] = {};   // red, green, blue for 16 and 32 bits
  std::vector<uint32_t> palette;  // 0x00RRGGBB
};

// The layout when the bytes begin a bitmap whose rows all lie inside them.
std::optional<BitmapLayout> ReadBitmapLayout(std::span<const uint8_t> file);

// Writes the pixels as 0xFFRRGGBB, row by row from the top, `stride` pixels apart;
// dest holds at least stride * (height - 1) + width pixels. Palette indices past the
// table give black.
void DecodeBitmapPixels(std::span<const uint8_t> file, const BitmapLayout& layout, uint32_t* dest, size_t stride);

struct DecodedBitmap {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0xFFRRGGBB, top row first
};
// Both steps into a buffer of its own; nullopt for anything that is not a bitmap.
std::optional<DecodedBitmap> DecodeBitmapFile(std::span<const uint8_t> file);

}  // namespace platform
