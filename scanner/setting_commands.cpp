#include "scanner/setting_commands.h"

#include "platform/bytes.h"
#include "scanner/cdb.h"
#include "scanner/command_support.h"

namespace scanner {
using namespace cdb;
namespace {

using namespace detail;

// One byte at answer[0] of a 2-byte vendor read.
int ReadByte(uint8_t ha, uint8_t target, uint8_t type, uint8_t& value, bool quiet) {
  SendReady(ha, target);
  uint8_t answer[2] = {};
  if (!Judge(VendorRead(ha, target, type, answer, sizeof(answer)), quiet)) return 0;
  value = answer[0];
  return 1;
}

int WriteTwo(uint8_t ha, uint8_t target, uint8_t type, uint8_t byte0, uint8_t byte1) {
  SendReady(ha, target);
  const uint8_t data[2] = {byte0, byte1};
  return Judge(VendorWrite(ha, target, type, data, sizeof(data)), false);
}

void TakeMinutes(uint8_t byte, bool& enabled, uint8_t& minutes, uint8_t default_minutes) {
  enabled = byte != 0;
  minutes = enabled ? byte : default_minutes;
}

}  // namespace

int ReadSleepSetting(uint8_t ha, uint8_t target, bool power_off_form, SleepValues& values) {
  SendReady(ha, target);
  uint8_t answer[4] = {0x00, kDefaultSleepMinutes, 0x00, kDefaultPowerOffMinutes};
  if (!power_off_form) answer[1] = 0;
  if (!Judge(VendorRead(ha, target, 0x9E, answer, power_off_form ? 4 : 2), false)) return 0;
  if (Simulated() && !power_off_form) answer[1] = kDefaultSleepMinutes;
  TakeMinutes(answer[1], values.sleep_enabled, values.sleep_minutes, kDefaultSleepMinutes);
  if (power_off_form) {
    TakeMinutes(answer[3], values.power_off_enabled, values.power_off_minutes, kDefaultPowerOffMinutes);
  }
  return 1;
}

int WriteSleepSetting(uint8_t ha, uint8_t target, bool power_off_form, const SleepValues& values) {
  SendReady(ha, target);
  const uint8_t data[4] = {0, values.sleep_enabled ? values.sleep_minutes : uint8_t{0}, 0,
                           values.power_off_enabled ? values.power_off_minutes : uint8_t{0}};
  return Judge(VendorWrite(ha, target, 0x9F, data, power_off_form ? 4 : 2), false);
}

int ReadPaperMode(uint8_t ha, uint8_t target, uint8_t& mode, bool quiet) {
  return ReadByte(ha, target, 0x8A, mode, quiet);
}

int WritePaperMode(uint8_t ha, uint8_t target, uint8_t mode) {
  constexpr uint8_t kPaperModeSelector = 2;
  return WriteTwo(ha, target, 0x8A, mode, kPaperModeSelector);
}

int ReadBuzzerSetting(uint8_t ha, uint8_t target, uint8_t& buzzer, bool quiet) {
  return ReadByte(ha, target, 0xA1, buzzer, quiet);
}

int WriteBuzzerSetting(uint8_t ha, uint8_t target, uint8_t buzzer) { return WriteTwo(ha, target, 0xA1, buzzer, 0); }

int ReadCompatibleMode(uint8_t ha, uint8_t target, uint8_t& code, uint8_t& second, bool quiet) {
  SendReady(ha, target);
  uint8_t answer[2] = {};
  if (!Judge(VendorRead(ha, target, 0xA2, answer, sizeof(answer)), quiet)) return 0;
  code = answer[0];
  second = answer[1];
  return 1;
}

int WriteCompatibleMode(uint8_t ha, uint8_t target, uint8_t value) { return WriteTwo(ha, target, 0xA2, 0, value); }

int ReadIndividualSettings(uint8_t ha, uint8_t target, uint32_t length, uint8_t (&answer)[4], bool quiet) {
  SendReady(ha, target);
  uint8_t read[4] = {};
  if (!Judge(VendorRead(ha, target, 0xAA, read, length == 4 ? 4 : 2), quiet)) return 0;
  for (int i = 0; i < 4; ++i) answer[i] = read[i];
  return 1;
}

int ReadFeedSpeed(uint8_t ha, uint8_t target, uint16_t& speed, bool quiet) {
  SendReady(ha, target);
  uint8_t answer[8] = {};
  if (!Judge(VendorRead(ha, target, 0xA7, answer, sizeof(answer)), quiet)) {
    if (quiet) speed = 0;
    return 0;
  }
  speed = platform::bytes::GetBE16(answer);
  return 1;
}

int ReadShadingSource(uint8_t ha, uint8_t target, uint8_t& source, bool quiet) {
  if (!ReadByte(ha, target, 0xA4, source, quiet)) return 0;
  if (Simulated()) source = static_cast<uint8_t>(SimValue("DummyShadingSource", 0));
  return 1;
}

int WriteShadingSource(uint8_t ha, uint8_t target, uint8_t source) { return WriteTwo(ha, target, 0xA4, source, 0); }

int CleanImprinter(uint8_t ha, uint8_t target, uint16_t value) {
  return WriteTwo(ha, target, 0xA0, static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value));
}

int ReadFlatbedOption(uint8_t ha, uint8_t target) {
  SendReady(ha, target);
  uint8_t answer[8] = {};
  if (FlatbedRead(ha, target, 0x04, answer, sizeof(answer)) != 0) return 0;
  return answer[0] & 0x01;
}

int ReadFlatbedSleep(uint8_t ha, uint8_t target, uint8_t& minutes) {
  SendReady(ha, target);
  uint8_t answer[2] = {0x00, 0x0F};
  if (!Judge(FlatbedRead(ha, target, 0x01, answer, sizeof(answer)), false)) return 0;
  minutes = answer[1];
  return 1;
}

int WriteFlatbedSleep(uint8_t ha, uint8_t target, uint8_t minutes) {
  SendReady(ha, target);
  const uint8_t data[2] = {0, minutes};
  return Judge(FlatbedWrite(ha, target, 0x02, data, sizeof(data)), false);
}

}  // namespace scanner
