// Template and control ids of the Sleep Mode dialog.
#pragma once

namespace settings::sleep_ids {

constexpr const char* kTemplate = "SLEEPMODE";
constexpr int kSleepGroup = 1324, kSleepDisable = 1000, kSleepLabel = 1014, kSleepEdit = 1087, kSleepSpin = 1088,
              kSleepUnit = 1015;
constexpr int kPowerOffGroup = 1323, kPowerOffDisable = 1001, kPowerOffLabel = 1018, kPowerOffEdit = 1091,
              kPowerOffSpin = 1092, kPowerOffUnit = 1019;
constexpr int kFlatbedGroup = 1321, kFlatbedLabel = 1016, kFlatbedEdit = 1089, kFlatbedSpin = 1090,
              kFlatbedUnit = 1017;

}  // namespace settings::sleep_ids
