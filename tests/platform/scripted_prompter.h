// A prompter for tests: installs itself for its lifetime, records every box and
// answers from a queue (the box's default answer once the queue is empty).
#pragma once
#include <deque>
#include <vector>

#include "platform/message_box.h"

namespace platform::testing {

class ScriptedPrompter : public Prompter {
 public:
  ScriptedPrompter() : previous_(InstallPrompter(this)) {}
  ~ScriptedPrompter() override { InstallPrompter(previous_); }
  ScriptedPrompter(const ScriptedPrompter&) = delete;
  ScriptedPrompter& operator=(const ScriptedPrompter&) = delete;

  void Answer(int answer) { answers_.push_back(answer); }

  int Show(const MessageBoxRequest& request) override {
    boxes_.push_back(request);
    if (answers_.empty()) return DefaultAnswer(request.type);
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
  }

  const std::vector<MessageBoxRequest>& boxes() const { return boxes_; }
  void Clear() { boxes_.clear(); }

 private:
  Prompter* previous_;
  std::deque<int> answers_;
  std::vector<MessageBoxRequest> boxes_;
};

}  // namespace platform::testing
