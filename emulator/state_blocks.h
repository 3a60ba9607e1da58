// The answer blocks of the wire protocol, built from the scanner's state. Where a
// data type has two forms the transfer length picks one (the longer from its size
// up); the block has the form's size and the answer cuts or zero-fills it.
#pragma once
#include <cstdint>
#include <vector>

#include "emulator/scanner_state.h"

namespace emulator {

using Block = std::vector<uint8_t>;

Block StatusBlockBytes(const StatusBlock& status);            // 12 bytes
// A roller's caution byte as the scanner counts it: 100 once the count has reached the
// threshold, else the share of it reached in percent (0-99).
uint8_t RollerCaution(uint32_t count, uint32_t threshold);
CautionReport CautionReportOf(const Cautions& caution, const Counters& counters);
// The whole report as given, both roller bytes forced.
Cautions ForcedCautions(const CautionReport& report);
Block CautionReportBytes(const CautionReport& report);        // 12 bytes
Block SystemCounterBytes(const Counters& counters, uint32_t length);  // 14, or 20 with the flatbed count
Block RollerCounterBytes(const Counters& counters, uint32_t length);  // 16, or 24 with the paper feed roller
Block SleepBytes(const SleepSetting& sleep, uint32_t length);         // 2, or 4 with power-off
Block VersionBytes(const Versions& versions, uint32_t length);        // 24, or 28 without the third version
Block BoardInfoBytes(const BoardInfo& board, uint8_t model, uint32_t length);  // 4 or 16
Block PositionBytes(const PositionValues& positions, uint8_t model);  // 16 bytes, the model's layout
Block TestSettingBytes(const TestSettings& settings, uint32_t length);  // 16 or 18
Block SensorLevelBytes(const Sensors& sensors, uint32_t length);        // 18 or 36
Block BentPaperBytes(const Sensors& sensors);                           // 8 bytes
Block ConfigurationBytes(const ScannerState& state, uint8_t model);     // 32 bytes
Block SpdBlockBytes(const std::array<uint8_t, kSpdSize>& spd);           // 130 bytes
Block IdentityBytes(const std::string& text);                            // 16 characters
// A 16-bit value in bytes 0-1 of a block of that length (at least 2).
Block WordBytes(uint16_t value, uint32_t length);
// The bytes as they are, cut or zero-filled to the length.
Block PrefixBytes(const uint8_t* bytes, size_t count, uint32_t length);

}  // namespace emulator
