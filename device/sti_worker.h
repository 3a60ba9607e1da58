// The still-image transport's one worker thread and its hand-over protocol: one
// command at a time; the poster waits for the idle state before posting and, except
// for command 4, until the command has run.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace device {

enum class WorkerCommand : int {
  kStart = 0,
  kStop = 1,
  kEnumerate = 2,
  kOpen = 3,
  kExecute = 4,
  kSetLockTimeout = 5,
  kLock = 6,
  kUnlock = 7,
  kStartEventForwarding = 14,
};

enum class WorkerState : int { kIdle = 0, kPosted = 1, kRunning = 2, kEnded = 4 };

class StiWorker {
 public:
  ~StiWorker();
  // Runs work on the worker thread (creating the thread first if there is none) and
  // returns its result; for kExecute returns 0 as soon as the worker has the command.
  // The thread ends after kStop.
  int Post(WorkerCommand command, std::function<int()> work);
  bool OnWorkerThread() const { return std::this_thread::get_id() == thread_id_; }

 private:
  void Run();
  void WaitForIdleOrEnded(std::unique_lock<std::mutex>& lock);
  void JoinEnded();

  std::mutex mutex_;
  std::condition_variable changed_;
  WorkerState state_ = WorkerState::kEnded;
  WorkerCommand command_ = WorkerCommand::kStart;
  std::function<int()> work_;
  int* result_ = nullptr;
  std::thread thread_;
  std::thread::id thread_id_;
};

}  // namespace device
