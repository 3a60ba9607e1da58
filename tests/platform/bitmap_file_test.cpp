// Bitmap files: the depths and headers we draw, and hostile bytes refused.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/bitmap_file.h"
#include "platform/bytes.h"

namespace platform {
namespace {

using Bytes = std::vector<uint8_t>;

// A file with an info header of header_bytes, the palette and the given rows (bottom-up
// unless the height is negative).
Bytes MakeBitmap(int width, int height, int bits, const Bytes& palette, const Bytes& pixels,
                 uint32_t compression = 0, uint32_t header_bytes = 40, const Bytes& masks = {}) {
  Bytes file(14 + header_bytes, 0);
  file[0] = 'B', file[1] = 'M';
  bytes::PutLE32(&file[14], header_bytes);
  bytes::PutLE32(&file[18], static_cast<uint32_t>(width));
  bytes::PutLE32(&file[22], static_cast<uint32_t>(height));
  bytes::PutLE16(&file[26], 1);
  bytes::PutLE16(&file[28], static_cast<uint32_t>(bits));
  bytes::PutLE32(&file[30], compression);
  file.insert(file.end(), masks.begin(), masks.end());
  file.insert(file.end(), palette.begin(), palette.end());
  bytes::PutLE32(&file[10], static_cast<uint32_t>(file.size()));
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

std::optional<DecodedBitmap> Decode(const Bytes& file) { return DecodeBitmapFile(file); }

TEST(BitmapFile, DepthsAndRowOrder) {
  // 24 bits, 2 x 2, bottom-up: the first row in the file is the bottom one.
  const Bytes rgb24 = {0, 0, 255, 0, 255, 0, 0, 0, /**/ 255, 0, 0, 255, 255, 255, 0, 0};
  auto bottom_up = Decode(MakeBitmap(2, 2, 24, {}, rgb24));
  ASSERT_TRUE(bottom_up);
  EXPECT_EQ(bottom_up->pixels, (std::vector<uint32_t>{0xFF0000FF, 0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00}));
  auto top_down = Decode(MakeBitmap(2, -2, 24, {}, rgb24));
  ASSERT_TRUE(top_down);
  EXPECT_EQ(top_down->pixels[0], 0xFFFF0000u);

  // 1 bit with a two-colour table; an index past a short table is black.
  const Bytes palette = {0, 0, 0, 0, 255, 255, 255, 0};
  auto mono = Decode(MakeBitmap(3, 1, 1, palette, {0xA0, 0, 0, 0}));
  ASSERT_TRUE(mono);
  EXPECT_EQ(mono->pixels, (std::vector<uint32_t>{0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}));
  Bytes short_table = MakeBitmap(2, 1, 4, {0, 0, 255, 0}, {0x01, 0, 0, 0});
  bytes::PutLE32(&short_table[46], 1);  // one colour used
  bytes::PutLE32(&short_table[10], 14 + 40 + 4);
  auto four = Decode(short_table);
  ASSERT_TRUE(four);
  EXPECT_EQ(four->pixels, (std::vector<uint32_t>{0xFFFF0000, 0xFF000000}));

  // 16 bits 5-6-5 through bit-field masks, 32 bits plain.
  const Bytes masks = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
  auto rgb565 = Decode(MakeBitmap(1, 1, 16, {}, {0x00, 0xF8, 0, 0}, 3, 40, masks));
  ASSERT_TRUE(rgb565);
  EXPECT_EQ(rgb565->pixels[0], 0xFFFF0000u);
  auto rgb32 = Decode(MakeBitmap(1, 1, 32, {}, {0x10, 0x20, 0x30, 0x99}));
  ASSERT_TRUE(rgb32);
  EXPECT_EQ(rgb32->pixels[0], 0xFF302010u);
}

TEST(BitmapFile, HostileHeadersAreRefused) {
  const Bytes good = MakeBitmap(2, 2, 24, {}, Bytes(16, 0x7F));
  ASSERT_TRUE(Decode(good));
  struct Case {
    const char* what;
    size_t offset;
    uint32_t value;
    int width;  // 1, 2 or 4 bytes
  } cases[] = {
      {"signature", 0, 'X', 1},        {"header size", 14, 41 + 200, 4}, {"zero width", 18, 0, 4},
      {"negative width", 18, 0xFFFFFFFE, 4}, {"huge width", 18, 0x7FFFFFFF, 4}, {"height INT_MIN", 22, 0x80000000, 4},
      {"huge area", 18, 16384, 4},     {"planes", 26, 2, 2},            {"depth", 28, 7, 2},
      {"compression", 30, 1, 4},       {"bit fields on 24 bits", 30, 3, 4}, {"pixels past the end", 10, 60, 4},
      {"pixels inside the header", 10, 20, 4},
  };
  for (const Case& c : cases) {
    Bytes file = good;
    if (c.width == 1) file[c.offset] = static_cast<uint8_t>(c.value);
    if (c.width == 2) bytes::PutLE16(&file[c.offset], c.value);
    if (c.width == 4) bytes::PutLE32(&file[c.offset], c.value);
    EXPECT_FALSE(Decode(file)) << c.what;
  }
  // Every truncation of a good file is refused, none read past its end.
  for (size_t size = 0; size < good.size(); ++size) EXPECT_FALSE(Decode(Bytes(good.begin(), good.begin() + size))) << size;
  // A palette that claims more colours than the file holds.
  Bytes palette_file = MakeBitmap(1, 1, 8, Bytes(8, 0), {0, 0, 0, 0});
  bytes::PutLE32(&palette_file[46], 200);
  EXPECT_FALSE(Decode(palette_file));
}

TEST(BitmapFile, RandomBytesNeverCrash) {
  std::mt19937 random(11);
  const Bytes seed = MakeBitmap(3, 3, 8, Bytes(1024, 0x40), Bytes(12, 0x05));
  for (int round = 0; round < 2000; ++round) {
    Bytes file = seed;
    for (int flips = 1 + static_cast<int>(random() % 6); flips > 0; --flips) file[random() % file.size()] = static_cast<uint8_t>(random());
    file.resize(random() % (file.size() + 1));
    if (auto bitmap = Decode(file)) {
      EXPECT_EQ(bitmap->pixels.size(), static_cast<size_t>(bitmap->width) * bitmap->height);
    }
  }
}

}  // namespace
}  // namespace platform
