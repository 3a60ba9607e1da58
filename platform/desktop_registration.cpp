#include "platform/desktop_registration.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>

#include "platform/desktop.h"
#include "platform/file_io.h"
#include "platform/format.h"
#include "platform/text.h"

namespace platform::desktop {
namespace {

constexpr std::string_view kHeader = "scanutil-window 1";
constexpr std::string_view kWindowSuffix = ".win";
constexpr std::string_view kSocketSuffix = ".sock";
constexpr size_t kSequenceDigits = 20;
constexpr size_t kMaxSocketName = 64;

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

template <typename T>
std::optional<T> ParseNumber(std::string_view s, int base) {
  T value{};
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value, base);
  if (s.empty() || error != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return value;
}

// "<20 digits><suffix>" gives the number, else nullopt.
std::optional<uint64_t> NumberedName(std::string_view name, std::string_view suffix) {
  if (name.size() != kSequenceDigits + suffix.size() || !name.ends_with(suffix)) return std::nullopt;
  name.remove_suffix(suffix.size());
  if (!std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
  return ParseNumber<uint64_t>(name, 10);
}

bool PlainNameByte(char c) { return c > ' ' && c <= '~' && c != '%'; }

std::string EncodeName(std::string_view name) {
  std::string encoded;
  for (char c : name) encoded += PlainNameByte(c) ? std::string(1, c) : Format("%%%02X", static_cast<uint8_t>(c));
  return encoded;
}

std::optional<std::string> DecodeName(std::string_view encoded) {
  std::string name;
  for (size_t i = 0; i < encoded.size(); ++i) {
    if (encoded[i] != '%') {
      if (!PlainNameByte(encoded[i])) return std::nullopt;
      name += encoded[i];
      continue;
    }
    if (i + 2 >= encoded.size()) return std::nullopt;  // two hex digits follow the %
    const std::optional<uint8_t> byte = ParseNumber<uint8_t>(encoded.substr(i + 1, 2), 16);
    if (!byte) return std::nullopt;
    name += static_cast<char>(*byte);
    i += 2;
  }
  if (name.empty() || name.size() > kMaxPropertyName) return std::nullopt;
  return name;
}

bool ValidSocketName(std::string_view name) {
  return NumberedName(name, kSocketSuffix).has_value() && name.size() <= kMaxSocketName;
}

// Splits "key rest" at the first space.
std::pair<std::string_view, std::string_view> SplitKey(std::string_view line) {
  const size_t space = line.find(' ');
  if (space == std::string_view::npos) return {line, {}};
  return {line.substr(0, space), line.substr(space + 1)};
}

std::optional<Property> ParseProperty(std::string_view rest) {
  const auto [value, encoded] = SplitKey(rest);
  const std::optional<uint64_t> number = ParseNumber<uint64_t>(value, 16);
  const std::optional<std::string> name = DecodeName(encoded);
  if (!number || !name) return std::nullopt;
  return Property{*name, *number};
}

// Reads at most kMaxRegistrationBytes + 1 bytes, so an oversized file shows as one.
std::optional<std::string> ReadBounded(const std::filesystem::path& path) {
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (fd.get() < 0) return std::nullopt;
  std::string bytes(kMaxRegistrationBytes + 1, '\0');
  size_t filled = 0;
  while (filled < bytes.size()) {
    const ssize_t n = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    filled += static_cast<size_t>(n);
  }
  bytes.resize(filled);
  return bytes;
}

// The highest number any window or socket in the folder carries.
uint64_t HighestNumberInUse(const std::filesystem::path& folder) {
  uint64_t highest = 0;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    for (std::string_view suffix : {kWindowSuffix, kSocketSuffix})
      if (const std::optional<uint64_t> n = NumberedName(name, suffix)) highest = std::max(highest, *n);
  }
  return highest;
}

std::optional<uint64_t> ReadCounter(int fd) {
  char buffer[32];
  const ssize_t n = ::pread(fd, buffer, sizeof buffer, 0);
  if (n <= 0) return std::nullopt;
  return ParseNumber<uint64_t>(text::Trim(std::string_view(buffer, static_cast<size_t>(n))), 10);
}

}  // namespace

std::optional<std::filesystem::path> DesktopFolder() {
  std::filesystem::path folder;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/') {
    folder = std::filesystem::path(runtime) / "scanutil-desktop";
  } else {
    const char* tmp = std::getenv("TMPDIR");
    // The temporary folder is shared by all users, so each has a folder of their own.
    folder = std::filesystem::path(tmp && *tmp ? tmp : "/tmp") / Format("scanutil-desktop-%u", ::getuid());
  }
  std::error_code ec;
  std::filesystem::create_directories(folder.parent_path(), ec);
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::nullopt;
  // Whoever can write here can post to our windows and plant registrations.
  struct stat st{};
  if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return std::nullopt;
  if ((st.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) return std::nullopt;
  return folder;
}

uint64_t NextSequence(const std::filesystem::path& folder) {
  Fd fd(::open((folder / "sequence").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (fd.get() < 0) return 0;
  int rc;
  while ((rc = ::flock(fd.get(), LOCK_EX)) != 0 && errno == EINTR) {
  }
  if (rc != 0) return 0;
  // A damaged or missing counter must not hand out a number still in use.
  const uint64_t next = std::max(ReadCounter(fd.get()).value_or(0), HighestNumberInUse(folder)) + 1;
  const std::string text = std::to_string(next) + "\n";
  const bool written =
      ::ftruncate(fd.get(), 0) == 0 && ::pwrite(fd.get(), text.data(), text.size(), 0) == static_cast<ssize_t>(text.size());
  if (!written) return 0;
  return next;  // closing the file releases the lock
}

std::string SocketName(uint64_t sequence) {
  return Format("%020llu", static_cast<unsigned long long>(sequence)) + std::string(kSocketSuffix);
}

std::filesystem::path RegistrationPath(const std::filesystem::path& folder, uint64_t window) {
  return folder / (Format("%020llu", static_cast<unsigned long long>(window)) + std::string(kWindowSuffix));
}

std::string FormatRegistration(const Registration& registration) {
  std::string text = std::string(kHeader) + "\n";
  text += Format("pid %d\n", registration.pid);
  text += "socket " + registration.socket + "\n";
  for (const Property& p : registration.properties)
    text += Format("prop %llx ", static_cast<unsigned long long>(p.value)) + EncodeName(p.name) + "\n";
  return text;
}

std::optional<Registration> ParseRegistration(std::string_view text) {
  if (text.size() > kMaxRegistrationBytes || !text.ends_with('\n')) return std::nullopt;
  Registration registration;
  bool header = false;
  bool socket = false;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (!header) {
      if (line != kHeader) return std::nullopt;
      header = true;
      continue;
    }
    const auto [key, rest] = SplitKey(line);
    if (key == "pid") {
      const std::optional<int> pid = ParseNumber<int>(rest, 10);
      if (!pid || *pid <= 0) return std::nullopt;
      registration.pid = *pid;
    } else if (key == "socket") {
      if (!ValidSocketName(rest)) return std::nullopt;
      registration.socket = std::string(rest);
      socket = true;
    } else if (key == "prop") {
      std::optional<Property> property = ParseProperty(rest);
      if (!property || registration.properties.size() == kMaxProperties) return std::nullopt;
      registration.properties.push_back(std::move(*property));
    }  // other keys belong to later versions
  }
  if (registration.pid == 0 || !socket) return std::nullopt;
  return registration;
}

bool WriteRegistration(const std::filesystem::path& folder, uint64_t window, const Registration& registration) {
  return files::WriteFileAtomically(RegistrationPath(folder, window), FormatRegistration(registration), 0600);
}

std::optional<Registration> ReadRegistration(const std::filesystem::path& folder, uint64_t window) {
  const std::optional<std::string> text = ReadBounded(RegistrationPath(folder, window));
  if (!text) return std::nullopt;
  return ParseRegistration(*text);
}

void RemoveRegistration(const std::filesystem::path& folder, uint64_t window, const std::string& socket) {
  ::unlink(RegistrationPath(folder, window).c_str());
  if (ValidSocketName(socket)) ::unlink((folder / socket).c_str());
}

std::vector<uint64_t> ListRegistrations(const std::filesystem::path& folder) {
  std::vector<uint64_t> windows;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
    if (const std::optional<uint64_t> n = NumberedName(entry.path().filename().string(), kWindowSuffix); n && *n != 0)
      windows.push_back(*n);
  std::sort(windows.begin(), windows.end());
  return windows;
}

}  // namespace platform::desktop
