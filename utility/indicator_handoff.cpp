#include "utility/indicator_handoff.h"

#include "platform/desktop.h"
#include "platform/registry.h"

namespace utility {

const char* const kIndicatorProperty = "QMXSIndicatorWindowClass";

namespace {
constexpr const char* kFlatbedSaveKey = "Software\\Quorvex\\DE-TT767\\Save";
constexpr const char* kErrorCodeValue = "ErrorCode";
}  // namespace

void NotifyScannerChosen() {
  if (platform::HWND indicator = platform::FindWindowWithProperty(kIndicatorProperty))
    platform::PostMessage(indicator, kMessageScannerChosen, 0, 0);
}

void ClearSavedFlatbedErrorCode() {
  auto key = platform::RegKey::Open(platform::HKEY_CURRENT_USER, kFlatbedSaveKey);
  if (!key) return;
  const auto value = key->Query(kErrorCodeValue);
  if (!value) return;
  const auto code = value->AsDword();
  if (code && *code != 0) key->Set(kErrorCodeValue, platform::RegValue::Dword(0));
}

}  // namespace utility
