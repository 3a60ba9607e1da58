// Vendor writes (E1): each checks what it was sent and changes the state, so later
// reads answer the new values.
#include <algorithm>

#include "emulator/command_handlers.h"
#include "emulator/model_table.h"
#include "platform/bytes.h"

namespace emulator {
namespace {

namespace bytes = platform::bytes;

constexpr uint8_t kShadingAdjustment = 0x80;
constexpr uint8_t kServiceStart = 0x80;
constexpr uint8_t kServiceOption = 0x40;
constexpr uint8_t kPaperModeSelector = 2;
constexpr uint8_t kClearAfterClean = 0x80;
constexpr uint8_t kClearAfterReplace = 0x40;
constexpr uint8_t kClearPaperFeed = 0x20;

const CommandAnswer kDone{};

CommandAnswer BadParameter() { return Refuse(kAscInvalidFieldInParameters); }

// The codes a scanner of each own type can present itself as; other types only
// keep what they present.
struct CompatibleChoices {
  uint8_t own;
  std::array<uint8_t, 5> codes;
};
constexpr CompatibleChoices kCompatibleChoices[] = {
    {16, {5, 9, 16}},
    {17, {2, 6, 16, 17}},
    {18, {3, 7, 16, 17, 18}},
};

bool MayPresent(const std::array<uint8_t, 2>& mode, uint8_t code) {
  if (code == mode[0] || code == mode[1]) return true;
  for (const CompatibleChoices& choices : kCompatibleChoices)
    if (choices.own == mode[0]) return std::find(choices.codes.begin(), choices.codes.end(), code) != choices.codes.end();
  return false;
}

}  // namespace

CommandAnswer StartAdjustment(CommandContext& c, const CommandInput& in) {
  const std::vector<uint8_t> data = DataOut(in, 2);
  if (data[0] != kShadingAdjustment) return BadParameter();
  c.state.adjustment = std::array<uint8_t, 2>{data[0], data[1]};
  ++c.state.adjustments;
  return kDone;
}

CommandAnswer SetServiceMode(CommandContext& c, const CommandInput& in) {
  const std::vector<uint8_t> data = DataOut(in, 2);
  ServiceMode& mode = c.state.service_mode;
  mode.active = (data[0] & kServiceStart) != 0;
  mode.mode = data[0] & 0x3F;
  mode.option = (data[0] & kServiceOption) != 0;
  mode.parameter = data[1];
  return kDone;
}

CommandAnswer WritePaperMode(CommandContext& c, const CommandInput& in) {
  const std::vector<uint8_t> data = DataOut(in, 2);
  if (data[1] != kPaperModeSelector || data[0] > 2) return BadParameter();  // 0 Letter, 1 and 2 A4
  c.state.paper_mode = data[0];
  return kDone;
}

CommandAnswer ClearCounter(CommandContext& c, const CommandInput& in) {
  const uint8_t selector = DataOut(in, 2)[0];
  const uint8_t known = kClearAfterClean | kClearAfterReplace | (IsCompact(c.profile.model_code) ? kClearPaperFeed : 0);
  if (selector == 0 || (selector & ~known) != 0) return BadParameter();
  Counters& counters = c.state.counters;
  if (selector & kClearAfterClean) counters.after_clean = 0;
  if (selector & kClearAfterReplace) counters.after_replace = 0;
  if (selector & kClearPaperFeed) counters.paper_feed = 0;
  return kDone;
}

CommandAnswer WriteThresholds(CommandContext& c, const CommandInput& in) {
  const std::vector<uint8_t> data = DataOut(in, 12);
  Counters& counters = c.state.counters;
  counters.clean_threshold = bytes::GetBE32(&data[0]);
  counters.replace_threshold = bytes::GetBE32(&data[4]);
  if (TransferLength(in) >= 12) counters.paper_feed_threshold = bytes::GetBE32(&data[8]);
  return kDone;
}

CommandAnswer WriteSleep(CommandContext& c, const CommandInput& in) {
  const std::vector<uint8_t> data = DataOut(in, 4);
  c.state.sleep.sleep_minutes = data[1];
  if (TransferLength(in) >= 4) c.state.sleep.power_off_minutes = data[3];
  return kDone;
}

CommandAnswer CleanImprinter(CommandContext& c, const CommandInput& in) {
  if (!c.state.config.pre_imprinter && !c.state.config.post_imprinter)
    return Refuse(kAscCommandSequence, kAscqNoImprinter);
  c.state.imprinter_cleaning_value = bytes::GetBE16(DataOut(in, 2).data());
  ++c.state.imprinter_cleanings;
  return kDone;
}

CommandAnswer WriteBuzzer(CommandContext& c, const CommandInput& in) {
  c.state.buzzer = DataOut(in, 2)[0];
  return kDone;
}

CommandAnswer WriteCompatibleMode(CommandContext& c, const CommandInput& in) {
  const std::vector<uint8_t> data = DataOut(in, 2);
  if (data[0] != 0 || !MayPresent(c.state.compatible_mode, data[1])) return BadParameter();
  c.state.compatible_mode[1] = data[1];
  return kDone;
}

CommandAnswer WriteShadingSource(CommandContext& c, const CommandInput& in) {
  const uint8_t source = DataOut(in, 2)[0];
  if (source > 1) return BadParameter();
  c.state.shading_source = source;
  return kDone;
}

CommandAnswer WriteFlash(CommandContext& c, const CommandInput& in) {
  const std::optional<uint32_t> index = FlashIndex(c, in);
  if (!index) return Refuse(kAscInvalidFieldInCdb);
  const std::vector<uint8_t> data = DataOut(in, 0);
  std::copy(data.begin(), data.end(), c.state.flash.writable().begin() + *index);
  return kDone;
}

CommandAnswer SetModeBits(CommandContext& c, const CommandInput& in) {
  const uint32_t value = bytes::GetBE24(in.cdb + 3);
  if (value > 1) return Refuse(kAscInvalidFieldInCdb);
  c.state.mode_bits = value;
  return kDone;
}

}  // namespace emulator
