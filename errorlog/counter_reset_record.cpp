#include "errorlog/counter_reset_record.h"

#include "errorlog/log_file.h"
#include "errorlog/log_folder.h"
#include "platform/format.h"
#include "resources/app_resources.h"
#include "scanner/text_forms.h"

namespace errorlog {
namespace {

struct ResetMessage {
  int id;
  const char* english;  // for resources that lack the string
};

constexpr ResetMessage kMessages[] = {
    {kIdsCleanReset, "Clean Roller Counter was reset to 0"},
    {kIdsReplaceReset, "Replace Roller Counter was reset to 0"},
};

std::string MessageText(ResetKind kind) {
  const ResetMessage& message = kMessages[kind == ResetKind::kClean ? 0 : 1];
  std::string text = resources::LoadString(message.id);
  return text.empty() ? message.english : text;
}

std::string TimeText(const char* format, const std::tm& local) {
  char text[64];
  const size_t n = std::strftime(text, sizeof text, format, &local);
  return std::string(text, n);
}

// A bounded field read as text up to its first NUL.
template <size_t N>
std::string FieldText(const char (&field)[N]) {
  size_t n = 0;
  while (n < N && field[n] != '\0') ++n;
  return std::string(field, n);
}

}  // namespace

std::string CounterResetLine(const std::tm& local, const scanner::ScannerContext& context,
                             const CounterValues& counts, ResetKind kind) {
  return platform::Format("%s,%s,%s,%s,0x%s,%s,%ld,%ld,%ld,%ld,%ld,%s", TimeText("%Y/%m/%d", local).c_str(),
                          TimeText("%H:%M", local).c_str(), scanner::ModelNameText(context).c_str(),
                          FieldText(context.identity_text).c_str(), "-", "-", static_cast<long>(counts.system),
                          static_cast<long>(counts.flatbed), static_cast<long>(counts.after_clean),
                          static_cast<long>(counts.after_replace), static_cast<long>(counts.paper_feed),
                          MessageText(kind).c_str());
}

void AppendCounterResetRecord(const scanner::ScannerContext& context, const CounterValues& counts, ResetKind kind) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (!::localtime_r(&now, &local)) return;
  const std::string line = CounterResetLine(local, context, counts, kind);
  const auto folder = LogFolder();
  if (folder) AppendLine(*folder, line);
}

}  // namespace errorlog
