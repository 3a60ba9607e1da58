#include "platform/local_time.h"

#include <locale.h>

#include <atomic>

namespace platform {
namespace {

std::atomic<bool> time_forced{false};
std::atomic<std::time_t> forced_time{0};

}  // namespace

std::string LocalDateTimeText() {
  const std::time_t now = time_forced ? forced_time.load() : std::time(nullptr);
  ::tzset();  // a changed TZ applies
  std::tm local{};
  if (!::localtime_r(&now, &local)) return {};
  // The user's locale from the environment, without touching the process's locale.
  locale_t user = ::newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (!user) user = ::newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
  char buffer[256];
  const size_t length = user ? ::strftime_l(buffer, sizeof buffer, "%c", &local, user) : 0;
  if (user) ::freelocale(user);
  return std::string(buffer, length);
}

void ForceTimeForTest(std::optional<std::time_t> now) {
  forced_time = now.value_or(0);
  time_forced = now.has_value();
}

}  // namespace platform
