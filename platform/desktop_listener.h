// The thread on which a process's windows receive what is posted to them: records from
// other processes arrive on a local socket, records from this process through a queue.
// It blocks in poll and is woken through a pipe; nothing spins.
#pragma once
#include <atomic>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/desktop_wire.h"

namespace platform::desktop {

class Listener {
 public:
  using Deliver = std::function<void(const Record&)>;

  // Starts the thread. With a socket path it first listens there, so the socket is ready
  // before anyone is told of it; an empty path (or a failed bind) means this process's
  // records only. nullptr when no thread can be started.
  static std::shared_ptr<Listener> Start(const std::filesystem::path& socket, Deliver deliver);
  ~Listener();
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;

  // Whether other processes can reach it.
  bool listening() const { return listening_; }
  // Queues a record of this process. False once stopping or when the queue is full.
  bool Post(const Record& record);
  // Ends the thread and removes the socket. Waits for it, unless called on the thread
  // itself (from a delivery), which then ends once that delivery returns.
  void Stop();
  // In a child forked without exec, where the thread does not exist: closes what the
  // child inherited and leaves the socket file to its owner.
  void CloseInChild();

 private:
  struct Connection;
  Listener(std::filesystem::path socket, Deliver deliver);
  void Run();
  void Wake();
  void DeliverQueued();
  void Accept(std::deque<Connection>& connections);
  // False when the connection is done with (record complete, end of data or error).
  bool Read(Connection& connection);
  void Finish();

  const std::filesystem::path socket_;
  const Deliver deliver_;
  int listen_fd_ = -1;  // the thread's once it runs
  bool listening_ = false;
  int wake_read_ = -1;
  int wake_write_ = -1;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;  // queue_ and thread_
  std::deque<Record> queue_;
  std::thread thread_;
};

}  // namespace platform::desktop
