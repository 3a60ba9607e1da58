#include "report/report_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>

#include "platform/format.h"
#include "platform/paths.h"

namespace report {

bool ReportFile::Create(std::string_view windows_path) {
  Close();
  const auto host = platform::paths::ToHost(windows_path);
  if (!host) return false;
  // A link planted at the chosen name is not followed.
  const int fd = ::open(host->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  file_ = ::fdopen(fd, "wb");
  if (!file_) {
    ::close(fd);
    return false;
  }
  written_ = 0;
  return true;
}

bool ReportFile::Write(std::string_view text) {
  if (!file_) return false;
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  if (fail_after_ >= 0 && written_ + static_cast<long>(out.size()) > fail_after_) {
    const size_t room = fail_after_ > written_ ? static_cast<size_t>(fail_after_ - written_) : 0;
    std::fwrite(out.data(), 1, room, file_);
    written_ += static_cast<long>(room);
    return false;
  }
  if (std::fwrite(out.data(), 1, out.size(), file_) != out.size()) return false;
  written_ += static_cast<long>(out.size());
  return true;
}

bool ReportFile::Printf(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  const std::string text = platform::FormatV(fmt, args);
  va_end(args);
  return Write(text);
}

void ReportFile::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

}  // namespace report
