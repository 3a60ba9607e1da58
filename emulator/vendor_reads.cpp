// Vendor reads (E0): each answers a block built from the state, in the length the
// model answers (the command table has checked it).
#include "emulator/command_handlers.h"

namespace emulator {
namespace {

constexpr uint8_t kSpdFront = 0x80;
constexpr uint8_t kSpdBack = 0x00;

}  // namespace

CommandAnswer ReadStatus(CommandContext& c, const CommandInput& in) { return Reply(in, StatusBlockBytes(c.state.status)); }

CommandAnswer ReadPositions(CommandContext& c, const CommandInput& in) {
  return Reply(in, PositionBytes(c.state.positions, c.profile.model_code));
}

CommandAnswer ReadKeySensor(CommandContext& c, const CommandInput& in) {
  const auto& key = c.state.sensors.key_state;
  return Reply(in, PrefixBytes(key.data(), key.size(), TransferLength(in)));
}

CommandAnswer ReadSensorLevels(CommandContext& c, const CommandInput& in) {
  return Reply(in, SensorLevelBytes(c.state.sensors, TransferLength(in)));
}

CommandAnswer ReadTestSettings(CommandContext& c, const CommandInput& in) {
  return Reply(in, TestSettingBytes(c.state.test_settings, TransferLength(in)));
}

CommandAnswer ReadWord4B(CommandContext& c, const CommandInput& in) {
  return Reply(in, WordBytes(c.state.sensors.word_4b, TransferLength(in)));
}

CommandAnswer ReadBentPaper(CommandContext& c, const CommandInput& in) { return Reply(in, BentPaperBytes(c.state.sensors)); }

CommandAnswer ReadBoardInfo(CommandContext& c, const CommandInput& in) {
  return Reply(in, BoardInfoBytes(c.state.board, c.profile.model_code, TransferLength(in)));
}

CommandAnswer ReadVersions(CommandContext& c, const CommandInput& in) {
  return Reply(in, VersionBytes(c.state.versions, TransferLength(in)));
}

CommandAnswer ReadSystemCounters(CommandContext& c, const CommandInput& in) {
  return Reply(in, SystemCounterBytes(c.state.counters, TransferLength(in)));
}

CommandAnswer ReadPaperMode(CommandContext& c, const CommandInput& in) {
  return Reply(in, PrefixBytes(&c.state.paper_mode, 1, TransferLength(in)));
}

CommandAnswer ReadCaution(CommandContext& c, const CommandInput& in) {
  return Reply(in, CautionReportBytes(CautionReportOf(c.state.caution, c.state.counters)));
}

CommandAnswer ReadIdentity(CommandContext& c, const CommandInput& in) { return Reply(in, IdentityBytes(c.state.identity_text)); }

CommandAnswer ReadFlash(CommandContext& c, const CommandInput& in) {
  const std::optional<uint32_t> index = FlashIndex(c, in);
  if (!index) return Refuse(kAscInvalidFieldInCdb);
  return Reply(in, c.state.flash.view().subspan(*index, TransferLength(in)));
}

CommandAnswer ReadRollerCounters(CommandContext& c, const CommandInput& in) {
  return Reply(in, RollerCounterBytes(c.state.counters, TransferLength(in)));
}

CommandAnswer ReadSleep(CommandContext& c, const CommandInput& in) {
  return Reply(in, SleepBytes(c.state.sleep, TransferLength(in)));
}

CommandAnswer ReadBuzzer(CommandContext& c, const CommandInput& in) {
  return Reply(in, PrefixBytes(&c.state.buzzer, 1, TransferLength(in)));
}

CommandAnswer ReadCompatibleMode(CommandContext& c, const CommandInput& in) { return Reply(in, c.state.compatible_mode); }

// A scanner with one memory module answers it for either side; one with a back
// memory answers the back module for qualifier 0.
CommandAnswer ReadSpd(CommandContext& c, const CommandInput& in) {
  const uint8_t side = in.cdb[4];
  if (side != kSpdFront && side != kSpdBack) return Refuse(kAscInvalidFieldInCdb);
  const bool back = side == kSpdBack && c.state.config.back_memory_mb != 0;
  return Reply(in, SpdBlockBytes(back ? c.state.spd_back : c.state.spd_front));
}

CommandAnswer ReadShadingSource(CommandContext& c, const CommandInput& in) {
  return Reply(in, PrefixBytes(&c.state.shading_source, 1, TransferLength(in)));
}

CommandAnswer ReadFeedSpeed(CommandContext& c, const CommandInput& in) {
  return Reply(in, WordBytes(c.state.feed_speed, TransferLength(in)));
}

CommandAnswer ReadIndividualSettings(CommandContext& c, const CommandInput& in) {
  const auto& settings = c.state.individual_settings;
  return Reply(in, PrefixBytes(settings.data(), settings.size(), TransferLength(in)));
}

}  // namespace emulator
