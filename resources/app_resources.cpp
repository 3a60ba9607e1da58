#include "resources/app_resources.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "resources/builtin_scripts.h"
#include "resources/script_parser.h"

namespace resources {

namespace {

std::shared_ptr<const Resources> Builtin() {
  ScriptParseResult parsed = ParseResourceScript(ScanutilScript());
  return std::make_shared<const Resources>(parsed.script.value_or(ResourceScript{}));
}

struct Current {
  std::mutex mutex;
  std::shared_ptr<const Resources> resources = Builtin();
};

Current& State() {
  static Current current;
  return current;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the integer conversion at the start of `text` (which starts with '%'),
// or 0 when it is none.
size_t IntegerConversionLength(std::string_view text) {
  size_t i = 1;
  while (i < text.size() && std::string_view("-+ #0").find(text[i]) != std::string_view::npos) ++i;
  for (int digits = 0; i < text.size() && IsDigit(text[i]); ++digits, ++i)
    if (digits == 3) return 0;
  if (i < text.size() && text[i] == '.') {
    ++i;
    for (int digits = 0; i < text.size() && IsDigit(text[i]); ++digits, ++i)
      if (digits == 3) return 0;
  }
  for (int h = 0; i < text.size() && text[i] == 'h' && h < 2; ++h) ++i;
  if (i < text.size() && std::string_view("diouxXc").find(text[i]) != std::string_view::npos) return i + 1;
  return 0;
}

}  // namespace

void SetAppResources(Resources resources) {
  auto next = std::make_shared<const Resources>(std::move(resources));
  std::lock_guard lock(State().mutex);
  State().resources = std::move(next);
}

void ResetAppResources() {
  auto next = Builtin();
  std::lock_guard lock(State().mutex);
  State().resources = std::move(next);
}

std::shared_ptr<const Resources> AppResources() {
  std::lock_guard lock(State().mutex);
  return State().resources;
}

std::string LoadString(int id) { return AppResources()->LoadString(id); }

std::string FormatIntegers(std::string_view format, std::initializer_list<unsigned> values) {
  std::string out;
  const unsigned* value = values.begin();
  size_t i = 0;
  while (i < format.size()) {
    if (format[i] != '%') {
      out += format[i++];
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out += '%';
      i += 2;
      continue;
    }
    const size_t length = IntegerConversionLength(format.substr(i));
    if (length == 0 || value == values.end()) {
      out += format[i++];
      continue;
    }
    const std::string conversion(format.substr(i, length));
    char buffer[2048];  // widths and precisions have at most three digits
    const int n = std::snprintf(buffer, sizeof buffer, conversion.c_str(), *value++);
    if (n > 0) out.append(buffer, std::min(static_cast<size_t>(n), sizeof buffer - 1));
    i += length;
  }
  return out;
}

std::string FormatString(int id, std::initializer_list<unsigned> values) {
  return FormatIntegers(LoadString(id), values);
}

}  // namespace resources
