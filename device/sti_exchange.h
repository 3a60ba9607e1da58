// The still-image escape exchanges with the scanner's driver.
#pragma once
#include <cstdint>
#include <optional>

#include "device/request_block.h"
#include "platform/sti/sti.h"

namespace device {

// Which escape layout carries a command.
enum class ExchangeForm { kDirect = 1, kPassThrough = 2, kWow64 = 3 };

ExchangeForm ChooseExchangeForm(bool wow64, uint8_t escape_form);

// Runs the block's command as one escape exchange and, when it fails, a REQUEST SENSE
// into the block's sense area. Sets the target status; returns the request status
// (the caller stores it).
uint8_t RunCommandEscape(platform::sti::StiDevice& device, ExchangeForm form, ScsiRequestBlock& block);

// Escape 0x1004: 1 when bit 0 of the answer is set, else 2 (also when it fails).
uint8_t QueryEscapeForm(platform::sti::StiDevice& device);
// Escape 5: the lock mode byte; 1 when the escape fails.
uint8_t QueryLockMode(platform::sti::StiDevice& device, bool wow64);
// Escape 0x1003, or escape 4 for escape form 2: the USB speed byte; nullopt on failure.
std::optional<uint8_t> QueryUsbSpeed(platform::sti::StiDevice& device, bool wow64, uint8_t escape_form);

}  // namespace device
