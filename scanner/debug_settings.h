// Section Debug of scUtil.ini in the program folder: the simulated scanner's values.
#pragma once
#include <string>
#include <string_view>

namespace scanner {

// The program folder's scUtil.ini, in Windows form.
std::string ScUtilIniPath();

int DebugInt(std::string_view key, int def);
// At most max_chars characters.
std::string DebugString(std::string_view key, size_t max_chars = 255);

}  // namespace scanner
