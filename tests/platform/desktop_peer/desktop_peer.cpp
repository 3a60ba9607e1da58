// The other process of the desktop tests.
//   desktop_peer serve NAME         a window carrying NAME; prints "ready", then a line for
//                                   each message or request; on WM_CLOSE it returns from
//                                   main with the window still open
//   desktop_peer post NAME MESSAGE  posts MESSAGE (wparam 7, lparam -7) to the first window
//                                   carrying NAME; prints "posted", "failed" or "none"
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>

#include "platform/desktop.h"

namespace {

using namespace platform;

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

// What the window received, kept for the whole process: the window outlives main.
struct Received {
  std::mutex mutex;
  std::condition_variable cv;
  std::deque<std::string> lines;
  bool closed = false;

  void Add(std::string line, bool close) {
    std::lock_guard<std::mutex> guard(mutex);
    lines.push_back(std::move(line));
    closed = closed || close;
    cv.notify_one();
  }
};
Received received;
DesktopWindow* window = nullptr;  // left open on purpose: a normal exit must remove its registration

int Serve(const char* name) {
  DesktopCallbacks callbacks;
  callbacks.message = [](UINT message, WPARAM wparam, LPARAM lparam) {
    received.Add("message " + std::to_string(message) + " " + std::to_string(wparam) + " " + std::to_string(lparam),
                 message == WM_CLOSE);
  };
  callbacks.request = [](WindowRequest request) {
    received.Add(request == WindowRequest::kRestore ? "restore" : "foreground", false);
  };
  window = new DesktopWindow(callbacks);
  if (!SetProp(window->hwnd(), name, reinterpret_cast<HANDLE>(1))) return 2;
  Say("ready");
  std::unique_lock<std::mutex> lock(received.mutex);
  for (;;) {
    received.cv.wait(lock, [] { return !received.lines.empty(); });
    while (!received.lines.empty()) {
      Say(received.lines.front());
      received.lines.pop_front();
    }
    if (received.closed) return 0;
  }
}

int Post(const char* name, const char* message) {
  const HWND hwnd = FindWindowWithProperty(name);
  if (!hwnd) {
    Say("none");
    return 1;
  }
  const bool posted = PostMessage(hwnd, static_cast<UINT>(std::strtoul(message, nullptr, 10)), 7, -7);
  Say(posted ? "posted" : "failed");
  return posted ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "serve" && argc == 3) return Serve(argv[2]);
  if (command == "post" && argc == 4) return Post(argv[2], argv[3]);
  std::fprintf(stderr, "usage: desktop_peer serve NAME | post NAME MESSAGE\n");
  return 64;
}
