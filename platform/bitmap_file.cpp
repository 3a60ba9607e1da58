#include "platform/bitmap_file.h"

#include <bit>
#include <limits>

#include "platform/bytes.h"

namespace platform {
namespace {

using bytes::GetLE16;
using bytes::GetLE32;

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kLongestHeaderBytes = 124;  // the fifth version
constexpr uint32_t kMasksInHeaderBytes = 52;   // from the second version on
constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_BITFIELDS = 3;

bool KnownDepth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

void DefaultMasks(BitmapLayout& layout) {
  if (layout.bits == 16) {
    layout.masks[0] = 0x7C00, layout.masks[1] = 0x03E0, layout.masks[2] = 0x001F;
  } else {
    layout.masks[0] = 0xFF0000, layout.masks[1] = 0x00FF00, layout.masks[2] = 0x0000FF;
  }
}

// One channel of a masked pixel, widened or narrowed to eight bits.
uint32_t Channel(uint32_t pixel, uint32_t mask) {
  if (!mask) return 0;
  const int shift = std::countr_zero(mask);
  const uint32_t value = (pixel & mask) >> shift;
  const int width = std::bit_width(mask >> shift);
  if (width >= 8) return (value >> (width - 8)) & 0xFF;
  return value * 255 / ((1u << width) - 1);
}

// Reads the header fields; false when they do not describe a bitmap we draw.
bool ReadHeader(std::span<const uint8_t> file, uint32_t header_bytes, BitmapLayout& layout, size_t& palette_at,
                size_t& palette_entry, uint32_t& colours_used) {
  const uint8_t* h = file.data() + kFileHeaderBytes;
  int64_t width = 0, height = 0;
  if (header_bytes == kCoreHeaderBytes) {
    width = GetLE16(h + 4), height = GetLE16(h + 6);
    if (GetLE16(h + 8) != 1) return false;
    layout.bits = GetLE16(h + 10);
    palette_entry = 3;
  } else {
    width = static_cast<int32_t>(GetLE32(h + 4)), height = static_cast<int32_t>(GetLE32(h + 8));
    if (GetLE16(h + 12) != 1) return false;
    layout.bits = GetLE16(h + 14);
    layout.compression = GetLE32(h + 16);
    colours_used = GetLE32(h + 32);
    palette_entry = 4;
  }
  palette_at = kFileHeaderBytes + header_bytes;
  if (height < 0) {
    if (header_bytes == kCoreHeaderBytes) return false;
    layout.top_down = true;
    height = -height;
  }
  if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) return false;
  if (static_cast<size_t>(width) * static_cast<size_t>(height) > kMaxBitmapPixels) return false;
  layout.width = static_cast<int>(width), layout.height = static_cast<int>(height);
  if (!KnownDepth(layout.bits)) return false;
  DefaultMasks(layout);
  if (layout.compression == BI_BITFIELDS) {
    if (layout.bits != 16 && layout.bits != 32) return false;
    // A plain info header has the masks after it; later versions hold them inside.
    const size_t masks_at = kFileHeaderBytes + kInfoHeaderBytes;
    if (file.size() < masks_at + 12) return false;
    for (int i = 0; i < 3; ++i) layout.masks[i] = GetLE32(file.data() + masks_at + 4 * i);
    if (header_bytes < kMasksInHeaderBytes) palette_at += 12;
  } else if (layout.compression != BI_RGB) {
    return false;
  }
  return true;
}

}  // namespace

std::optional<BitmapLayout> ReadBitmapLayout(std::span<const uint8_t> file) {
  if (file.size() < kFileHeaderBytes + 4 || file[0] != 'B' || file[1] != 'M') return std::nullopt;
  const uint32_t header_bytes = GetLE32(file.data() + kFileHeaderBytes);
  if (header_bytes != kCoreHeaderBytes && (header_bytes < kInfoHeaderBytes || header_bytes > kLongestHeaderBytes))
    return std::nullopt;
  if (file.size() < kFileHeaderBytes + header_bytes) return std::nullopt;
  BitmapLayout layout;
  size_t palette_at = 0, palette_entry = 0;
  uint32_t colours_used = 0;
  if (!ReadHeader(file, header_bytes, layout, palette_at, palette_entry, colours_used)) return std::nullopt;

  if (layout.bits <= 8) {
    const uint32_t full = 1u << layout.bits;
    const uint32_t count = colours_used == 0 || colours_used > full ? full : colours_used;
    if (palette_at > file.size() || (file.size() - palette_at) / palette_entry < count) return std::nullopt;
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* e = file.data() + palette_at + i * palette_entry;
      layout.palette.push_back(uint32_t{e[2]} << 16 | uint32_t{e[1]} << 8 | e[0]);
    }
  }

  layout.row_bytes = (static_cast<size_t>(layout.width) * layout.bits + 31) / 32 * 4;
  layout.pixel_offset = GetLE32(file.data() + 10);
  if (layout.pixel_offset < kFileHeaderBytes + header_bytes || layout.pixel_offset > file.size()) return std::nullopt;
  if ((file.size() - layout.pixel_offset) / layout.row_bytes < static_cast<size_t>(layout.height)) return std::nullopt;
  return layout;
}

void DecodeBitmapPixels(std::span<const uint8_t> file, const BitmapLayout& layout, uint32_t* dest, size_t stride) {
  const size_t palette_size = layout.palette.size();
  for (int y = 0; y < layout.height; ++y) {
    const int file_row = layout.top_down ? y : layout.height - 1 - y;
    const uint8_t* row = file.data() + layout.pixel_offset + static_cast<size_t>(file_row) * layout.row_bytes;
    uint32_t* out = dest + static_cast<size_t>(y) * stride;
    for (int x = 0; x < layout.width; ++x) {
      uint32_t rgb = 0;
      switch (layout.bits) {
        case 1: case 4: case 8: {
          const size_t bit = static_cast<size_t>(x) * layout.bits;
          const unsigned index = (row[bit / 8] >> (8 - layout.bits - bit % 8)) & ((1u << layout.bits) - 1);
          rgb = index < palette_size ? layout.palette[index] : 0;
          break;
        }
        case 16: case 32: {
          const uint32_t pixel = layout.bits == 16 ? GetLE16(row + 2 * x) : GetLE32(row + 4 * x);
          rgb = Channel(pixel, layout.masks[0]) << 16 | Channel(pixel, layout.masks[1]) << 8 | Channel(pixel, layout.masks[2]);
          break;
        }
        case 24: {
          const uint8_t* p = row + 3 * x;
          rgb = uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
          break;
        }
      }
      out[x] = 0xFF000000u | rgb;
    }
  }
}

std::optional<DecodedBitmap> DecodeBitmapFile(std::span<const uint8_t> file) {
  const std::optional<BitmapLayout> layout = ReadBitmapLayout(file);
  if (!layout) return std::nullopt;
  DecodedBitmap bitmap{layout->width, layout->height, {}};
  bitmap.pixels.resize(static_cast<size_t>(layout->width) * layout->height);
  DecodeBitmapPixels(file, *layout, bitmap.pixels.data(), static_cast<size_t>(layout->width));
  return bitmap;
}

}  // namespace platform
