#include "emulator/state_blocks.h"

#include <algorithm>
#include <span>

#include "emulator/model_table.h"
#include "platform/bytes.h"

namespace emulator {
namespace {

namespace bytes = platform::bytes;

void PutText(uint8_t* at, const std::string& text, size_t width) {
  if (text.empty()) return;  // absent: zeros
  std::fill(at, at + width, ' ');
  std::copy_n(text.begin(), std::min(width, text.size()), at);
}

bool OneOf(uint8_t m, std::initializer_list<uint8_t> codes) {
  return std::find(codes.begin(), codes.end(), LayoutCode(m)) != codes.end();
}

// Where a layout puts the position values: P1-P11 are fields 0-10, X1-X4 11-14.
struct Place {
  uint8_t offset;
  uint8_t field;
};
constexpr uint8_t P(int n) { return static_cast<uint8_t>(n - 1); }
constexpr uint8_t X(int n) { return static_cast<uint8_t>(10 + n); }

constexpr Place kFirstFive[] = {{0, P(1)}, {1, P(2)}, {2, P(3)}, {3, P(4)}, {4, P(5)}};
constexpr Place kProductionPlaces[] = {{5, P(11)}, {6, P(9)}, {7, P(10)}, {10, X(1)}, {11, X(4)}};
constexpr Place kWidePlaces[] = {{10, X(1)}, {12, X(2)}, {14, X(3)}};
constexpr Place kWideFlatbedPlaces[] = {{5, P(11)}, {6, P(9)}, {7, P(10)}, {11, X(4)}};
constexpr Place kTwoLampPlaces[] = {{8, P(6)}, {9, P(7)}, {10, X(1)}, {12, P(8)}};
constexpr Place kCompactPlaces[] = {{5, P(6)}, {6, P(7)}, {7, P(8)}};
constexpr Place kCompactSensorPlaces[] = {{8, X(1)}};
constexpr Place kEarlySensorPlaces[] = {{5, X(1)}};

std::vector<std::span<const Place>> PositionLayout(uint8_t m) {
  std::vector<std::span<const Place>> layout = {kFirstFive};
  if (IsProduction(m)) {
    layout.push_back(kProductionPlaces);
  } else if (OneOf(m, {22, 23})) {
    layout.push_back(kTwoLampPlaces);
  } else if (IsWideBody(m)) {
    layout.push_back(kWidePlaces);
    if (OneOf(m, {13, 28, 29})) layout.push_back(kWideFlatbedPlaces);
  } else if (IsCompact(m)) {
    layout.push_back(kCompactPlaces);
    if (!OneOf(m, {37, 38})) layout.push_back(kCompactSensorPlaces);
  } else if (OneOf(m, {5, 6, 8, 10})) {
    layout.push_back(kEarlySensorPlaces);
  }
  return layout;
}

uint8_t PositionField(const PositionValues& values, uint8_t field) {
  return field < values.p.size() ? static_cast<uint8_t>(values.p[field]) : values.x[field - values.p.size()];
}

// Where a layout puts the board members.
struct BoardPlace {
  uint8_t offset;
  uint8_t BoardInfo::*member;
};
using B = BoardInfo;
constexpr BoardPlace kProductionBoard[] = {
    {0, &B::terminator},   {2, &B::control},     {3, &B::interface_board}, {4, &B::drive},          {8, &B::gate_array1},
    {9, &B::gate_array2},  {10, &B::gate_array3}, {12, &B::firmware_revision}, {13, &B::second_revision}};
constexpr BoardPlace kWideBoard[] = {
    {2, &B::control},           {4, &B::drive},        {7, &B::gate_array3},         {8, &B::gate_array1},
    {9, &B::gate_array1_second}, {10, &B::gate_array2}, {11, &B::gate_array2_second}, {12, &B::firmware_revision},
    {13, &B::second_revision}};
constexpr BoardPlace kWideInterfaceBoard[] = {{3, &B::interface_board}};
constexpr BoardPlace kWideExtraBoards[] = {{5, &B::extra1}, {6, &B::extra2}};
constexpr BoardPlace kInterfaceBoardRevisions[] = {
    {12, &B::firmware_revision}, {13, &B::second_revision}, {14, &B::third_revision}};
constexpr BoardPlace kLongBoard[] = {
    {2, &B::control}, {8, &B::gate_array1}, {12, &B::firmware_revision}, {13, &B::second_revision}};
constexpr BoardPlace kShortBoard[] = {
    {0, &B::terminator}, {1, &B::control}, {2, &B::gate_array1}, {3, &B::firmware_revision}};

std::vector<std::span<const BoardPlace>> BoardLayout(uint8_t m, uint32_t length) {
  if (length < 16) return {kShortBoard};
  if (IsProduction(m)) return {kProductionBoard};
  if (IsWideBody(m)) {
    std::vector<std::span<const BoardPlace>> layout = {kWideBoard};
    if (OneOf(m, {13, 28, 29})) layout.push_back(kWideInterfaceBoard);
    if (OneOf(m, {22, 23})) layout.push_back(kWideExtraBoards);
    return layout;
  }
  if (IsInterfaceBoard(m)) return {kInterfaceBoardRevisions};
  return {kLongBoard};
}

}  // namespace

Block StatusBlockBytes(const StatusBlock& status) {
  Block out(12);
  out[0] = status.state;
  std::copy(status.bytes.begin(), status.bytes.end(), out.begin() + 4);
  bytes::PutBE32(&out[8], status.code);
  return out;
}

uint8_t RollerCaution(uint32_t count, uint32_t threshold) {
  if (count >= threshold) return 100;  // compared as the utility compares its counter record
  return static_cast<uint8_t>(uint64_t{count} * 100 / threshold);
}

CautionReport CautionReportOf(const Cautions& caution, const Counters& counters) {
  CautionReport report{};
  report[0] = caution.clean_roller.value_or(RollerCaution(counters.after_clean, counters.clean_threshold));
  report[1] = caution.replace_roller.value_or(RollerCaution(counters.after_replace, counters.replace_threshold));
  std::copy(caution.lamps_plates.begin(), caution.lamps_plates.end(), report.begin() + 2);
  return report;
}

Cautions ForcedCautions(const CautionReport& report) {
  Cautions caution{report[0], report[1], {}};
  std::copy(report.begin() + 2, report.end(), caution.lamps_plates.begin());
  return caution;
}

Block CautionReportBytes(const CautionReport& report) { return PrefixBytes(report.data(), report.size(), 12); }

Block SystemCounterBytes(const Counters& counters, uint32_t length) {
  Block out(length >= 20 ? 20 : 14);
  bytes::PutBE32(&out[0], counters.system);
  if (out.size() >= 20) bytes::PutBE32(&out[16], counters.flatbed);
  return out;
}

Block RollerCounterBytes(const Counters& counters, uint32_t length) {
  Block out(length >= 24 ? 24 : 16);
  bytes::PutBE32(&out[0], counters.after_clean);
  bytes::PutBE32(&out[4], counters.after_replace);
  bytes::PutBE32(&out[8], counters.clean_threshold);
  bytes::PutBE32(&out[12], counters.replace_threshold);
  if (out.size() >= 24) {
    bytes::PutBE32(&out[16], counters.paper_feed);
    bytes::PutBE32(&out[20], counters.paper_feed_threshold);
  }
  return out;
}

Block SleepBytes(const SleepSetting& sleep, uint32_t length) {
  Block out(length >= 4 ? 4 : 2);
  out[1] = sleep.sleep_minutes;
  if (out.size() >= 4) out[3] = sleep.power_off_minutes;
  return out;
}

Block VersionBytes(const Versions& versions, uint32_t length) {
  Block out(length >= 28 ? 28 : 24);
  PutText(&out[0], versions.second, 4);
  PutText(&out[4], versions.firmware, 4);
  if (out.size() < 28) PutText(&out[12], versions.third, 4);
  PutText(&out[16], versions.fifth, 4);
  PutText(&out[20], versions.fourth, 4);
  return out;
}

Block BoardInfoBytes(const BoardInfo& board, uint8_t model, uint32_t length) {
  Block out(length >= 16 ? 16 : 4);
  for (std::span<const BoardPlace> places : BoardLayout(model, length))
    for (const BoardPlace& place : places)
      out[place.offset] = board.*place.member;
  return out;
}

Block PositionBytes(const PositionValues& positions, uint8_t model) {
  Block out(16);
  for (std::span<const Place> places : PositionLayout(model))
    for (const Place& place : places)
      out[place.offset] = PositionField(positions, place.field);
  return out;
}

Block TestSettingBytes(const TestSettings& s, uint32_t length) {
  Block out(length >= 18 ? 18 : 16);
  out[1] = s.mode;
  bytes::PutBE16(&out[2], s.resolution);
  out[4] = s.image_type;
  out[5] = s.speed;
  out[6] = s.paper_size;
  out[7] = s.length_control;
  out[8] = s.double_feed;
  out[9] = s.dropout;
  out[10] = s.sides;
  out[11] = s.imprinters;
  out[12] = s.interval_on;
  out[13] = s.interval_mm;
  bytes::PutBE16(&out[14], s.interval_ms);
  if (out.size() >= 18) out[16] = s.reduction;
  return out;
}

Block SensorLevelBytes(const Sensors& sensors, uint32_t length) {
  Block out(length >= 36 ? 36 : 18);
  if (out.size() >= 36) {
    std::copy_n(sensors.offsets_slices.begin(), 8, out.begin());
    std::copy_n(sensors.offsets_slices.begin() + 8, 8, out.begin() + 18);
    return out;
  }
  for (size_t i = 0; i < sensors.levels.size(); ++i) bytes::PutBE16(&out[2 * i], sensors.levels[i]);
  return out;
}

Block BentPaperBytes(const Sensors& sensors) {
  Block out(8);
  std::reverse_copy(sensors.bent_paper.begin(), sensors.bent_paper.end(), out.begin());  // value 6 first
  return out;
}

Block ConfigurationBytes(const ScannerState& state, uint8_t model) {
  const Configuration& c = state.config;
  Block out(32);
  out[0] = static_cast<uint8_t>((c.front_plate ? 0x80 : 0) | (c.back_plate ? 0x40 : 0) |
                                (state.flatbed.attached && IsFlatbedCapable(model) ? 0x20 : 0) |
                                (c.no_color_option ? 0x10 : 0) | (c.one_sided ? 0x08 : 0) |
                                (c.pre_imprinter ? 0x02 : 0) | (c.post_imprinter ? 0x01 : 0));
  bytes::PutBE16(&out[2], c.memory_mb);
  bytes::PutBE16(&out[16], c.back_memory_mb);
  out[24] = static_cast<uint8_t>((c.power_off ? 0x01 : 0) | (c.counter_setting ? 0x04 : 0));
  return out;
}

Block SpdBlockBytes(const std::array<uint8_t, kSpdSize>& spd) {
  Block out(2 + kSpdSize);
  bytes::PutBE16(&out[0], kSpdSize);
  std::copy(spd.begin(), spd.end(), out.begin() + 2);
  return out;
}

Block IdentityBytes(const std::string& text) {
  Block out(16, ' ');
  std::copy_n(text.begin(), std::min<size_t>(16, text.size()), out.begin());
  return out;
}

Block WordBytes(uint16_t value, uint32_t length) {
  Block out(std::max<uint32_t>(length, 2));
  bytes::PutBE16(&out[0], value);
  return out;
}

Block PrefixBytes(const uint8_t* data, size_t count, uint32_t length) {
  Block out(length);
  std::copy_n(data, std::min<size_t>(count, length), out.begin());
  return out;
}

}  // namespace emulator
