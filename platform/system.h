// System information the program logic asks for.
#pragma once
#include <optional>

namespace platform::system {

// The answer of kernel32's IsWow64Process for this process; nullopt when the entry
// is absent. On Linux the process is never WOW64 unless a test forces it.
std::optional<bool> IsWow64Process();
void ForceWow64ForTest(std::optional<bool> answer);

}  // namespace platform::system
