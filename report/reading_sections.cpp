// Sensor levels, feed speed, counters, sleep mode and adjust values.
#include <array>
#include <cmath>
#include <string>

#include "report/scanner_parts.h"
#include "scanner/diagnostic_commands.h"
#include "scanner/model_codes.h"
#include "scanner/setting_commands.h"
#include "scanner/text_forms.h"
#include "settings/counter_record.h"
#include "settings/sleep_mode_setting.h"

namespace report::parts {
namespace {

using scanner::ModelSet;
using scanner::ScannerContext;

constexpr ModelSet kSlipSensorModels = {22, 23};
constexpr ModelSet kBackEndingSensorModels = {14, 15, 16};
constexpr ModelSet kJamSensorModels = ModelSet::Range(17, 21) | ModelSet{24};
constexpr ModelSet kKeyStateSensorModels = {5, 6, 8, 10};
constexpr ModelSet kPercentFeedSpeedModels = ModelSet{13, 28, 29} | ModelSet::Range(17, 24);
constexpr ModelSet kFlatbedCountModels = {12, 13, 25, 28};
constexpr ModelSet kWidthModels = {22, 23, 37, 38, 39};
constexpr ModelSet kPaperEndModels = ModelSet{22, 23} | scanner::kCompactFamily;
constexpr ModelSet kFlatbedPositionModels = {12, 13, 25, 28};
constexpr ModelSet kNoDoubleFeedLine =
    ModelSet{0, 1, 2, 3, 4, 7, 9, 11, 30, 31} | ModelSet::Range(33, 38) | ModelSet::Range(44, 63);
constexpr ModelSet kSingleDoubleFeedModels = {17, 18, 22, 23};
constexpr ModelSet kThreeDoubleFeedModels = {19, 20, 21, 24};
constexpr ModelSet kFrequencyModels = ModelSet{12, 13} | ModelSet::Range(25, 29);
constexpr ModelSet kSixBentPaperModels = ModelSet::Range(17, 21) | ModelSet{24};
constexpr ModelSet kFourBentPaperModels = {22, 23};

// One offset/slice pair per sensor, in the order the lines name them.
struct SensorWriter {
  ReportFile& file;
  const scanner::SensorLevels& levels;
  int next = 0;
  bool Sensor(const char* name) {
    const int i = 2 * next++;
    return file.Printf("%s(Offset), %d\n%s(Slice), %d\n", name, levels.bytes[i], name, levels.bytes[i + 1]);
  }
};

double Value(const std::optional<double>& v) { return v.value_or(0.0); }
// The extra bytes are held as signed tenths; these give the byte back.
int ExtraByte(const std::optional<double>& v) { return static_cast<int>(std::lround(Value(v) * 10)); }
unsigned UnsignedExtraByte(const std::optional<double>& v) { return static_cast<uint8_t>(ExtraByte(v)); }

const char* FrequencyText(int value) {
  switch (value) {
    case -1: return "210";
    case 0: return "220";
    case 1: return "230";
    default: return "error";
  }
}

bool WriteDoubleFeedLine(ReportFile& f, uint8_t code, const scanner::PositionValues& v) {
  if (kNoDoubleFeedLine.Has(code)) return true;
  if (kThreeDoubleFeedModels.Has(code))
    return f.Printf("Double feed sensor level, Left:%u Centter:%u Right:%u \n", UnsignedExtraByte(v.x[1]),
                    UnsignedExtraByte(v.x[0]), UnsignedExtraByte(v.x[2]));
  if (!f.Printf("Double feed sensor level, %u\n", UnsignedExtraByte(v.x[0]))) return false;
  if (kSingleDoubleFeedModels.Has(code) || !kFrequencyModels.Has(code)) return true;
  return f.Printf("Double feed sensor frequency, %s\n", FrequencyText(static_cast<int8_t>(ExtraByte(v.x[3]))));
}

// A failed read has shown its message; the line then shows zeros.
bool WriteBentPaperLine(ReportFile& f, const ScannerContext& c) {
  const bool six = kSixBentPaperModels.Has(c.model_code);
  if (!six && !kFourBentPaperModels.Has(c.model_code)) return true;
  std::array<uint8_t, 6> l{};
  scanner::ReadBentPaperLevels(c.host_adapter, c.target, l);
  if (six)
    return f.Printf("Bent paper sensor level, L1:%d L2:%d L3:%d R1:%d R2:%d R3:%d\n", l[0], l[1], l[2], l[3], l[4], l[5]);
  return f.Printf("Bent paper sensor level, L1:%d L2:%d R1:%d R2:%d\n", l[0], l[1], l[3], l[4]);
}

}  // namespace

bool WriteSensorLevelsOffsets(ReportFile& file, const ScannerContext& c) {
  const uint8_t code = c.model_code;
  scanner::SensorLevels levels;
  if (!scanner::ReadSensorLevels(c.host_adapter, c.target, 36, levels)) return true;
  const bool slip = kSlipSensorModels.Has(code);
  SensorWriter w{file, levels};
  if (!file.Write("<< Sensor level >>\n") || !w.Sensor("Waiting Sensor")) return false;
  if (slip && !w.Sensor("Slip Detect Sensor")) return false;
  if (!w.Sensor("Starting Sensor")) return false;
  if (!slip && (!w.Sensor("Right Skew Sensor") || !w.Sensor("Left Skew Sensor"))) return false;
  if (!w.Sensor(slip ? "Exit Sensor" : "Ending Sensor")) return false;
  if (kBackEndingSensorModels.Has(code) && (!w.Sensor("Back Ending Sensor") || !w.Sensor("Jam Sensor"))) return false;
  if (kJamSensorModels.Has(code)) {
    if (!w.Sensor("Jam Sensor")) return false;
    uint16_t pressure = 0;
    if (scanner::ReadWord4B(c.host_adapter, c.target, pressure) &&
        !file.Printf("\nRoller pressure level, %d\n", pressure))
      return false;
  }
  return file.Write("\n");
}

bool WriteSensorLevelsIllumination(ReportFile& file, const ScannerContext& c) {
  scanner::SensorLevels levels;
  if (!scanner::ReadSensorLevels(c.host_adapter, c.target, 18, levels)) return true;
  const auto& w = levels.words;
  if (kKeyStateSensorModels.Has(c.model_code)) {
    std::array<uint8_t, 5> state{};
    if (!scanner::ReadKeySensorState(c.host_adapter, c.target, 4, state, false)) return true;
    return file.Printf(
        "<< Sensor level >>\nWaiting Sensor(illuminating), %d\nWaiting Sensor(Status), %s\n"
        "Starting Position Sensor(illuminating), %d\nStarting Position Sensor(Status), %s\n"
        "Ending Sensor(illuminating), %d\nEnding Sensor(Status), %s\n\n",
        w[0], OnOffBit(state[0], 6), w[2], OnOffBit(state[0], 5), w[4], OnOffBit(state[0], 7));
  }
  return file.Printf(
      "<< Sensor level >>\nWaiting Sensor(illuminating), %d\nWaiting Sensor(response), %d\n"
      "Starting Position Sensor(illuminating), %d\nStarting Position Sensor(response), %d\n"
      "Ending Sensor(illuminating), %d\nEnding Sensor(response), %d\n\n",
      w[0], w[1], w[2], w[3], w[4], w[5]);
}

bool WriteFeedSpeed(ReportFile& file, const ScannerContext& c) {
  uint16_t speed = 0;
  if (!scanner::ReadFeedSpeed(c.host_adapter, c.target, speed, true) || speed == 0)
    return !scanner::kInterfaceBoardFamily.Has(c.model_code);
  const char* unit = kPercentFeedSpeedModels.Has(c.model_code) ? "%" : "PPS";
  return file.Printf("<< Feed Speed >>\nFeed Speed, %d %s\n\n", speed, unit);
}

bool WriteCounters(ReportFile& file, ScannerContext& c) {
  settings::CCounterRecord counters;
  counters.BindAndRead(c, 0);
  const uint8_t code = c.model_code;
  if (!file.Printf("<< Counter >>\nSystem Count, %u\n", counters.system)) return false;
  if (kFlatbedCountModels.Has(code) && !file.Printf("Flatbed Count, %u\n", counters.flatbed)) return false;
  if (scanner::kInterfaceBoardFamily.Has(code)) return true;
  if (!file.Printf("Roller used count after cleaned, %u  \nRoller-cleaning cycle, %u\n", counters.after_clean,
                   counters.clean_caution))
    return false;
  if (scanner::kPaperFeedRollerModels.Has(code) && c.paper_feed_roller) {
    return file.Printf(
        "Double-feed Prevention Roller used count after replaced, %u  \n"
        "Double-feed Prevention Roller-replacement cycle, %u\n"
        "Paper Feed Roller used count after replaced, %u  \nPaper Feed Roller-replacement cycle, %u\n\n",
        counters.after_replace, counters.replace_caution, counters.paper_feed, counters.paper_feed_caution);
  }
  return file.Printf("Roller used count after replaced, %u  \nRoller-replacement cycle, %u\n\n", counters.after_replace,
                     counters.replace_caution);
}

bool WriteSleepMode(ReportFile& file, const ScannerContext& c) {
  settings::SleepModeSetting sleep(c);
  if (!sleep.Read()) return false;
  if (!file.Write("<< Sleep Mode >>\nSleep Mode, " + scanner::SleepText(c, sleep.sleep_enabled, sleep.sleep_minutes) +
                  "\n"))
    return false;
  if (c.power_off &&
      !file.Write("Power Off, " + scanner::SleepText(c, sleep.power_off_enabled, sleep.power_off_minutes) + "\n"))
    return false;
  uint8_t minutes = 0;
  if (c.flatbed_usable && settings::ReadFlatbedSleepTime(c, minutes) &&
      !file.Printf("Sleep Mode (Flatbed), After %d min\n", minutes))
    return false;
  return file.Write("\n");
}

bool WriteAdjustValues(ReportFile& file, const ScannerContext& c) {
  const uint8_t code = c.model_code;
  scanner::PositionValues v;
  if (!scanner::ReadPositionValues(c.host_adapter, c.target, code, v)) return false;
  const auto& p = v.p;
  const bool width = kWidthModels.Has(code);
  if (!file.Printf("<< Adjust value >>\nFront V Position, %#2.1f\nFront H Position, %#2.1f\n", Value(p[1]), Value(p[0])))
    return false;
  if (width && !file.Printf("Front Width, %#2.1f\n", Value(p[5]))) return false;
  if (c.sides == 2) {
    if (!file.Printf("Back V Position, %#2.1f\nBack H Position, %#2.1f\n", Value(p[3]), Value(p[2]))) return false;
    if (width && !file.Printf("Back Width, %#2.1f\n", Value(p[6]))) return false;
  }
  if (!file.Printf("Paper Length, %#2.1f\n", Value(p[4]))) return false;
  if (kPaperEndModels.Has(code) && !file.Printf("Paper End Position, %#2.1f\n", Value(p[7]))) return false;
  if (kFlatbedPositionModels.Has(code) &&
      !file.Printf("Flatbet V Position, %#2.1f\nFlatbed H Position, %#2.1f\nFlatbed Paper Length, %#2.1f\n",
                   Value(p[9]), Value(p[8]), Value(p[10])))
    return false;
  if (!WriteDoubleFeedLine(file, code, v) || !WriteBentPaperLine(file, c)) return false;
  return file.Write("\n");
}

}  // namespace report::parts
