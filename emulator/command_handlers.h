// Handlers of the command table, by group, and the small helpers they share.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "emulator/command_table.h"
#include "emulator/state_blocks.h"

namespace emulator {

constexpr uint8_t kAscParameterListLength = 0x1A;
constexpr uint8_t kAscInvalidFieldInParameters = 0x26;
constexpr uint8_t kAscCommandSequence = 0x2C;
// ASCQ with kAscCommandSequence: what the scanner lacks for the command.
constexpr uint8_t kAscqNoBackUnit = 0x81;
constexpr uint8_t kAscqNoImprinter = 0x82;
constexpr uint8_t kAscqNoFlatbed = 0x88;

inline Sense IllegalRequest(uint8_t asc, uint8_t ascq = 0) { return Sense{kSenseIllegalRequest, asc, ascq, 0, false, false}; }
inline CommandAnswer Refuse(uint8_t asc, uint8_t ascq = 0) { return {0, IllegalRequest(asc, ascq)}; }

// The 24-bit transfer length of bytes 6-8.
uint32_t TransferLength(const CommandInput& input);
// Fills min(wanted, buffer) bytes: the block first, zeros after it.
uint32_t Transfer(std::span<uint8_t> in, size_t wanted, std::span<const uint8_t> block);
// The block as the answer of the command's transfer length.
CommandAnswer Reply(const CommandInput& input, std::span<const uint8_t> block);
// The data sent, cut or zero-filled to the transfer length, and to at least
// at_least bytes so a handler can read its fields whatever length it was let through.
std::vector<uint8_t> DataOut(const CommandInput& input, size_t at_least);
// Index into the flash area of the 24-bit device address in bytes 3-5; nullopt
// when the transfer does not lie inside the area.
std::optional<uint32_t> FlashIndex(const CommandContext& context, const CommandInput& input);

// Vendor reads (E0).
CommandAnswer ReadStatus(CommandContext&, const CommandInput&);
CommandAnswer ReadPositions(CommandContext&, const CommandInput&);
CommandAnswer ReadKeySensor(CommandContext&, const CommandInput&);
CommandAnswer ReadSensorLevels(CommandContext&, const CommandInput&);
CommandAnswer ReadTestSettings(CommandContext&, const CommandInput&);
CommandAnswer ReadWord4B(CommandContext&, const CommandInput&);
CommandAnswer ReadBentPaper(CommandContext&, const CommandInput&);
CommandAnswer ReadBoardInfo(CommandContext&, const CommandInput&);
CommandAnswer ReadVersions(CommandContext&, const CommandInput&);
CommandAnswer ReadSystemCounters(CommandContext&, const CommandInput&);
CommandAnswer ReadPaperMode(CommandContext&, const CommandInput&);
CommandAnswer ReadCaution(CommandContext&, const CommandInput&);
CommandAnswer ReadIdentity(CommandContext&, const CommandInput&);
CommandAnswer ReadFlash(CommandContext&, const CommandInput&);
CommandAnswer ReadRollerCounters(CommandContext&, const CommandInput&);
CommandAnswer ReadSleep(CommandContext&, const CommandInput&);
CommandAnswer ReadBuzzer(CommandContext&, const CommandInput&);
CommandAnswer ReadCompatibleMode(CommandContext&, const CommandInput&);
CommandAnswer ReadSpd(CommandContext&, const CommandInput&);
CommandAnswer ReadShadingSource(CommandContext&, const CommandInput&);
CommandAnswer ReadFeedSpeed(CommandContext&, const CommandInput&);
CommandAnswer ReadIndividualSettings(CommandContext&, const CommandInput&);

// Vendor writes (E1).
CommandAnswer StartAdjustment(CommandContext&, const CommandInput&);
CommandAnswer SetServiceMode(CommandContext&, const CommandInput&);
CommandAnswer WritePaperMode(CommandContext&, const CommandInput&);
CommandAnswer ClearCounter(CommandContext&, const CommandInput&);
CommandAnswer WriteThresholds(CommandContext&, const CommandInput&);
CommandAnswer WriteSleep(CommandContext&, const CommandInput&);
CommandAnswer CleanImprinter(CommandContext&, const CommandInput&);
CommandAnswer WriteBuzzer(CommandContext&, const CommandInput&);
CommandAnswer WriteCompatibleMode(CommandContext&, const CommandInput&);
CommandAnswer WriteShadingSource(CommandContext&, const CommandInput&);
CommandAnswer WriteFlash(CommandContext&, const CommandInput&);
CommandAnswer SetModeBits(CommandContext&, const CommandInput&);

// The attached flatbed unit (E8, E9).
CommandAnswer ReadFlatbedStatus(CommandContext&, const CommandInput&);
CommandAnswer ReadFlatbedSleep(CommandContext&, const CommandInput&);
CommandAnswer ReadFlatbedOption(CommandContext&, const CommandInput&);
CommandAnswer WriteFlatbedSleep(CommandContext&, const CommandInput&);

// Scanning, and READ(10) of the configuration block.
CommandAnswer SetWindow(CommandContext&, const CommandInput&);
CommandAnswer Scan(CommandContext&, const CommandInput&);
CommandAnswer GetDataBufferStatus(CommandContext&, const CommandInput&);
CommandAnswer ReadImageData(CommandContext&, const CommandInput&);
CommandAnswer ReadImageInfo(CommandContext&, const CommandInput&);
CommandAnswer ReadConfiguration(CommandContext&, const CommandInput&);

}  // namespace emulator
