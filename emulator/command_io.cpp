// Moving answer and command data between the caller's buffers and the handlers.
#include <algorithm>

#include "emulator/command_handlers.h"
#include "platform/bytes.h"

namespace emulator {

uint32_t TransferLength(const CommandInput& input) { return platform::bytes::GetBE24(input.cdb + 6); }

uint32_t Transfer(std::span<uint8_t> in, size_t wanted, std::span<const uint8_t> block) {
  const size_t n = std::min(wanted, in.size());
  const size_t copied = std::min(n, block.size());
  std::copy_n(block.begin(), copied, in.begin());
  std::fill(in.begin() + static_cast<std::ptrdiff_t>(copied), in.begin() + static_cast<std::ptrdiff_t>(n), 0);
  return static_cast<uint32_t>(n);
}

CommandAnswer Reply(const CommandInput& input, std::span<const uint8_t> block) {
  return {Transfer(input.data_in, TransferLength(input), block), std::nullopt};
}

std::vector<uint8_t> DataOut(const CommandInput& input, size_t at_least) {
  const size_t length = TransferLength(input);
  std::vector<uint8_t> data(std::max(length, at_least));
  std::copy_n(input.data_out.begin(), std::min(length, input.data_out.size()), data.begin());
  return data;
}

std::optional<uint32_t> FlashIndex(const CommandContext& context, const CommandInput& input) {
  const uint64_t address = platform::bytes::GetBE24(input.cdb + 3);
  const uint64_t base = context.profile.flash_base;
  if (address < base || address + TransferLength(input) > base + context.state.flash.size()) return std::nullopt;
  return static_cast<uint32_t>(address - base);
}

}  // namespace emulator
