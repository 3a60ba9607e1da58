// Opening a document or folder with the desktop's default program, as the Windows
// shell's "open" verb does. The answer is the shell's: above 32 for success, else an
// error code (SE_ERR_FNF, SE_ERR_PNF, SE_ERR_NOASSOC).
//
// Tests install an opener: it receives every request that would reach the desktop and
// returns the result to report, so no test ever opens anything for real.
#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/ui_types.h"

namespace platform::ui {

constexpr INT_PTR SE_ERR_FNF = 2;       // file not found
constexpr INT_PTR SE_ERR_PNF = 3;       // path not found (no such drive)
constexpr INT_PTR SE_ERR_NOASSOC = 31;  // no program for the file, or the verb is not known
// What a successful call answers.
constexpr INT_PTR kShellOpened = 42;

struct ShellOpenRequest {
  HWND hwnd = nullptr;
  std::string verb;
  std::string file;  // as the caller gave it
  std::string parameters;
  std::string directory;
  int show = 0;
  std::filesystem::path host_path;  // the existing file or folder it names; empty for a web address
};

// Verb "open" (or empty) on an existing file or folder, or on a web address (http://,
// https://): the request goes to the opener
// (by default the desktop, through QDesktopServices). A relative file is taken in
// `directory` when one is given. Parameters are passed to documents by no desktop and
// are only recorded.
INT_PTR ShellExecute(HWND hwnd, const std::string& verb, const std::string& file, const std::string& parameters,
                     const std::string& directory, int show);

using ShellOpener = std::function<INT_PTR(const ShellOpenRequest&)>;
// Null restores the desktop.
void SetShellOpener(ShellOpener opener);

// Records the requests for its lifetime and answers each with `result`.
class ShellLog {
 public:
  explicit ShellLog(INT_PTR result = kShellOpened) : result(result) {
    SetShellOpener([this](const ShellOpenRequest& request) {
      requests.push_back(request);
      return this->result;
    });
  }
  ~ShellLog() { SetShellOpener(nullptr); }
  ShellLog(const ShellLog&) = delete;
  ShellLog& operator=(const ShellLog&) = delete;

  INT_PTR result;
  std::vector<ShellOpenRequest> requests;
};

}  // namespace platform::ui
