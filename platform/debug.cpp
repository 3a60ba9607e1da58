#include "platform/debug.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace platform {
namespace {
std::mutex mutex;
std::function<void(std::string_view)> sink;
}  // namespace

void OutputDebugString(std::string_view text) {
  std::lock_guard<std::mutex> guard(mutex);
  if (sink) {
    sink(text);
  } else if (std::getenv("SCANUTIL_DEBUG")) {
    std::fwrite(text.data(), 1, text.size(), stderr);
  }
}

void SetDebugSinkForTest(std::function<void(std::string_view)> s) {
  std::lock_guard<std::mutex> guard(mutex);
  sink = std::move(s);
}

}  // namespace platform
