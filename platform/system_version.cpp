#include "platform/system_version.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <charconv>
#include <mutex>

#include "platform/file_io.h"
#include "platform/text.h"

namespace platform::system {
namespace {

constexpr size_t kMaxSystemFileBytes = 1 << 20;

struct Forced {
  std::mutex mutex;
  std::optional<OsVersionInfo> version;
  std::optional<DWORD> processors;
};

Forced& forced() {
  static Forced instance;
  return instance;
}

// Small system files (/proc, /etc): whatever part of them can be read.
std::string ReadFile(const char* path) {
  return platform::files::ReadFileUpTo(path, kMaxSystemFileBytes).value_or(std::string());
}

// A shell-style value: quotes removed, backslash escapes resolved.
std::string Unquote(std::string_view value) {
  if (value.size() < 2 || (value.front() != '"' && value.front() != '\'') || value.back() != value.front())
    return std::string(value);
  std::string out;
  for (size_t i = 1; i + 1 < value.size(); ++i) {
    if (value[i] == '\\' && i + 2 < value.size()) ++i;
    out += value[i];
  }
  return out;
}

std::string PrettyName(std::string_view os_release) {
  constexpr std::string_view kKey = "PRETTY_NAME=";
  while (!os_release.empty()) {
    const size_t end = os_release.find('\n');
    const std::string_view line = text::Trim(os_release.substr(0, end));
    if (line.starts_with(kKey)) return Unquote(line.substr(kKey.size()));
    os_release = end == std::string_view::npos ? std::string_view() : os_release.substr(end + 1);
  }
  return "Linux";  // the name os-release gives a system that names none
}

// The next decimal number of the release, skipping the separator after it.
DWORD ReleasePart(std::string_view& release) {
  DWORD value = 0;
  const auto [end, error] = std::from_chars(release.data(), release.data() + release.size(), value);
  if (error != std::errc()) value = 0;
  release.remove_prefix(static_cast<size_t>(end - release.data()));
  if (!release.empty() && release.front() == '.') release.remove_prefix(1);
  return value;
}

OsVersionInfo RealVersion() {
  std::string os_release = ReadFile("/etc/os-release");
  if (os_release.empty()) os_release = ReadFile("/usr/lib/os-release");
  struct utsname names {};
  ::uname(&names);
  return LinuxVersion(os_release, names.release, names.version, names.machine);
}

}  // namespace

OsVersionInfo LinuxVersion(std::string_view os_release, std::string_view kernel_release,
                           std::string_view kernel_version, std::string_view machine) {
  OsVersionInfo info;
  info.dwPlatformId = VER_PLATFORM_LINUX;
  info.product_name = PrettyName(os_release);
  info.dwMajorVersion = ReleasePart(kernel_release);
  info.dwMinorVersion = ReleasePart(kernel_release);
  info.dwBuildNumber = ReleasePart(kernel_release);
  info.szCSDVersion = std::string(kernel_version);
  info.x64_processor = machine == "x86_64";
  return info;
}

OsVersionInfo GetVersionEx() {
  {
    std::lock_guard<std::mutex> guard(forced().mutex);
    if (forced().version) return *forced().version;
  }
  return RealVersion();
}

void ForceVersionForTest(std::optional<OsVersionInfo> version) {
  std::lock_guard<std::mutex> guard(forced().mutex);
  forced().version = std::move(version);
}

DWORD NumberOfProcessors() {
  {
    std::lock_guard<std::mutex> guard(forced().mutex);
    if (forced().processors) return *forced().processors;
  }
  const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
  return online > 0 ? static_cast<DWORD>(online) : 1;
}

void ForceNumberOfProcessorsForTest(std::optional<DWORD> count) {
  std::lock_guard<std::mutex> guard(forced().mutex);
  forced().processors = count;
}

}  // namespace platform::system
