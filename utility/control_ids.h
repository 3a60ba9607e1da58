// Control ids of the main window's template 102.
#pragma once

namespace utility::id {

// Error code and status.
constexpr int kErrorLabel = 1318;
constexpr int kErrorPart1 = 1075;
constexpr int kErrorDash = 1317;
constexpr int kErrorPart2 = 1034;
constexpr int kErrorPart3 = 1040;
constexpr int kStatusLabel = 1331;
constexpr int kStatusBox = 1160;

// Groups.
constexpr int kInformationGroup = 1151;
constexpr int kConditionGroup = 1000;
constexpr int kCounterGroup = 1153;
constexpr int kTestGroup = 1001;
constexpr int kAdjustGroup = 1004;

// Scanner Condition.
constexpr int kSleepMode = 1007;
constexpr int kCleanImprinter = 1066;
constexpr int kPaperBuzzer = 1067;
constexpr int kCompatibleMode = 1069;
constexpr int kUserShading = 1070;
constexpr int kCautionSetting = 1010;
constexpr int kSetDefault = 1023;

// Bottom row.
constexpr int kAdjustScanPosition = 1005;
constexpr int kHelp = 1150;
constexpr int kAbout = 1158;
constexpr int kSelectScanner = 1014;
constexpr int kSaveInfo = 1008;
constexpr int kClose = 2;

// Information rows: label, value.
constexpr int kModelLabel = 1152, kModelValue = 1012;
constexpr int kFirmwareLabel = 1116, kFirmwareValue = 1017;
constexpr int kControlBoardLabel = 1117, kControlBoardValue = 1011;
constexpr int kInterfaceBoardLabel = 1118, kInterfaceBoardValue = 1045;
constexpr int kDriveBoardLabel = 1119, kDriveBoardValue = 1049;
constexpr int kGateArray1Label = 1120, kGateArray1Value = 1013;
constexpr int kGateArray2Label = 1121, kGateArray2Value = 1028;
constexpr int kGateArray3Label = 1122, kGateArray3Value = 1033;
constexpr int kMemoryLabel = 1123, kMemoryValue = 1046;
constexpr int kBackMemoryLabel = 1124, kBackMemoryValue = 1068;
constexpr int kInterfaceLabel = 1125, kInterfaceValue = 1015;
constexpr int kTerminatorLabel = 1099, kTerminatorValue = 1016;
constexpr int kPreImprinterLabel = 1032, kPreImprinterValue = 1031;
constexpr int kPostImprinterLabel = 1052, kPostImprinterValue = 1053;
constexpr int kFlatbedLabel = 1073, kFlatbedValue = 1074;
constexpr int kCompatibleLabel = 1126, kCompatibleValue = 1051;
constexpr int kCcdBoardLabel = 1127, kCcdBoardValue = 1077;

// Counter rows.
constexpr int kSystemLabel = 1154, kSystemValue = 1018;
constexpr int kFlatbedCountLabel = 1139, kFlatbedCountValue = 1047;
constexpr int kAfterCleanLabel = 1155, kAfterCleanValue = 1019, kClearAfterClean = 1021;
constexpr int kAfterReplaceLabel = 1156, kAfterReplaceValue = 1020, kClearAfterReplace = 1022;
constexpr int kPaperFeedLabel = 1157, kPaperFeedValue = 1061, kClearPaperFeed = 1062;
constexpr int kUpdateAllCounters = 1042;

// The Test and Adjust panes' buttons.
constexpr int kServiceButtons[] = {1024, 1025, 1026, 1027, 1029, 1030};

}  // namespace utility::id
