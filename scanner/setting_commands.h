// Settings kept in the scanner and its flatbed unit.
#pragma once
#include <cstdint>

namespace scanner {

struct SleepValues {
  bool sleep_enabled = true;
  uint8_t sleep_minutes = 15;
  bool power_off_enabled = true;
  uint8_t power_off_minutes = 30;
};

constexpr uint8_t kDefaultSleepMinutes = 15;
constexpr uint8_t kDefaultPowerOffMinutes = 30;

// The 4-byte form (with the power-off timer) when power_off_form is set, else 2 bytes.
// A minutes byte of 0 reads as disabled with the default minutes.
int ReadSleepSetting(uint8_t ha, uint8_t target, bool power_off_form, SleepValues& values);
// A disabled timer is sent as 0.
int WriteSleepSetting(uint8_t ha, uint8_t target, bool power_off_form, const SleepValues& values);

int ReadPaperMode(uint8_t ha, uint8_t target, uint8_t& mode, bool quiet = false);
int WritePaperMode(uint8_t ha, uint8_t target, uint8_t mode);
int ReadBuzzerSetting(uint8_t ha, uint8_t target, uint8_t& buzzer, bool quiet = false);
int WriteBuzzerSetting(uint8_t ha, uint8_t target, uint8_t buzzer);
int ReadCompatibleMode(uint8_t ha, uint8_t target, uint8_t& code, uint8_t& second, bool quiet = false);
int WriteCompatibleMode(uint8_t ha, uint8_t target, uint8_t value);

// length 2 (byte 0 in answer[0]) or 4 (bytes 0-3).
int ReadIndividualSettings(uint8_t ha, uint8_t target, uint32_t length, uint8_t (&answer)[4], bool quiet);
// A quiet failure reports 0.
int ReadFeedSpeed(uint8_t ha, uint8_t target, uint16_t& speed, bool quiet);
int ReadShadingSource(uint8_t ha, uint8_t target, uint8_t& source, bool quiet);
int WriteShadingSource(uint8_t ha, uint8_t target, uint8_t source);
int CleanImprinter(uint8_t ha, uint8_t target, uint16_t value);

// The flatbed unit: its option bit (0 on any error, never shown) and its sleep minutes.
int ReadFlatbedOption(uint8_t ha, uint8_t target);
// On success minutes gets byte 1 of the answer (the read buffer starts as 00 0F).
int ReadFlatbedSleep(uint8_t ha, uint8_t target, uint8_t& minutes);
int WriteFlatbedSleep(uint8_t ha, uint8_t target, uint8_t minutes);

}  // namespace scanner
