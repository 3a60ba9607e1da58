#include "platform/desktop.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/desktop_registration.h"
#include "platform/desktop_wire.h"
#include "tests/platform/test_env.h"

extern char** environ;

namespace platform {
namespace {

using desktop::Record;
using desktop::RecordKind;
using desktop::Registration;
using testing::ScopedEnv;
using testing::TempDir;
using namespace std::chrono_literals;

constexpr auto kPatience = 10s;  // bound for anything another thread or process must do

HANDLE Value(uintptr_t v) { return reinterpret_cast<HANDLE>(v); }
uint64_t Number(HWND hwnd) { return reinterpret_cast<uintptr_t>(hwnd); }
HWND Handle(uint64_t number) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(number)); }

template <typename Ready>
bool Eventually(Ready ready) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!ready()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

size_t ThreadCount() {
  const std::filesystem::directory_iterator tasks("/proc/self/task");
  return static_cast<size_t>(std::distance(begin(tasks), end(tasks)));
}

// What a window received, as the lines the peer program prints.
class Inbox {
 public:
  DesktopCallbacks Callbacks() {
    DesktopCallbacks callbacks;
    callbacks.message = [this](UINT message, WPARAM wparam, LPARAM lparam) {
      Add("message " + std::to_string(message) + " " + std::to_string(wparam) + " " + std::to_string(lparam));
    };
    callbacks.request = [this](WindowRequest request) {
      Add(request == WindowRequest::kRestore ? "restore" : "foreground");
    };
    return callbacks;
  }
  // Waits, within bounds, for count lines and returns what has arrived.
  std::vector<std::string> WaitFor(size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait_for(lock, kPatience, [&] { return lines_.size() >= count; });
    return lines_;
  }
  std::thread::id thread() {
    std::lock_guard<std::mutex> guard(mutex_);
    return thread_;
  }

 private:
  void Add(std::string line) {
    std::lock_guard<std::mutex> guard(mutex_);
    lines_.push_back(std::move(line));
    thread_ = std::this_thread::get_id();
    cv_.notify_all();
  }
  std::mutex mutex_;
  std::condition_variable cv_;
  std::vector<std::string> lines_;
  std::thread::id thread_;
};

// The helper program in a process of its own, its output read line by line.
class Peer {
 public:
  explicit Peer(std::vector<std::string> args) {
    args.insert(args.begin(), DESKTOP_PEER);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    EXPECT_EQ(::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    out_ = out[0];
  }
  ~Peer() {
    if (pid_ > 0) Kill();
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
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd fd{out_, POLLIN, 0};
      char chunk[256];
      ssize_t n = 0;
      if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0 ||
          (n = ::read(out_, chunk, sizeof chunk)) <= 0)
        return "<no line>";
      buffer_.append(chunk, static_cast<size_t>(n));
    }
  }
  // The exit status once the process has ended.
  int Wait() {
    int status = 0;
    EXPECT_EQ(::waitpid(pid_, &status, 0), pid_);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void Kill() {
    ::kill(pid_, SIGKILL);
    Wait();
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string buffer_;
};

int ListeningSocket(const std::filesystem::path& path, int backlog) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  EXPECT_EQ(::listen(fd, backlog), 0);
  return fd;
}

// The thread sanitizer does not let a child of a threaded fork start threads.
#ifdef __SANITIZE_THREAD__
#define SKIP_FORKED_THREADS() GTEST_SKIP() << "threads after fork are not supported by the thread sanitizer"
#else
#define SKIP_FORKED_THREADS() (void)0
#endif

class DesktopTest : public ::testing::Test {
 protected:
  std::filesystem::path Folder() const { return runtime_.path() / "scanutil-desktop"; }
  // Registration and socket files, without the sequence counter.
  std::vector<std::string> Files() const {
    std::vector<std::string> names = testing::FolderNames(Folder());
    std::erase(names, "sequence");
    return names;
  }
  size_t Count(std::string_view suffix) const {
    const std::vector<std::string> names = Files();
    const auto has_suffix = [&](const std::string& n) { return n.ends_with(suffix); };
    return static_cast<size_t>(std::count_if(names.begin(), names.end(), has_suffix));
  }
  std::filesystem::path SocketOf(HWND hwnd) const {
    const std::optional<Registration> registration = desktop::ReadRegistration(Folder(), Number(hwnd));
    EXPECT_TRUE(registration);
    return Folder() / (registration ? registration->socket : "");
  }
  void Plant(uint64_t number, int pid, const std::string& socket, const std::string& property) {
    ASSERT_TRUE(desktop::WriteRegistration(Folder(), number, Registration{pid, socket, {{property, 1}}}));
  }

  TempDir runtime_;
  ScopedEnv env_{"XDG_RUNTIME_DIR", runtime_.path().string()};
};

TEST_F(DesktopTest, PropertiesAreRegisteredAndFoundByName) {
  Inbox inbox;
  DesktopWindow a(inbox.Callbacks()), b(inbox.Callbacks());
  EXPECT_EQ(FindWindowWithProperty("QMXUUtilityWindowClass"), nullptr);
  ASSERT_TRUE(SetProp(a.hwnd(), "QMXUUtilityWindowClass", Value(1)));
  EXPECT_EQ(GetProp(a.hwnd(), "QMXUUtilityWindowClass"), Value(1));
  EXPECT_EQ(GetProp(a.hwnd(), "qmxuutilitywindowclass"), Value(1));
  EXPECT_EQ(GetProp(a.hwnd(), "QMXUDtilityWindowClass"), nullptr);
  EXPECT_EQ(GetProp(b.hwnd(), "QMXUUtilityWindowClass"), nullptr);
  EXPECT_EQ(FindWindowWithProperty("QMXUUtilityWindowClass"), a.hwnd());
  EXPECT_EQ(Count(".win"), 1u);  // b carries nothing, so nobody else needs to know it

  ASSERT_TRUE(SetProp(b.hwnd(), "QMXUUtilityWindowClass", Value(2)));
  ASSERT_TRUE(SetProp(a.hwnd(), "QMXUDtilityWindowClass", Value(3)));
  EXPECT_EQ(FindWindowWithProperty("QMXUUtilityWindowClass"), a.hwnd());
  EXPECT_EQ(RemoveProp(a.hwnd(), "QMXUUtilityWindowClass"), Value(1));
  EXPECT_EQ(RemoveProp(a.hwnd(), "QMXUUtilityWindowClass"), nullptr);
  EXPECT_EQ(FindWindowWithProperty("QMXUUtilityWindowClass"), b.hwnd());
  const std::optional<Registration> file = desktop::ReadRegistration(Folder(), Number(a.hwnd()));
  ASSERT_TRUE(file);  // what other processes read matches
  ASSERT_EQ(file->properties.size(), 1u);
  EXPECT_EQ(file->properties[0].name, "QMXUDtilityWindowClass");
  EXPECT_EQ(file->properties[0].value, 3u);
  EXPECT_EQ(file->pid, ::getpid());
  EXPECT_EQ(RemoveProp(a.hwnd(), "QMXUDtilityWindowClass"), Value(3));
  EXPECT_EQ(Count(".win"), 1u);

  EXPECT_FALSE(SetProp(a.hwnd(), "", Value(1)));
  EXPECT_FALSE(SetProp(a.hwnd(), std::string(kMaxPropertyName + 1, 'n'), Value(1)));
  EXPECT_TRUE(SetProp(a.hwnd(), std::string(kMaxPropertyName, 'n'), Value(1)));
  EXPECT_FALSE(SetProp(nullptr, "Name", Value(1)));
  EXPECT_FALSE(SetProp(Handle(Number(b.hwnd()) + 1000), "Name", Value(1)));
}

TEST_F(DesktopTest, RegistrationFilesKeepAnyNameAndRefuseDamage) {
  const Registration written{4242,
                             desktop::SocketName(7),
                             {{"QMXUUtilityWindowClass", 1},
                              {std::string("a b%\n\x01\xff\0z", 9), UINT64_MAX},
                              {std::string(kMaxPropertyName, 'x'), 0}}};
  const std::string text = desktop::FormatRegistration(written);
  const std::optional<Registration> read = desktop::ParseRegistration(text);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->pid, 4242);
  EXPECT_EQ(read->socket, "00000000000000000007.sock");
  ASSERT_EQ(read->properties.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(read->properties[i].name, written.properties[i].name);
    EXPECT_EQ(read->properties[i].value, written.properties[i].value);
  }
  EXPECT_TRUE(desktop::ParseRegistration(text + "later-key anything\n"));

  const std::string head = "scanutil-window 1\npid 7\nsocket 00000000000000000007.sock\n";
  std::string many = head;
  for (size_t i = 0; i <= desktop::kMaxProperties; ++i) many += "prop 1 p" + std::to_string(i) + "\n";
  const std::string damaged[] = {
      "",
      "scanutil-window 2\npid 7\nsocket 00000000000000000007.sock\n",
      "scanutil-window 1\nsocket 00000000000000000007.sock\n",
      "scanutil-window 1\npid 7\n",
      "scanutil-window 1\npid 0\nsocket 00000000000000000007.sock\n",
      "scanutil-window 1\npid -7\nsocket 00000000000000000007.sock\n",
      "scanutil-window 1\npid 7x\nsocket 00000000000000000007.sock\n",
      "scanutil-window 1\npid 99999999999999999999\nsocket 00000000000000000007.sock\n",
      "scanutil-window 1\npid 7\nsocket ../../00000000000000000007.sock\n",
      "scanutil-window 1\npid 7\nsocket /run/other.sock\n",
      head.substr(0, head.size() - 1),
      head + "prop zz name\n",
      head + "prop 1\n",
      head + "prop 1 \n",
      head + "prop 1 a b\n",
      head + "prop 1 bad%4\n",
      head + "prop 1 bad%GG\n",
      head + "prop 11111111111111111 big\n",
      head + "prop 1 " + std::string(kMaxPropertyName + 1, 'x') + "\n",
      many,
      head + std::string(desktop::kMaxRegistrationBytes, '#') + "\n",
      std::string("\0\xff\n\n\n", 5),
  };
  for (const std::string& bytes : damaged) EXPECT_FALSE(desktop::ParseRegistration(bytes)) << bytes.substr(0, 120);
  // Single damaged bytes anywhere must never take the parser out of bounds.
  for (size_t at = 0; at < text.size(); ++at)
    for (char c : {'\0', '\n', '%', ' ', '\xff'}) {
      std::string copy = text;
      copy[at] = c;
      (void)desktop::ParseRegistration(copy);
    }
}

TEST_F(DesktopTest, WalkVisitsWindowsInCreationOrder) {
  Inbox inbox;
  DesktopWindow first(inbox.Callbacks()), bare(inbox.Callbacks()), third(inbox.Callbacks());
  auto second = std::make_unique<DesktopWindow>(inbox.Callbacks());
  for (DesktopWindow* w : {&third, second.get(), &first}) ASSERT_TRUE(SetProp(w->hwnd(), "Walk", Value(1)));
  const auto walk = [](size_t limit) {
    std::vector<HWND> seen;
    EnumWindows([&](HWND hwnd) {
      seen.push_back(hwnd);
      return seen.size() < limit;
    });
    return seen;
  };
  EXPECT_EQ(walk(10), (std::vector<HWND>{first.hwnd(), third.hwnd(), second->hwnd()}));
  EXPECT_EQ(walk(1), std::vector<HWND>{first.hwnd()});

  second.reset();
  DesktopWindow later(inbox.Callbacks());
  ASSERT_TRUE(SetProp(later.hwnd(), "Walk", Value(1)));
  ASSERT_TRUE(SetProp(bare.hwnd(), "Other", Value(1)));
  EXPECT_EQ(walk(10), (std::vector<HWND>{first.hwnd(), bare.hwnd(), third.hwnd(), later.hwnd()}));
}

TEST_F(DesktopTest, PostsReachTheCallbacksOnTheListenerThread) {
  Inbox inbox, other;
  DesktopWindow a(inbox.Callbacks()), b(other.Callbacks());  // b without properties: reachable from here only
  ASSERT_TRUE(SetProp(a.hwnd(), "QMXUUtilityWindowClass", Value(1)));
  EXPECT_TRUE(PostMessage(a.hwnd(), WM_USER + 0x101, 0, 0));
  EXPECT_TRUE(PostMessage(b.hwnd(), WM_CLOSE, ~WPARAM{0}, -5));
  EXPECT_TRUE(ShowWindow(a.hwnd(), SW_RESTORE));
  EXPECT_TRUE(SetForegroundWindow(GetLastActivePopup(a.hwnd())));
  EXPECT_TRUE(PostMessage(a.hwnd(), 1283, 1, 2));
  EXPECT_EQ(inbox.WaitFor(4),
            (std::vector<std::string>{"message 1281 0 0", "restore", "foreground", "message 1283 1 2"}));
  EXPECT_EQ(other.WaitFor(1), std::vector<std::string>{"message 16 18446744073709551615 -5"});
  EXPECT_NE(inbox.thread(), std::this_thread::get_id());

  EXPECT_FALSE(PostMessage(nullptr, 1281, 0, 0));
  EXPECT_FALSE(PostMessage(Handle(Number(b.hwnd()) + 1000), 1281, 0, 0));
  EXPECT_FALSE(ShowWindow(a.hwnd(), 1));  // only restore is carried
}

TEST_F(DesktopTest, DestroyedWindowsLeaveNoRegistrationSocketOrThread) {
  const size_t threads = ThreadCount();
  Inbox inbox;
  auto a = std::make_unique<DesktopWindow>(inbox.Callbacks());
  auto b = std::make_unique<DesktopWindow>(inbox.Callbacks());
  ASSERT_TRUE(SetProp(a->hwnd(), "Gone", Value(1)));
  ASSERT_TRUE(SetProp(b->hwnd(), "Gone", Value(1)));
  EXPECT_EQ(Count(".win"), 2u);
  EXPECT_EQ(Count(".sock"), 1u);  // one listener for the process
  const HWND old = a->hwnd();
  a.reset();
  EXPECT_EQ(Count(".win"), 1u);
  EXPECT_EQ(FindWindowWithProperty("Gone"), b->hwnd());
  EXPECT_FALSE(PostMessage(old, 1281, 0, 0));
  b.reset();
  EXPECT_EQ(Files(), std::vector<std::string>{});
  EXPECT_TRUE(Eventually([&] { return ThreadCount() == threads; }));

  // A window destroyed from its own callback, on the listener thread, ends the listener too.
  std::unique_ptr<DesktopWindow> self;
  std::atomic<bool> destroyed = false;
  DesktopCallbacks callbacks;
  callbacks.message = [&](UINT, WPARAM, LPARAM) {
    self.reset();
    destroyed = true;
  };
  self = std::make_unique<DesktopWindow>(callbacks);
  ASSERT_TRUE(SetProp(self->hwnd(), "Self", Value(1)));
  EXPECT_TRUE(PostMessage(self->hwnd(), WM_CLOSE, 0, 0));
  EXPECT_TRUE(Eventually([&] { return destroyed && Files().empty() && ThreadCount() == threads; }));
}

TEST_F(DesktopTest, DamagedOrForeignRecordsOnTheSocketAreIgnored) {
  Inbox inbox;
  DesktopWindow w(inbox.Callbacks());
  ASSERT_TRUE(SetProp(w.hwnd(), "Target", Value(1)));
  const std::filesystem::path socket = SocketOf(w.hwnd());
  const auto bytes = [&](Record record, size_t at = 0, uint8_t value = 0, bool patch = false) {
    record.window = record.window ? record.window : Number(w.hwnd());
    desktop::RecordBytes b = desktop::EncodeRecord(record);
    if (patch) b[at] = value;
    return std::vector<uint8_t>(b.begin(), b.end());
  };
  const Record valid{RecordKind::kMessage, 0, 1282, 0, 0};
  std::vector<uint8_t> junk(4096);
  for (size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<uint8_t>(i * 37 + 11);
  std::vector<uint8_t> short_record = bytes(valid);
  short_record.pop_back();
  const std::vector<std::vector<uint8_t>> damaged = {
      {},
      {1, 2, 3},
      short_record,
      std::vector<uint8_t>(desktop::kRecordSize, 0),
      bytes(valid, 0, 0x45, true),   // magic
      bytes(valid, 4, 2, true),      // version
      bytes(valid, 6, 0, true),      // kind 0
      bytes(valid, 6, 4, true),      // kind 4
      bytes(valid, 21, 1, true),     // reserved
      bytes(Record{RecordKind::kMessage, Number(w.hwnd()) + 1000, 1282, 0, 0}),  // no such window
      junk,
  };
  const int idle = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);  // connects and never sends
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socket.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(::connect(idle, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  for (const std::vector<uint8_t>& b : damaged) EXPECT_EQ(desktop::SendTo(socket, b), desktop::SendResult::kSent);

  EXPECT_EQ(desktop::SendTo(socket, bytes(Record{RecordKind::kMessage, 0, 1281, 7, -7})), desktop::SendResult::kSent);
  EXPECT_EQ(desktop::SendTo(socket, bytes(Record{RecordKind::kRestore, 0, 0, 0, 0})), desktop::SendResult::kSent);
  EXPECT_EQ(inbox.WaitFor(2), (std::vector<std::string>{"message 1281 7 -7", "restore"}));
  ::close(idle);
}

TEST_F(DesktopTest, AListenerThatNeverAcceptsDoesNotHoldTheSender) {
  ASSERT_TRUE(desktop::DesktopFolder());
  const std::string socket_name = desktop::SocketName(999);
  const int stuck = ListeningSocket(Folder() / socket_name, 0);
  Plant(998, ::getppid(), socket_name, "Stuck");  // a live process that never reads
  ASSERT_EQ(FindWindowWithProperty("Stuck"), Handle(998));
  size_t dropped = 0;
  for (int i = 0; i < 5; ++i) {
    const auto start = std::chrono::steady_clock::now();
    dropped += PostMessage(Handle(998), 1281, 0, 0) ? 0 : 1;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  }
  EXPECT_GT(dropped, 0u);
  EXPECT_EQ(FindWindowWithProperty("Stuck"), Handle(998));  // busy is not gone
  ::close(stuck);
}

TEST_F(DesktopTest, StaleRegistrationsAreSkippedAndDeleted) {
  ASSERT_TRUE(desktop::DesktopFolder());
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(dead, nullptr, 0), dead);
  ::close(ListeningSocket(Folder() / desktop::SocketName(30), 1));  // the file stays, nobody listens
  Plant(1, dead, desktop::SocketName(10), "Stale");
  Plant(2, ::getpid(), desktop::SocketName(20), "Stale");  // this process's id, but not its window
  Plant(3, ::getppid(), desktop::SocketName(30), "Stale");
  testing::WriteAll(desktop::RegistrationPath(Folder(), 4), "scanutil-window 1\npid");
  Inbox inbox;
  DesktopWindow live(inbox.Callbacks());
  ASSERT_TRUE(SetProp(live.hwnd(), "Stale", Value(1)));
  EXPECT_GT(Number(live.hwnd()), 30u);

  EXPECT_EQ(FindWindowWithProperty("Stale"), live.hwnd());
  EXPECT_EQ(Count(".win"), 1u);
  EXPECT_EQ(Count(".sock"), 1u);
  EXPECT_TRUE(desktop::ReadRegistration(Folder(), Number(live.hwnd())));
}

TEST_F(DesktopTest, AnotherProcessReceivesPostsAndRequests) {
  Inbox inbox;
  DesktopWindow before(inbox.Callbacks());
  ASSERT_TRUE(SetProp(before.hwnd(), "Before", Value(1)));
  Peer peer({"serve", "QMXSIndicatorWindowClass"});
  ASSERT_EQ(peer.ReadLine(), "ready");
  DesktopWindow after(inbox.Callbacks());
  ASSERT_TRUE(SetProp(after.hwnd(), "After", Value(1)));

  const HWND indicator = FindWindowWithProperty("QMXSIndicatorWindowClass");
  ASSERT_NE(indicator, nullptr);
  std::vector<HWND> walk;
  EnumWindows([&](HWND hwnd) {
    walk.push_back(hwnd);
    return true;
  });
  EXPECT_EQ(walk, (std::vector<HWND>{before.hwnd(), indicator, after.hwnd()}));
  EXPECT_EQ(GetProp(indicator, "qmxsindicatorwindowclass"), Value(1));
  EXPECT_EQ(GetProp(indicator, "Before"), nullptr);

  EXPECT_TRUE(PostMessage(indicator, WM_USER + 0x101, 0, 0));
  EXPECT_EQ(peer.ReadLine(), "message 1281 0 0");
  EXPECT_TRUE(ShowWindow(indicator, SW_RESTORE));
  EXPECT_EQ(peer.ReadLine(), "restore");
  EXPECT_TRUE(SetForegroundWindow(indicator));
  EXPECT_EQ(peer.ReadLine(), "foreground");
  EXPECT_TRUE(PostMessage(indicator, WM_CLOSE, 0, 0));
  EXPECT_EQ(peer.ReadLine(), "message 16 0 0");
  EXPECT_EQ(peer.Wait(), 0);

  // It ended normally with its window open: the exit took its registration and socket.
  EXPECT_EQ(Count(".win"), 2u);
  EXPECT_EQ(Count(".sock"), 1u);
  EXPECT_EQ(FindWindowWithProperty("QMXSIndicatorWindowClass"), nullptr);
  EXPECT_FALSE(PostMessage(indicator, 1281, 0, 0));
}

TEST_F(DesktopTest, AnotherProcessFindsThisWindowAndPostsToIt) {
  Inbox inbox;
  DesktopWindow w(inbox.Callbacks());
  ASSERT_TRUE(SetProp(w.hwnd(), "QMXSIndicatorWindowClass", Value(1)));
  Peer poster({"post", "QMXSIndicatorWindowClass", "1281"});
  EXPECT_EQ(poster.ReadLine(), "posted");
  EXPECT_EQ(poster.Wait(), 0);
  EXPECT_EQ(inbox.WaitFor(1), std::vector<std::string>{"message 1281 7 -7"});

  RemoveProp(w.hwnd(), "QMXSIndicatorWindowClass");
  Peer finds_none({"post", "QMXSIndicatorWindowClass", "1281"});
  EXPECT_EQ(finds_none.ReadLine(), "none");
  EXPECT_EQ(finds_none.Wait(), 1);
}

TEST_F(DesktopTest, AKilledProcessLeavesARegistrationTheNextWalkDiscards) {
  Peer peer({"serve", "Killed"});
  ASSERT_EQ(peer.ReadLine(), "ready");
  peer.Kill();
  EXPECT_EQ(Count(".win"), 1u);
  EXPECT_EQ(Count(".sock"), 1u);
  size_t visited = 0;
  EnumWindows([&](HWND) {
    ++visited;
    return true;
  });
  EXPECT_EQ(visited, 0u);
  EXPECT_EQ(Files(), std::vector<std::string>{});
}

TEST_F(DesktopTest, AForkedChildStartsWithoutTheParentsWindows) {
  SKIP_FORKED_THREADS();
  Inbox inbox;
  DesktopWindow parent(inbox.Callbacks());
  ASSERT_TRUE(SetProp(parent.hwnd(), "Parent", Value(1)));
  const pid_t child = ::fork();
  if (child == 0) {
    // The parent's window is another process's now, and the child's own windows work.
    int failures = 0;
    const HWND found = FindWindowWithProperty("Parent");
    failures |= found == parent.hwnd() ? 0 : 1;
    {
      Inbox own;
      DesktopWindow mine(own.Callbacks());
      failures |= PostMessage(mine.hwnd(), 1283, 0, 0) ? 0 : 2;
      failures |= own.WaitFor(1) == std::vector<std::string>{"message 1283 0 0"} ? 0 : 4;
    }
    failures |= PostMessage(found, 1281, 3, 4) ? 0 : 8;
    ::_exit(failures);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
  EXPECT_EQ(inbox.WaitFor(1), std::vector<std::string>{"message 1281 3 4"});
  EXPECT_EQ(FindWindowWithProperty("Parent"), parent.hwnd());
  EXPECT_EQ(Count(".sock"), 1u);
}

TEST_F(DesktopTest, AKilledProcessIsGoneWhileUnreapedAndWhileItsForkedChildLives) {
  SKIP_FORKED_THREADS();
  ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);  // the orphaned grandchild comes back to be reaped
  int release[2], ready[2];
  ASSERT_EQ(::pipe(release), 0);
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t owner = ::fork();
  if (owner == 0) {
    ::close(release[1]);
    Inbox inbox;
    DesktopWindow w(inbox.Callbacks());
    if (!SetProp(w.hwnd(), "Orphan", Value(1))) ::_exit(1);
    if (::fork() == 0) {  // keeps whatever it was given open until released
      const pid_t self = ::getpid();
      (void)!::write(ready[1], &self, sizeof self);
      char byte;
      (void)!::read(release[0], &byte, 1);
      ::_exit(0);
    }
    for (;;) ::pause();
  }
  ::close(release[0]);
  ::close(ready[1]);
  pid_t grandchild = 0;
  ASSERT_EQ(::read(ready[0], &grandchild, sizeof grandchild), static_cast<ssize_t>(sizeof grandchild));
  ::close(ready[0]);
  EXPECT_EQ(Count(".win"), 1u);
  ::kill(owner, SIGKILL);
  siginfo_t info{};
  ASSERT_EQ(::waitid(P_PID, owner, &info, WEXITED | WNOWAIT), 0);  // dead, but its id still answers
  EXPECT_EQ(FindWindowWithProperty("Orphan"), nullptr);
  EXPECT_EQ(Files(), std::vector<std::string>{});
  ::close(release[1]);
  EXPECT_EQ(::waitpid(owner, nullptr, 0), owner);
  EXPECT_EQ(::waitpid(grandchild, nullptr, 0), grandchild);
  ::prctl(PR_SET_CHILD_SUBREAPER, 0);
}

TEST_F(DesktopTest, FolderIsPrivateToTheUser) {
  Inbox inbox;
  {
    TempDir tmp;
    ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    ScopedEnv tmpdir("TMPDIR", tmp.path().string());
    DesktopWindow w(inbox.Callbacks());
    ASSERT_TRUE(SetProp(w.hwnd(), "Fallback", Value(1)));
    const std::filesystem::path folder = tmp.path() / ("scanutil-desktop-" + std::to_string(::getuid()));
    EXPECT_TRUE(desktop::ReadRegistration(folder, Number(w.hwnd())));
  }
  {
    ASSERT_EQ(::mkdir(Folder().c_str(), 0777), 0);
    ASSERT_EQ(::chmod(Folder().c_str(), 0777), 0);
    DesktopWindow w(inbox.Callbacks());
    ASSERT_TRUE(SetProp(w.hwnd(), "Opened", Value(1)));
    struct stat st{};
    ASSERT_EQ(::stat(Folder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
  }
  {
    // A link in place of the folder could lead anywhere: nothing is registered, posts stay local.
    TempDir elsewhere;
    TempDir runtime;
    std::filesystem::create_directory_symlink(elsewhere.path(), runtime.path() / "scanutil-desktop");
    ScopedEnv env("XDG_RUNTIME_DIR", runtime.path().string());
    DesktopWindow w(inbox.Callbacks());
    EXPECT_FALSE(SetProp(w.hwnd(), "Linked", Value(1)));
    EXPECT_EQ(FindWindowWithProperty("Linked"), nullptr);
    EXPECT_TRUE(PostMessage(w.hwnd(), 1281, 0, 0));
    EXPECT_EQ(inbox.WaitFor(1), std::vector<std::string>{"message 1281 0 0"});
    EXPECT_EQ(testing::FolderNames(elsewhere.path()), std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace platform
