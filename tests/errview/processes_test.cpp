// The error display among other processes: the single instance, and what the scanner
// indicator hears when the window closes. The indicator is the desktop tests' peer; the
// open error display of the second-start test is this test program again (ErrviewPeer).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "errview/control_ids.h"
#include "errview/errview_app.h"
#include "errview/errview_dlg.h"
#include "platform/ui/application.h"
#include "platform/ui/desktop.h"
#include "platform/ui/modal_actions.h"
#include "platform/ui/user_input.h"
#include "tests/platform/test_env.h"

extern char** environ;

namespace errview {
namespace {

using namespace std::chrono_literals;
using platform::testing::TempDir;

constexpr const char* kPeerVariable = "ERRVIEW_PEER";
constexpr int kReportFd = 3;

// A child process whose report (fd 3, or standard output) is read line by line.
class Child {
 public:
  Child(std::vector<std::string> argv_text, const std::vector<std::string>& extra_env, bool report_on_fd3) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    env.insert(env.end(), extra_env.begin(), extra_env.end());
    std::vector<char*> argv, envp;
    for (std::string& a : argv_text) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    int out[2];
    EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], report_on_fd3 ? kReportFd : 1);
    if (report_on_fd3) posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    EXPECT_EQ(::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    out_ = out[0];
  }
  ~Child() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    ::close(out_);
  }

  // The next line, or "<no line>" after `patience`.
  std::string ReadLine(std::chrono::milliseconds patience = 10s) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
      if (const size_t end = buffer_.find('\n'); end != std::string::npos) {
        std::string line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd fd{out_, POLLIN, 0};
      char chunk[256];
      ssize_t n = 0;
      if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0 ||
          (n = ::read(out_, chunk, sizeof chunk)) <= 0)
        return "<no line>";
      buffer_.append(chunk, static_cast<size_t>(n));
    }
  }
  int Wait() {
    int status = -1;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string buffer_;
};

void Report(const std::string& line) {
  const std::string text = line + "\n";
  EXPECT_EQ(::write(kReportFd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

// The other process: an error display for U11 that reports "ready", waits to be brought
// forward and then reports what it shows.
TEST(ErrviewPeer, Serve) {
  if (!std::getenv(kPeerVariable)) GTEST_SKIP() << "the other process of the second-start test";
  platform::ui::ModalActions actions;
  actions.On<CerrviewDlg>([](CerrviewDlg& dlg) {
    platform::ui::SetForegroundOverride(platform::HWND(nullptr));
    Report("ready");
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (platform::ui::GetForegroundWindow() != &dlg && std::chrono::steady_clock::now() < deadline) {
      platform::ui::ProcessPendingEvents();
      std::this_thread::sleep_for(5ms);
    }
    Report(std::string(platform::ui::GetForegroundWindow() == &dlg ? "foreground " : "background ") +
           dlg.GetDlgItemText(id::kPart2) + " " + dlg.GetDlgItemText(id::kPart3));
  });
  const char* argv[] = {"errview", "U11", "0x0203", "first", "", "T9793Z", "C:\\none.csv"};
  CerrviewApp app;
  app.InitInstance(7, argv);
  app.ExitInstance();
}

class ErrviewProcesses : public ::testing::Test {
 protected:
  // The built program with an automation script; its exit code.
  int RunErrview(const std::string& steps, std::vector<std::string> args = {"U11", "0x0203", "m1", "m2", "T9793Z", "C:\\none.csv"}) {
    platform::testing::WriteAll(dir_.path() / "steps", steps);
    args.insert(args.begin(), ERRVIEW_PROGRAM);
    Child program(args, {"SCANUTIL_AUTOMATION=" + (dir_.path() / "steps").string()}, false);
    return program.Wait();
  }
  Child Indicator() { return Child({DESKTOP_PEER, "serve", kIndicatorProperty}, {}, false); }

  TempDir dir_;
  platform::testing::ScopedEnv runtime_{"XDG_RUNTIME_DIR", dir_.path().string()};
  platform::testing::ScopedEnv prefix_{"SCANUTIL_PREFIX", (dir_.path() / "prefix").string()};
  platform::testing::ScopedEnv qt_{"QT_QPA_PLATFORM", "offscreen"};
};

TEST_F(ErrviewProcesses, ASecondStartLeavesTheFirstWindowAndBringsItForward) {
  ::chmod(dir_.path().c_str(), 0700);
  Child first({"/proc/self/exe", "--gtest_filter=ErrviewPeer.Serve"}, {std::string(kPeerVariable) + "=1"}, true);
  ASSERT_EQ(first.ReadLine(), "ready");
  const std::string dump = (dir_.path() / "second.json").string();
  EXPECT_EQ(RunErrview("dump " + dump + "\n", {"E99", "0x9999", "second", "", "T9793Z", "C:\\none.csv"}), 0);
  EXPECT_EQ(first.ReadLine(), "foreground U11 0x0203");
  EXPECT_FALSE(std::filesystem::exists(dump));  // the second start showed no window
}

TEST_F(ErrviewProcesses, CloseAndTheCloseBoxTellTheIndicatorEnterDoesNot) {
  ::chmod(dir_.path().c_str(), 0700);
  Child indicator = Indicator();
  ASSERT_EQ(indicator.ReadLine(), "ready");
  const std::string closed = "message " + std::to_string(id::kDisplayClosed) + " 0 0";
  EXPECT_EQ(RunErrview("focus 1160\nkey enter\n"), 0);
  EXPECT_EQ(RunErrview("click 2\n"), 0);
  EXPECT_EQ(indicator.ReadLine(), closed);  // only Close's: Enter sent nothing before it
  EXPECT_EQ(RunErrview("close\n"), 0);
  EXPECT_EQ(indicator.ReadLine(), closed);
  EXPECT_EQ(RunErrview("key escape\n"), 0);
  EXPECT_EQ(indicator.ReadLine(), closed);
  EXPECT_EQ(indicator.ReadLine(1s), "<no line>");  // once each
}

// 1283 from the indicator: the window closes and reports nothing back.
TEST_F(ErrviewProcesses, CloseRequestFromTheIndicatorIsNotAnswered) {
  ::chmod(dir_.path().c_str(), 0700);
  Child indicator = Indicator();
  ASSERT_EQ(indicator.ReadLine(), "ready");
  platform::ui::ModalActions actions;
  bool closed_itself = false;
  actions.On<CerrviewDlg>([&](CerrviewDlg& dlg) {
    Child post({DESKTOP_PEER, "post", kWindowProperty, std::to_string(id::kCloseDisplay)}, {}, false);
    EXPECT_EQ(post.ReadLine(), "posted");
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    // Ended by itself: no longer among the open dialogs.
    auto open = [&] { return platform::ui::TopDialog() == &dlg; };
    while (open() && std::chrono::steady_clock::now() < deadline) {
      platform::ui::ProcessPendingEvents();
      std::this_thread::sleep_for(5ms);
    }
    closed_itself = !open();
  });
  CerrviewDlg dlg;
  dlg.SetSettingsFile((dir_.path() / "none.ini").string());
  dlg.SetInputs({"U11", "0x1", "a", "b", "T9793Z", "C:\\none.csv"});
  EXPECT_EQ(dlg.DoModal(), platform::IDCANCEL);
  EXPECT_TRUE(closed_itself);
  EXPECT_EQ(indicator.ReadLine(1s), "<no line>");
}

}  // namespace
}  // namespace errview
