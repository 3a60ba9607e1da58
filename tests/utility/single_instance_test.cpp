// The single-instance check against utility windows in other processes. The other
// process is this test program again, running only InstancePeer.Serve.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <sstream>

#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/handles.h"
#include "platform/language.h"
#include "platform/message_box.h"
#include "platform/named.h"
#include "platform/paths.h"
#include "resources/app_resources.h"
#include "tests/platform/test_env.h"
#include "utility/service_utility_app.h"

extern char** environ;

namespace utility {
namespace {

using namespace std::chrono_literals;
using platform::testing::ScopedEnv;
using platform::testing::TempDir;

constexpr const char* kPeerVariable = "UTILITY_INSTANCE_PEER";
constexpr int kPeerOut = 3;  // the peer's report goes here; gtest has its standard output
constexpr auto kPatience = 10s;
constexpr const char* kNormalMutex = "QMXUUtilityMultiCheckMutex";
constexpr const char* kIndicatorMutex = "QMXUDtilityMultiCheckMutex";
constexpr platform::UINT kSentinel = platform::WM_USER + 99;

void Say(const std::string& line) {
  const std::string text = line + "\n";
  EXPECT_EQ(::write(kPeerOut, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

// What the peer's window received, one line each.
struct PeerInbox {
  std::mutex mutex;
  std::condition_variable cv;
  std::deque<std::string> lines;

  void Add(std::string line) {
    std::lock_guard<std::mutex> guard(mutex);
    lines.push_back(std::move(line));
    cv.notify_one();
  }
  std::string Next() {
    std::unique_lock<std::mutex> lock(mutex);
    cv.wait(lock, [this] { return !lines.empty(); });
    std::string line = lines.front();
    lines.pop_front();
    return line;
  }
};

// The other process: a utility window carrying PROPERTY, holding MUTEX; it prints
// "ready HWND", then a line for each message or request, and ends after WM_CLOSE.
TEST(InstancePeer, Serve) {
  const char* role = std::getenv(kPeerVariable);
  if (!role) GTEST_SKIP() << "the other process of the single-instance tests";
  std::istringstream words(role);
  std::string property, mutex_name;
  words >> property >> mutex_name;
  PeerInbox inbox;
  platform::DesktopCallbacks callbacks;
  callbacks.message = [&](platform::UINT message, platform::WPARAM wparam, platform::LPARAM lparam) {
    inbox.Add("message " + std::to_string(message) + " " + std::to_string(wparam) + " " + std::to_string(lparam));
  };
  callbacks.request = [&](platform::WindowRequest request) {
    inbox.Add(request == platform::WindowRequest::kRestore ? "restore" : "foreground");
  };
  platform::DesktopWindow window(callbacks);
  ASSERT_TRUE(platform::SetProp(window.hwnd(), property, reinterpret_cast<platform::HANDLE>(1)));
  platform::HANDLE mutex = platform::CreateMutex(false, mutex_name);
  ASSERT_EQ(platform::GetLastError(), 0u);
  Say("ready " + std::to_string(reinterpret_cast<uintptr_t>(window.hwnd())));
  for (;;) {
    const std::string line = inbox.Next();
    Say(line);
    if (line == "message " + std::to_string(platform::WM_CLOSE) + " 0 0") break;
  }
  platform::CloseHandle(mutex);
}

// A peer in a process of its own, and what it reports.
class Peer {
 public:
  Peer(const std::string& property, const std::string& mutex) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    env.push_back(std::string(kPeerVariable) + "=" + property + " " + mutex);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = "/proc/self/exe", filter = "--gtest_filter=InstancePeer.Serve";
    char* argv[] = {program.data(), filter.data(), nullptr};

    int out[2];
    EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], kPeerOut);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    EXPECT_EQ(::posix_spawn(&pid_, argv[0], &actions, nullptr, argv, envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    out_ = out[0];

    std::istringstream ready(ReadLine());
    std::string word;
    uintptr_t number = 0;
    ready >> word >> number;
    EXPECT_EQ(word, "ready");
    hwnd_ = reinterpret_cast<platform::HWND>(number);
  }
  ~Peer() {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    ::close(out_);
  }
  Peer(const Peer&) = delete;
  Peer& operator=(const Peer&) = delete;

  std::string ReadLine() {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
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
  // The next lines up to a message posted now: all that the window was sent before.
  std::vector<std::string> ReceivedSoFar() {
    EXPECT_TRUE(platform::PostMessage(hwnd_, kSentinel, 0, 0));
    const std::string sentinel = "message " + std::to_string(kSentinel) + " 0 0";
    std::vector<std::string> lines;
    for (std::string line = ReadLine(); line != sentinel && line != "<no line>"; line = ReadLine())
      lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string buffer_;
  platform::HWND hwnd_ = nullptr;
};

const std::vector<std::string> kBroughtForward = {"foreground", "restore"};
const std::string kCloseRequest = "message " + std::to_string(platform::WM_CLOSE) + " 0 0";

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths::SetProgramFolderForTest(program_.path());
    platform::ForceLangIdsForTest(0x0409, 0x0409);
  }
  void TearDown() override {
    platform::ForceLangIdsForTest(std::nullopt, std::nullopt);
    platform::paths::SetProgramFolderForTest(std::nullopt);
    resources::ResetAppResources();
    platform::SetAppName("");
  }

  // Runs the start sequence; true when it went past the single-instance check.
  bool Start(CServiceUtilityApp& app, std::vector<const char*> args) {
    args.insert(args.begin(), "scanutil");
    app.InitInstance(static_cast<int>(args.size()), args.data());
    return !app.app_name().empty();
  }

  static bool MutexIsFree(const char* name) {
    platform::HANDLE mutex = platform::CreateMutex(false, name);
    const bool free = mutex && platform::GetLastError() == 0;
    platform::CloseHandle(mutex);
    return free;
  }

  TempDir runtime_;
  ScopedEnv runtime_env_{"XDG_RUNTIME_DIR", runtime_.path().string()};
  platform::testing::ScopedPrefix prefix_;
  TempDir program_;
  platform::ScopedFakeClock clock_;
};

TEST_F(SingleInstanceTest, ANormalStartClosesTheFirstIndicatorStartedWindowAndGoesOnAfter100Ms) {
  Peer first(kIndicatorWindowProperty, kIndicatorMutex);
  Peer second(kIndicatorWindowProperty, "");
  CServiceUtilityApp app;
  const uint64_t before = clock_->Now();
  EXPECT_TRUE(Start(app, {}));
  EXPECT_EQ(clock_->Now() - before, 100u);
  EXPECT_EQ(first.ReadLine(), kCloseRequest);
  EXPECT_TRUE(second.ReceivedSoFar().empty()) << "only the first is asked to close";
  EXPECT_EQ(app.app_name(), "User Utility");
  EXPECT_NE(app.instance_mutex(), nullptr);
  EXPECT_FALSE(MutexIsFree(kNormalMutex));
  app.ExitInstance();
  EXPECT_EQ(app.instance_mutex(), nullptr);
  EXPECT_TRUE(MutexIsFree(kNormalMutex));
}

TEST_F(SingleInstanceTest, ASecondNormalStartBringsTheRunningWindowsForwardAndStops) {
  Peer normal(kNormalWindowProperty, kNormalMutex);
  CServiceUtilityApp app;
  const uint64_t before = clock_->Now();
  EXPECT_FALSE(Start(app, {"/other"}));
  EXPECT_EQ(normal.ReceivedSoFar(), kBroughtForward);
  EXPECT_EQ(clock_->Now(), before) << "no indicator-started window to wait for";
  EXPECT_EQ(app.instance_mutex(), nullptr);
  app.ExitInstance();
  EXPECT_FALSE(MutexIsFree(kNormalMutex)) << "still the first instance's";
}

TEST_F(SingleInstanceTest, AnIndicatorStartRefusesOnlyWhileAnotherIndicatorStartHoldsItsMutex) {
  {
    Peer normal(kNormalWindowProperty, kNormalMutex);
    CServiceUtilityApp app;
    EXPECT_TRUE(Start(app, {"-Indicator"}));
    EXPECT_EQ(app.indicator_mode(), 1);
    EXPECT_TRUE(normal.ReceivedSoFar().empty()) << "an indicator start closes nothing";
    app.ExitInstance();
  }
  Peer indicator(kIndicatorWindowProperty, kIndicatorMutex);
  Peer normal(kNormalWindowProperty, "");
  CServiceUtilityApp app;
  EXPECT_FALSE(Start(app, {"Indicator"}));
  EXPECT_EQ(indicator.ReceivedSoFar(), kBroughtForward) << "brought forward, not closed";
  EXPECT_EQ(normal.ReceivedSoFar(), kBroughtForward) << "every utility window comes forward";
  app.ExitInstance();
}

}  // namespace
}  // namespace utility
