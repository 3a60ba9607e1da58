// The built scanutil on a copy of the demo scenario, in a folder of its own (prefix,
// runtime and temporary folders), so that no other test's instance mutex or window is
// seen; an automation script drives it and the run ends before the constructor returns.
// "{folder}" in the steps stands for that folder.
#pragma once
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/platform/test_env.h"

namespace utility::testing {

class DemoRun {
 public:
  DemoRun(const std::string& steps, const std::vector<std::string>& args = {}) {
    namespace fs = std::filesystem;
    const fs::path scenario = dir_.path() / "demo.ini";
    fs::copy_file(DEMO_SCENARIO, scenario);
    std::string text = steps;
    for (size_t at; (at = text.find("{folder}")) != std::string::npos;) text.replace(at, 8, dir_.path().string());
    platform::testing::WriteAll(dir_.path() / "steps", text);
    fs::create_directories(dir_.path() / "run", error_);
    fs::permissions(dir_.path() / "run", fs::perms::owner_all, error_);  // as a runtime folder must be
    std::vector<std::string> env = {
        "SCANUTIL_PREFIX=" + (dir_.path() / "prefix").string(),
        "SCANUTIL_SCENARIO=" + scenario.string(),
        "SCANUTIL_AUTOMATION=" + (dir_.path() / "steps").string(),
        "XDG_RUNTIME_DIR=" + (dir_.path() / "run").string(),
        "TMPDIR=" + dir_.path().string(),
        "HOME=" + dir_.path().string(),
        "QT_QPA_PLATFORM=offscreen",
    };
    // A sanitizer build's program reads the same suppressions as the test.
    for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS"})
      if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
    std::vector<std::string> argv_text = {SCANUTIL_PROGRAM};
    argv_text.insert(argv_text.end(), args.begin(), args.end());
    std::vector<char*> argv, envp;
    for (std::string& a : argv_text) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) ::waitpid(pid, &status_, 0);
    posix_spawn_file_actions_destroy(&actions);
  }

  // The wait status; -1 when the program could not be started.
  int status() const { return status_; }
  bool ExitedWith(int code) const { return status_ != -1 && WIFEXITED(status_) && WEXITSTATUS(status_) == code; }
  const std::filesystem::path& folder() const { return dir_.path(); }
  std::filesystem::path drive_c() const { return dir_.path() / "prefix" / "drive_c"; }

 private:
  platform::testing::TempDir dir_;
  std::error_code error_;
  int status_ = -1;
};

}  // namespace utility::testing
