// Control, string, icon and message numbers of the error display.
#pragma once
#include "platform/desktop.h"

namespace errview::id {

// Dialog 102.
constexpr int kErrorCodeLabel = 1010;
constexpr int kPart1 = 1075;
constexpr int kPart1Dash = 1317;
constexpr int kPart2 = 1034;
constexpr int kPart2Dash = 1011;
constexpr int kPart3 = 1040;
constexpr int kStatusLabel = 1009;
constexpr int kMessageBox = 1160;
constexpr int kViewManual = 1003;
constexpr int kStart = 1002;
constexpr int kStop = 1006;
constexpr int kPrevious = 1012;
constexpr int kNext = 1013;
constexpr int kClose = 2;
constexpr int kFirstPicture = 1000;
constexpr int kSecondPicture = 1001;

// Dialog 140.
constexpr int kAlertIcon = 1020;
constexpr int kAlertText = 1021;
constexpr int kAlertLink = 1022;

constexpr int kMainTemplate = 102;
constexpr int kAlertTemplate = 140;

// Strings.
constexpr int kCaution = 102;
constexpr int kAppName = 103;
constexpr int kStartTip = 104;
constexpr int kStopTip = 105;
constexpr int kPreviousTip = 106;
constexpr int kNextTip = 107;
constexpr int kReaderLink = 109;

// Icons.
constexpr int kWindowIcon = 128;
constexpr int kNextIcon = 136;
constexpr int kStartIcon = 137;
constexpr int kPreviousIcon = 138;
constexpr int kStopIcon = 139;

// Messages with the scanner indicator.
constexpr platform::UINT kDisplayClosed = platform::WM_USER + 0x102;
constexpr platform::UINT kCloseDisplay = platform::WM_USER + 0x103;

}  // namespace errview::id
