// The flatbed unit behind a scanner of the flatbed-capable family (E8 reads, E9
// writes), or a flatbed unit on its own answering for itself.
#include "emulator/command_handlers.h"

namespace emulator {
namespace {

constexpr uint32_t kOptionLength = 8;

bool Attached(const CommandContext& c) { return c.state.flatbed.attached; }
CommandAnswer NotAttached() { return Refuse(kAscCommandSequence, kAscqNoFlatbed); }

}  // namespace

CommandAnswer ReadFlatbedStatus(CommandContext& c, const CommandInput& in) {
  if (!Attached(c)) return NotAttached();
  return Reply(in, StatusBlockBytes(c.state.flatbed.status));
}

CommandAnswer ReadFlatbedSleep(CommandContext& c, const CommandInput& in) {
  if (!Attached(c)) return NotAttached();
  const uint8_t block[2] = {0, c.state.flatbed.sleep_minutes};
  return Reply(in, block);
}

CommandAnswer ReadFlatbedOption(CommandContext& c, const CommandInput& in) {
  if (!Attached(c)) return NotAttached();
  return Reply(in, PrefixBytes(&c.state.flatbed.option, 1, kOptionLength));
}

CommandAnswer WriteFlatbedSleep(CommandContext& c, const CommandInput& in) {
  if (!Attached(c)) return NotAttached();
  const std::vector<uint8_t> data = DataOut(in, 2);
  if (data[0] != 0) return Refuse(kAscInvalidFieldInParameters);
  c.state.flatbed.sleep_minutes = data[1];
  return {};
}

}  // namespace emulator
