#include "device/sti_worker.h"

namespace device {

StiWorker::~StiWorker() {
  if (thread_.joinable()) Post(WorkerCommand::kStop, [] { return 0; });
}

void StiWorker::WaitForIdleOrEnded(std::unique_lock<std::mutex>& lock) {
  changed_.wait(lock, [this] { return state_ == WorkerState::kIdle || state_ == WorkerState::kEnded; });
}

void StiWorker::JoinEnded() {
  if (state_ == WorkerState::kEnded && thread_.joinable()) {
    thread_.join();
    thread_id_ = {};
  }
}

int StiWorker::Post(WorkerCommand command, std::function<int()> work) {
  int result = 0;
  std::unique_lock<std::mutex> lock(mutex_);
  WaitForIdleOrEnded(lock);
  JoinEnded();
  if (!thread_.joinable()) {
    state_ = WorkerState::kIdle;
    thread_ = std::thread([this] { Run(); });
    thread_id_ = thread_.get_id();
  }
  command_ = command;
  work_ = std::move(work);
  result_ = command == WorkerCommand::kExecute ? nullptr : &result;
  state_ = WorkerState::kPosted;
  changed_.notify_all();
  if (command != WorkerCommand::kExecute) {
    WaitForIdleOrEnded(lock);
    JoinEnded();
  }
  return result;
}

void StiWorker::Run() {
  // Runs at normal priority: raising it needs privileges a desktop user lacks.
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return state_ == WorkerState::kPosted; });
    state_ = WorkerState::kRunning;
    std::function<int()> work = std::move(work_);
    const WorkerCommand command = command_;
    int* result = result_;
    lock.unlock();
    const int value = work();
    lock.lock();
    if (result) *result = value;
    state_ = command == WorkerCommand::kStop ? WorkerState::kEnded : WorkerState::kIdle;
    changed_.notify_all();
    if (command == WorkerCommand::kStop) return;
  }
}

}  // namespace device
