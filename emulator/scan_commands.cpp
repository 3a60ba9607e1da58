// Scanning at its simplest: windows per side, a SCAN that needs paper, buffer
// status, image geometry, and a plain white page read in chunks that ends with
// end-of-medium and the residue. READ(10) also answers the configuration block.
#include <algorithm>

#include "emulator/command_handlers.h"
#include "platform/bytes.h"

namespace emulator {
namespace {

namespace bytes = platform::bytes;

constexpr uint32_t kSetWindowListLength = 72;
constexpr uint16_t kDescriptorLength = 64;
constexpr uint32_t kBufferStatusLength = 12;
constexpr uint32_t kImageInfoLength = 16;
constexpr uint32_t kScannerBuffer = 0x400000;  // 4 MiB of image memory
constexpr uint16_t kFrontQualifier = 0x00;
constexpr uint16_t kBackQualifier = 0x80;
constexpr uint8_t kBackWindow = 0x80;
constexpr uint32_t kUnitsPerInch = 1200;
constexpr uint8_t kAscNoPaper = 0x3A;

enum Side : size_t { kFront = 0, kBack = 1 };

struct Geometry {
  uint32_t pixels = 0;
  uint32_t lines = 0;
  uint32_t bits_per_pixel = 0;
  uint64_t Bytes() const { return (uint64_t{pixels} * bits_per_pixel + 7) / 8 * lines; }
};

using Descriptor = std::array<uint8_t, kWindowDescriptorSize>;

Geometry GeometryOf(const Descriptor& d) {
  const uint64_t x_resolution = bytes::GetBE16(&d[2]);
  const uint64_t y_resolution = bytes::GetBE16(&d[4]);
  Geometry g;
  g.pixels = static_cast<uint32_t>(bytes::GetBE32(&d[14]) * x_resolution / kUnitsPerInch);
  g.lines = static_cast<uint32_t>(bytes::GetBE32(&d[18]) * y_resolution / kUnitsPerInch);
  g.bits_per_pixel = d[26];
  return g;
}

bool ValidDescriptor(const Descriptor& d) {
  const uint8_t bits = d[26];
  return (d[0] == 0 || d[0] == kBackWindow) && bytes::GetBE16(&d[2]) != 0 && bytes::GetBE16(&d[4]) != 0 &&
         bytes::GetBE32(&d[14]) != 0 && bytes::GetBE32(&d[18]) != 0 &&
         (bits == 1 || bits == 4 || bits == 8 || bits == 24);
}

bool BytesClear(const uint8_t* cdb, std::initializer_list<int> positions) {
  return std::all_of(positions.begin(), positions.end(), [cdb](int i) { return cdb[i] == 0; });
}

// The side a qualifier names; nullopt for any other value.
std::optional<Side> SideOf(uint16_t qualifier) {
  if (qualifier == kFrontQualifier) return kFront;
  if (qualifier == kBackQualifier) return kBack;
  return std::nullopt;
}

std::optional<CommandAnswer> RefuseSide(const CommandContext& c, std::optional<Side> side) {
  if (!side) return Refuse(kAscInvalidFieldInCdb);
  if (*side == kBack && c.state.config.one_sided) return Refuse(kAscCommandSequence, kAscqNoBackUnit);
  return std::nullopt;
}

}  // namespace

CommandAnswer SetWindow(CommandContext& c, const CommandInput& in) {
  if (!BytesClear(in.cdb, {1, 2, 3, 4, 5, 9})) return Refuse(kAscInvalidFieldInCdb);
  const uint32_t length = TransferLength(in);
  if (length == 0) return {};  // no window: the ones set stay
  if (length != kSetWindowListLength) return Refuse(kAscInvalidFieldInCdb);
  const std::vector<uint8_t> list = DataOut(in, kSetWindowListLength);
  Descriptor descriptor;
  std::copy_n(list.begin() + 8, descriptor.size(), descriptor.begin());
  if (bytes::GetBE16(&list[6]) != kDescriptorLength || !ValidDescriptor(descriptor))
    return Refuse(kAscInvalidFieldInParameters);
  const Side side = descriptor[0] == kBackWindow ? kBack : kFront;
  if (std::optional<CommandAnswer> refused = RefuseSide(c, side)) return *refused;
  c.state.scan.windows[side] = descriptor;
  c.state.scan.last_window = descriptor;
  return {};
}

CommandAnswer Scan(CommandContext& c, const CommandInput& in) {
  if (!BytesClear(in.cdb, {1, 2, 3, 4, 5})) return Refuse(kAscInvalidFieldInCdb);
  ScanState& scan = c.state.scan;
  if (!scan.paper_loaded) return {0, Sense{kSenseMediumError, kAscNoPaper, 0, 0, false, false}};
  if (!scan.windows[kFront]) return Refuse(kAscCommandSequence);
  for (size_t side : {kFront, kBack})
    scan.remaining[side] = scan.windows[side] ? GeometryOf(*scan.windows[side]).Bytes() : 0;
  scan.page_started = true;
  ++scan.scans;
  return {};
}

CommandAnswer GetDataBufferStatus(CommandContext& c, const CommandInput& in) {
  if (!BytesClear(in.cdb, {1, 2, 3, 4, 5, 9}) || TransferLength(in) != kBufferStatusLength)
    return Refuse(kAscInvalidFieldInCdb);
  const ScanState& scan = c.state.scan;
  const uint64_t waiting = scan.page_started ? scan.remaining[kFront] + scan.remaining[kBack] : 0;
  const uint32_t filled = static_cast<uint32_t>(std::min<uint64_t>(waiting, kScannerBuffer));
  Block out(kBufferStatusLength);
  bytes::PutBE24(&out[0], kBufferStatusLength - 3);  // the bytes that follow
  bytes::PutBE24(&out[6], kScannerBuffer - filled);
  bytes::PutBE24(&out[9], filled);
  return Reply(in, out);
}

CommandAnswer ReadImageInfo(CommandContext& c, const CommandInput& in) {
  const std::optional<Side> side = SideOf(in.cdb[5]);
  if (std::optional<CommandAnswer> refused = RefuseSide(c, side)) return *refused;
  const auto& window = c.state.scan.windows[*side];
  const Geometry geometry = window ? GeometryOf(*window) : Geometry{};
  Block out(kImageInfoLength);
  bytes::PutBE32(&out[0], geometry.pixels);
  bytes::PutBE32(&out[4], geometry.lines);
  return Reply(in, out);
}

// White is 0xFF in gray and colour and clear bits in black and white.
CommandAnswer ReadImageData(CommandContext& c, const CommandInput& in) {
  const std::optional<Side> side = SideOf(bytes::GetBE16(in.cdb + 4));
  if (std::optional<CommandAnswer> refused = RefuseSide(c, side)) return *refused;
  ScanState& scan = c.state.scan;
  if (!scan.page_started || !scan.windows[*side]) return Refuse(kAscCommandSequence);
  const uint32_t wanted = TransferLength(in);
  uint64_t& remaining = scan.remaining[*side];
  const uint32_t sent = static_cast<uint32_t>(std::min<uint64_t>(wanted, remaining));
  remaining -= sent;
  const uint8_t white = scan.windows[*side]->at(26) == 1 ? 0x00 : 0xFF;
  const size_t placed = std::min<size_t>(sent, in.data_in.size());
  std::fill_n(in.data_in.begin(), placed, white);
  CommandAnswer answer{static_cast<uint32_t>(placed), std::nullopt};
  if (remaining == 0) {
    const uint32_t residue = wanted - sent;
    answer.sense = Sense{kSenseNoSense, 0, 0, residue, true, residue != 0};
  }
  return answer;
}

CommandAnswer ReadConfiguration(CommandContext& c, const CommandInput& in) {
  return Reply(in, ConfigurationBytes(c.state, c.profile.model_code));
}

}  // namespace emulator
