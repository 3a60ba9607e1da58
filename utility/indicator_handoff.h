// What passes between the utility and the scanner indicator: the scanner-chosen
// notice and the flatbed unit's saved error code.
#pragma once

namespace utility {

extern const char* const kIndicatorProperty;
constexpr unsigned kMessageScannerChosen = 0x0501;  // WM_USER + 0x101

// Posts 1281 to the first window carrying the indicator's property; nothing without one.
void NotifyScannerChosen();
// Resets the flatbed unit's saved error code to 0 when the value is there and not 0.
void ClearSavedFlatbedErrorCode();

}  // namespace utility
