// Debug output (OutputDebugString). Silent unless SCANUTIL_DEBUG is set; tests can capture it.
#pragma once
#include <functional>
#include <string_view>

namespace platform {

void OutputDebugString(std::string_view text);
// Installs a sink that receives every debug text (empty function removes it).
void SetDebugSinkForTest(std::function<void(std::string_view)> sink);

}  // namespace platform
