#include "platform/desktop_listener.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>
#include <vector>

namespace platform::desktop {
namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr size_t kMaxQueued = 10000;     // as a window's message queue
constexpr size_t kMaxConnections = 32;   // open at once; the oldest goes first
constexpr auto kConnectionTime = std::chrono::milliseconds(500);  // to deliver one record
constexpr int kBacklog = 128;

int ListenAt(const std::filesystem::path& socket) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string& path = socket.native();
  if (path.empty() || path.size() >= sizeof(address.sun_path)) return -1;
  std::memcpy(address.sun_path, path.data(), path.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return -1;
  ::unlink(path.c_str());
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, kBacklog) != 0) {
    ::close(fd);
    ::unlink(path.c_str());
    return -1;
  }
  return fd;
}

}  // namespace

struct Listener::Connection {
  int fd = -1;
  size_t filled = 0;
  RecordBytes bytes{};
  SteadyClock::time_point deadline;
};

Listener::Listener(std::filesystem::path socket, Deliver deliver)
    : socket_(std::move(socket)), deliver_(std::move(deliver)) {}

std::shared_ptr<Listener> Listener::Start(const std::filesystem::path& socket, Deliver deliver) {
  std::shared_ptr<Listener> listener(new Listener(socket, std::move(deliver)));
  int wake[2];
  if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) return nullptr;
  listener->wake_read_ = wake[0];
  listener->wake_write_ = wake[1];
  if (!socket.empty()) listener->listen_fd_ = ListenAt(socket);
  listener->listening_ = listener->listen_fd_ >= 0;
  try {
    // The thread keeps the listener alive, so it may outlive Stop when it stops itself.
    listener->thread_ = std::thread([listener] { listener->Run(); });
  } catch (const std::system_error&) {
    listener->Finish();
    return nullptr;
  }
  return listener;
}

Listener::~Listener() {
  if (wake_read_ >= 0) ::close(wake_read_);
  if (wake_write_ >= 0) ::close(wake_write_);
}

bool Listener::Post(const Record& record) {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    if (stopping_ || queue_.size() >= kMaxQueued) return false;
    queue_.push_back(record);
  }
  Wake();
  return true;
}

void Listener::Stop() {
  stopping_ = true;
  Wake();
  std::thread thread;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    thread = std::move(thread_);
  }
  if (!thread.joinable()) return;
  if (thread.get_id() == std::this_thread::get_id())
    thread.detach();
  else
    thread.join();
}

void Listener::CloseInChild() {
  for (int* fd : {&listen_fd_, &wake_read_, &wake_write_}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
}

void Listener::Wake() {
  const char byte = 1;
  (void)!::write(wake_write_, &byte, 1);  // a full pipe is already a pending wake-up
}

void Listener::Run() {
  std::deque<Connection> connections;
  std::vector<pollfd> fds;
  while (!stopping_) {
    fds.assign({{wake_read_, POLLIN, 0}, {listen_fd_, POLLIN, 0}});  // a negative fd is skipped by poll
    for (const Connection& c : connections) fds.push_back({c.fd, POLLIN, 0});
    int timeout = -1;
    if (!connections.empty()) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(connections.front().deadline - SteadyClock::now());
      timeout = static_cast<int>(std::max<int64_t>(0, left.count()));
    }
    if (::poll(fds.data(), fds.size(), timeout) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[0].revents != 0) {
      char drain[64];
      while (::read(wake_read_, drain, sizeof drain) > 0) {
      }
      if (stopping_) break;
      DeliverQueued();
    }
    // Connections keep their order: the front one has the earliest deadline.
    std::deque<Connection> open;
    const auto now = SteadyClock::now();
    for (size_t i = 0; i < connections.size(); ++i) {
      Connection& c = connections[i];
      const bool keep = (fds[2 + i].revents == 0 || Read(c)) && c.deadline > now;
      if (keep)
        open.push_back(c);
      else
        ::close(c.fd);
    }
    connections.swap(open);
    if (fds[1].revents != 0) Accept(connections);
  }
  for (const Connection& c : connections) ::close(c.fd);
  Finish();
}

void Listener::DeliverQueued() {
  std::deque<Record> records;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    records.swap(queue_);
  }
  for (const Record& record : records) {
    if (stopping_) return;
    deliver_(record);
  }
}

void Listener::Accept(std::deque<Connection>& connections) {
  for (;;) {
    const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    if (connections.size() == kMaxConnections) {
      ::close(connections.front().fd);
      connections.pop_front();
    }
    Connection c;
    c.fd = fd;
    c.deadline = SteadyClock::now() + kConnectionTime;
    connections.push_back(c);
  }
}

bool Listener::Read(Connection& c) {
  const ssize_t n = ::recv(c.fd, c.bytes.data() + c.filled, c.bytes.size() - c.filled, MSG_DONTWAIT);
  if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
  if (n == 0) return false;  // the sender is done; a short record is dropped
  c.filled += static_cast<size_t>(n);
  if (c.filled < c.bytes.size()) return true;
  // Whatever follows the record is not read.
  if (const std::optional<Record> record = DecodeRecord(c.bytes); record && !stopping_) deliver_(*record);
  return false;
}

void Listener::Finish() {
  if (listen_fd_ < 0) return;
  ::close(listen_fd_);
  ::unlink(socket_.c_str());
  listen_fd_ = -1;
}

}  // namespace platform::desktop
