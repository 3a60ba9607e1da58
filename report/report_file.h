// The report file: written as a text-mode file, so every "\n" goes out as CR LF.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>

namespace report {

class ReportFile {
 public:
  ReportFile() = default;
  ~ReportFile() { Close(); }
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;

  // Creates the file at the Windows path, replacing one that exists; false when it
  // cannot be created.
  bool Create(std::string_view windows_path);
  // Writes text with its line feeds as CR LF; false when the write failed.
  bool Write(std::string_view text);
  // Write() of a printf format.
  bool Printf(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  // Tests: writes fail once this many bytes have gone out (negative: never).
  void FailAfterForTest(long bytes) { fail_after_ = bytes; }

 private:
  std::FILE* file_ = nullptr;
  long written_ = 0;
  long fail_after_ = -1;
};

}  // namespace report
