// The local date and time as text. Windows' "%#c" (the locale's long date and time) is
// strftime's "%c" in the user's LC_TIME locale on Linux.
#pragma once
#include <ctime>
#include <optional>
#include <string>

namespace platform {

// The current local time in the user's locale's date and time form.
std::string LocalDateTimeText();
// Tests fix the time that is "now"; nullopt restores the real clock.
void ForceTimeForTest(std::optional<std::time_t> now);

}  // namespace platform
