#include "emulator/default_state.h"

#include <algorithm>
#include <initializer_list>
#include <numeric>

#include "emulator/model_table.h"
#include "platform/bytes.h"
#include "platform/format.h"

namespace emulator {
namespace {

bool OneOf(uint8_t m, std::initializer_list<uint8_t> codes) {
  return std::find(codes.begin(), codes.end(), LayoutCode(m)) != codes.end();
}

// Own type code and the code presented, as the firmware of each model ships. The
// models that switch identity (their drivers' older names) carry the code of their
// own type; codes 30 and 31 are the 28 and 29 of another label.
std::array<uint8_t, 2> CompatibleModeOf(uint8_t m) {
  struct Row {
    uint8_t model, code;
  };
  static constexpr Row kRows[] = {{12, 16}, {14, 17}, {16, 18}, {25, 16}, {26, 24}, {27, 25}, {28, 31},
                                  {29, 32}, {30, 31}, {31, 32}, {33, 21}, {34, 19}};
  for (const Row& row : kRows)
    if (row.model == m) return {row.code, row.code};
  return {0, 0};
}

Counters CountersOf(uint8_t m) {
  Counters c;
  c.system = 152340;
  c.flatbed = OneOf(m, {12, 13, 25, 28}) ? 3120 : 0;
  c.after_clean = 1520;
  c.after_replace = 48210;
  c.replace_threshold = 200000;
  if (OneOf(m, {37, 38, 39})) {
    c.clean_threshold = 1000;
  } else if (OneOf(m, {40, 41, 42, 43})) {
    c.clean_threshold = 5000;
  } else {
    c.clean_threshold = 10000;
  }
  if (OneOf(m, {37, 38})) {  // the paper feed roller is counted on these only
    c.paper_feed = 48210;
    c.paper_feed_threshold = 200000;
  }
  return c;
}

Configuration ConfigurationOf(uint8_t m) {
  Configuration c;
  if (OneOf(m, {13, 28, 29})) {
    c.memory_mb = 512;  // front and back together
    c.back_memory_mb = 256;
  } else if (IsWideBody(m)) {
    c.memory_mb = 512;  // split evenly
    c.back_memory_mb = 256;
  } else if (IsProduction(m)) {
    c.memory_mb = 256;
  } else if (IsInterfaceBoard(m)) {
    c.memory_mb = 128;
  } else if (IsCompact(m)) {
    c.memory_mb = 64;
  } else if (IsEarly(m)) {
    c.memory_mb = 32;
  }
  c.power_off = OneOf(m, {40, 41, 42, 43});
  c.counter_setting = OneOf(m, {5, 6}) || IsCompact(m);
  return c;
}

Versions VersionsOf(uint8_t m) {
  Versions v;
  v.firmware = m == kFlatbedUnitModel ? "1.02" : "1.05";
  if (IsInterfaceBoard(m)) {
    v.second = "0.90";  // boot firmware
    v.third = "2.10";   // mechanism control
  }
  return v;
}

BoardInfo BoardOf(uint8_t m) {
  BoardInfo b;
  b.control = 3;
  b.interface_board = 2;
  b.drive = 4;
  b.gate_array1 = 5;
  b.gate_array1_second = 2;
  b.gate_array2 = 6;
  b.gate_array2_second = 1;
  b.gate_array3 = 7;
  b.firmware_revision = 'A';
  b.second_revision = 'B';
  if (IsInterfaceBoard(m)) b.third_revision = 'C';
  if (OneOf(m, {22, 23})) b.extra1 = b.extra2 = 1;
  return b;
}

std::array<uint8_t, 4> IndividualSettingsOf(uint8_t m) {
  if (OneOf(m, {17, 18, 19, 20})) return {0, 0x28, 0x20, 0};  // delicate feed and double width offered
  if (OneOf(m, {13})) return {0, 0x18, 0x20, 0};
  if (IsWideBody(m)) return {0, 0x08, 0x20, 0};
  return {};
}

Sensors SensorsOf() {
  Sensors s;
  s.levels = {512, 300, 498, 310, 505, 295};
  s.offsets_slices = {40, 120, 38, 118, 42, 122, 41, 119, 39, 121, 40, 120, 37, 117, 43, 123};
  s.word_4b = 3;
  s.bent_paper = {150, 151, 152, 153, 154, 155};
  return s;
}

// Both halves hold mid-scale white coefficients (ten bits per channel, three to a
// little-endian word); layout 1 keeps a version byte at 0xFF01 of each half.
std::shared_ptr<const std::vector<uint8_t>> MakeFlash(bool version_bytes) {
  auto flash = std::make_shared<std::vector<uint8_t>>(kFlashSize);
  constexpr uint32_t kMidScale = 512u | 512u << 10 | 512u << 20;
  for (size_t i = 0; i + 4 <= flash->size(); i += 4) platform::bytes::PutLE32(&(*flash)[i], kMidScale);
  if (version_bytes)
    for (size_t half : {size_t{0}, size_t{kFlashSize / 2}}) (*flash)[half + 0xFF01] = 1;
  return flash;
}

// Built once: every device starts sharing them.
SharedBytes FlashOf(uint8_t m) {
  static const auto kLayout1 = MakeFlash(true);
  static const auto kOthers = MakeFlash(false);
  return SharedBytes(OneOf(m, {37, 38, 39}) ? kLayout1 : kOthers);
}

}  // namespace

std::array<uint8_t, kSpdSize> SpdForModule(uint16_t megabytes) {
  std::array<uint8_t, kSpdSize> spd{};
  if (megabytes == 0) return spd;
  static constexpr uint8_t kHead[] = {0x80, 0x08, 0x04, 0x0C, 0x09, 0x01, 0x40, 0x00, 0x01, 0x75, 0x54,
                                      0x00, 0x80, 0x08, 0x00, 0x01, 0x8F, 0x04, 0x06, 0x01, 0x01, 0x00,
                                      0x0E, 0xA0, 0x60, 0x00, 0x00, 0x14, 0x0F, 0x14, 0x2D};
  std::copy(std::begin(kHead), std::end(kHead), spd.begin());
  // Byte 31: one bit per row density, 4 MB (bit 0) to 512 MB (bit 7).
  for (int bit = 0; bit < 8; ++bit)
    if (megabytes == (4u << bit)) spd[31] = static_cast<uint8_t>(1u << bit);
  spd[62] = 0x12;  // SPD revision 1.2
  spd[63] = static_cast<uint8_t>(std::accumulate(spd.begin(), spd.begin() + 63, 0u));
  return spd;
}

ScannerState DefaultState(uint8_t m) {
  ScannerState s;
  s.counters = CountersOf(m);
  s.compatible_mode = CompatibleModeOf(m);
  s.individual_settings = IndividualSettingsOf(m);
  s.feed_speed = IsWideBody(m) ? 100 : 1200;  // percent on the wide-body models, PPS elsewhere
  s.positions.p = {12, -5, 8, -3, 15, 4, 6, 20, -2, 3, 10};
  s.positions.x = {128, 120, 132, 0};
  s.sensors = SensorsOf();
  s.identity_text = platform::Format("A%02u%013u", unsigned{m}, 104711u);
  s.versions = VersionsOf(m);
  s.board = BoardOf(m);
  s.config = ConfigurationOf(m);
  const uint16_t back = s.config.back_memory_mb;
  const uint16_t front = OneOf(m, {13, 28, 29}) ? static_cast<uint16_t>(s.config.memory_mb - back)
                         : back                 ? back
                                                : s.config.memory_mb;
  s.spd_front = SpdForModule(front);
  s.spd_back = SpdForModule(back);
  s.flash = FlashOf(m);
  s.flatbed.attached = m == kFlatbedUnitModel;  // the unit on its own is its own flatbed
  return s;
}

}  // namespace emulator
