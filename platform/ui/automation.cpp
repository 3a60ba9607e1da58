#include "platform/ui/automation.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>

#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/automation_script.h"
#include "platform/ui/desktop.h"
#include "platform/ui/detail/runtime.h"
#include "platform/ui/detail/window.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/timers.h"
#include "platform/ui/user_input.h"
#include "platform/ui/window_dump.h"

namespace platform::ui {
namespace {

using detail::State;

struct Fault {
  std::string reason;
};

struct ShownBox {
  MessageBoxRequest request;
  int answer = 0;
};

// A message box or file dialog waiting for its answer step.
struct Prompt {
  bool file = false;
  bool answered = false;
  int answer = 0;
  std::optional<std::string> path;
  QEventLoop* loop = nullptr;
};

const std::map<std::string, int>& AnswerNames() {
  static const std::map<std::string, int> names = {
      {"ok", IDOK}, {"cancel", IDCANCEL}, {"retry", IDRETRY}, {"yes", IDYES}, {"no", IDNO}};
  return names;
}

std::string BoxesJson(const std::vector<ShownBox>& boxes) {
  std::string json = "\"messageBoxes\": [";
  for (size_t i = 0; i < boxes.size(); ++i)
    json += std::string(i ? ", " : "") + "{\"caption\": " + JsonString(boxes[i].request.caption) +
            ", \"text\": " + JsonString(boxes[i].request.text) + ", \"type\": " + std::to_string(boxes[i].request.type) +
            ", \"answer\": " + std::to_string(boxes[i].answer) + "}";
  return json + "]";
}

class Runner : public Prompter {
 public:
  Runner(AutomationScript script, std::string name) : script_(std::move(script)), name_(std::move(name)) {
    for (const std::string& error : script_.errors) errors_.push_back(name_ + ": " + error);
    previous_prompter_ = InstallPrompter(this);
    previous_answerer_ = SetFileDialogAnswerer([this](const FileDialogRequest& request) { return AnswerFile(request); });
    UseVirtualTimers(true);
    State().automation_active = true;
    State().on_loops_changed = [this] { Schedule(); };
    if (!script_.errors.empty()) {
      Finish();
      return;
    }
    Schedule();
  }

  ~Runner() override {
    State().on_loops_changed = nullptr;
    State().automation_active = false;
    InstallPrompter(previous_prompter_);
    SetFileDialogAnswerer(std::move(previous_answerer_));
    UseVirtualTimers(false);
    SetForegroundOverride(std::nullopt);
  }

  int Show(const MessageBoxRequest& request) override {
    boxes_.push_back({request, DefaultAnswer(request.type)});
    const size_t index = boxes_.size() - 1;
    if (!queued_answers_.empty()) {
      boxes_[index].answer = queued_answers_.front();
      queued_answers_.pop_front();
    } else if (!finished_) {
      Prompt prompt;
      Wait(prompt);
      if (prompt.answered) boxes_[index].answer = prompt.answer;
    }
    return boxes_[index].answer;
  }

  bool finished() const { return finished_; }
  const std::vector<std::string>& errors() const { return errors_; }

 private:
  std::optional<std::string> AnswerFile(const FileDialogRequest&) {
    if (!queued_files_.empty()) {
      auto path = queued_files_.front();
      queued_files_.pop_front();
      return path;
    }
    if (finished_) return std::nullopt;
    Prompt prompt;
    prompt.file = true;
    Wait(prompt);
    return prompt.answered ? prompt.path : std::nullopt;
  }

  void Wait(Prompt& prompt) {
    QEventLoop loop;
    prompt.loop = &loop;
    waiting_ = &prompt;
    detail::PushLoop({nullptr, State().executing_steps});
    loop.exec();
    detail::PopLoop();
    waiting_ = nullptr;
  }

  void Schedule() {
    if (scheduled_ || finished_ || !QCoreApplication::instance()) return;
    scheduled_ = true;
    // The runner's own context object: a run replaced before the shot fires takes it along.
    QTimer::singleShot(0, &timer_context_, [this] {
      scheduled_ = false;
      Pump();
    });
  }

  // A step runs only in the innermost loop, when that loop is live and no step that
  // started outside it is still running (a long procedure pumping messages).
  bool CanRun() const {
    const auto& loops = State().loops;
    if (loops.empty()) return false;
    const detail::LoopFrame& inner = loops.back();
    if (inner.dialog && inner.dialog->ended) return false;
    if (!inner.dialog && !waiting_) return false;
    return inner.step_depth == State().executing_steps;
  }

  void Pump() {
    if (finished_ || !CanRun()) return;
    if (next_ >= script_.steps.size()) {
      Finish();
      return;
    }
    const AutomationStep& step = script_.steps[next_++];
    ++State().executing_steps;
    Schedule();
    try {
      Execute(step);
    } catch (const Fault& fault) {
      errors_.push_back(name_ + ":" + std::to_string(step.line) + ": " + fault.reason);
      std::fprintf(stderr, "automation: %s\n", errors_.back().c_str());
      --State().executing_steps;
      Finish();
      return;
    }
    --State().executing_steps;
    if (next_ >= script_.steps.size()) {
      Finish();
      return;
    }
    Schedule();
  }

  // Ends every dialog and prompt; later dialogs end unattended.
  void Finish() {
    if (finished_) return;
    finished_ = true;
    SetUnattended(true);
    if (waiting_ && waiting_->loop) waiting_->loop->exit(0);
    const auto open = OpenDialogs();
    for (auto it = open.rbegin(); it != open.rend(); ++it)
      if (auto* frame = dynamic_cast<detail::DialogFrame*>(detail::Window::FromHandle((*it)->GetSafeHwnd()))) frame->EndModal(IDCANCEL);
  }

  static int Number(const std::string& word) {
    char* end = nullptr;
    const long value = std::strtol(word.c_str(), &end, 0);
    if (word.empty() || *end != '\0') throw Fault{"not a number: '" + word + "'"};
    return static_cast<int>(value);
  }

  CDialog& Top() const {
    if (waiting_) throw Fault{waiting_->file ? "a file dialog is waiting for its answer" : "a message box is waiting for its answer"};
    CDialog* top = TopDialog();
    if (!top) throw Fault{"no dialog is open"};
    return *top;
  }

  CWnd* Control(CDialog& dialog, const std::string& word) const {
    const int id = Number(word);
    CWnd* control = dialog.GetDlgItem(id);
    if (!control->GetSafeHwnd()) throw Fault{"no control " + word + " in dialog " + ResourceIdText(dialog.template_id())};
    return control;
  }

  static void Require(bool done, const std::string& what) {
    if (!done) throw Fault{what};
  }

  static void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) throw Fault{"cannot write " + path};
  }

  void Execute(const AutomationStep& step) {
    const auto& a = step.args;
    const std::string& verb = step.verb;
    if (verb == "click") {
      CDialog& dialog = Top();
      Require(Click(Control(dialog, a[0])), "control " + a[0] + " cannot be clicked (hidden, disabled or not a button)");
    } else if (verb == "type") {
      CDialog& dialog = Top();
      Require(Type(Control(dialog, a[0]), a[1]), "control " + a[0] + " takes no typing (hidden, disabled, read-only or not an edit)");
    } else if (verb == "check" || verb == "uncheck") {
      CDialog& dialog = Top();
      auto* button = static_cast<CButton*>(Control(dialog, a[0]));
      if ((button->GetCheck() == 1) != (verb == "check"))
        Require(Click(button), "control " + a[0] + " cannot be clicked (hidden, disabled or not a button)");
    } else if (verb == "select") {
      CDialog& dialog = Top();
      Require(Select(Control(dialog, a[0]), Number(a[1])), "control " + a[0] + " has no item " + a[1] + " to select");
    } else if (verb == "spin") {
      CDialog& dialog = Top();
      CWnd* spin = Control(dialog, a[0]);
      const std::string direction = a[1];
      Require(direction == "up" || direction == "down", "spin direction must be up or down");
      const int times = a.size() > 2 ? Number(a[2]) : 1;
      for (int i = 0; i < times; ++i) Require(Spin(spin, direction == "up" ? +1 : -1), "control " + a[0] + " cannot be spun");
    } else if (verb == "focus") {
      CDialog& dialog = Top();
      Require(Focus(Control(dialog, a[0])), "control " + a[0] + " cannot take the focus (hidden, disabled or not focusable)");
    } else if (verb == "key") {
      CDialog& dialog = Top();
      Require(a[0] == "enter" || a[0] == "escape", "key must be enter or escape");
      PressKey(dialog, a[0] == "enter" ? VK_RETURN : VK_ESCAPE);
    } else if (verb == "answer") {
      auto it = AnswerNames().find(a[0]);
      Require(it != AnswerNames().end(), "answer must be ok, cancel, retry, yes or no");
      if (waiting_) {
        Require(!waiting_->file, "a file dialog is waiting, not a message box");
        Settle(it->second, nullptr);
      } else {
        queued_answers_.push_back(it->second);
      }
    } else if (verb == "file") {
      std::optional<std::string> path;
      if (a[0] != "cancel") path = IsWindowsPath(a[0]) ? a[0] : paths::ToWindows(std::filesystem::absolute(a[0]));
      if (waiting_) {
        Require(waiting_->file, "a message box is waiting, not a file dialog");
        Settle(0, path ? &*path : nullptr);
      } else {
        queued_files_.push_back(path);
      }
    } else if (verb == "wait") {
      const int amount = Number(a[1]);
      Require(amount >= 0, "wait needs a count of 0 or more");
      if (a[0] == "ticks") {
        FireNextTimers(amount);
      } else if (a[0] == "ms") {
        AdvanceTimers(static_cast<uint64_t>(amount));
      } else {
        throw Fault{"wait takes ticks or ms"};
      }
      ProcessPendingEvents();
    } else if (verb == "screenshot") {
      CDialog* top = TopDialog();
      Require(top != nullptr, "no dialog is open");
      Require(SaveScreenshot(*top, a[0]), "cannot write " + a[0]);
    } else if (verb == "dump") {
      WriteFile(a[0], DumpWindowsJson(BoxesJson(boxes_)));
    } else if (verb == "foreground") {
      if (a[0] == "none") {
        SetForegroundOverride(HWND(nullptr));
      } else if (a[0] == "top") {
        SetForegroundOverride(Top().GetSafeHwnd());
      } else {
        throw Fault{"foreground takes top or none"};
      }
    } else if (verb == "sysmenu") {
      CDialog& dialog = Top();
      OpenContextMenu(dialog);
      Require(ChooseContextMenuItem(dialog, static_cast<UINT>(Number(a[0]))), "the context menu has no enabled item " + a[0]);
    } else if (verb == "close") {
      CloseBox(Top());
    }
  }

  static bool IsWindowsPath(const std::string& path) { return (path.size() >= 2 && path[1] == ':') || (!path.empty() && path[0] == '\\'); }

  void Settle(int answer, const std::string* path) {
    waiting_->answered = true;
    waiting_->answer = answer;
    if (path) waiting_->path.emplace(*path);
    waiting_->loop->exit(0);
  }

  AutomationScript script_;
  std::string name_;
  size_t next_ = 0;
  bool scheduled_ = false;
  QObject timer_context_;
  bool finished_ = false;
  std::vector<std::string> errors_;
  std::vector<ShownBox> boxes_;
  std::deque<int> queued_answers_;
  std::deque<std::optional<std::string>> queued_files_;
  Prompt* waiting_ = nullptr;
  Prompter* previous_prompter_ = nullptr;
  FileDialogAnswerer previous_answerer_;
};

std::unique_ptr<Runner>& Current() {
  static std::unique_ptr<Runner> runner;
  return runner;
}

// Faults of a script that could not even be read.
std::vector<std::string>& StartErrors() {
  static std::vector<std::string> errors;
  return errors;
}

}  // namespace

bool StartAutomation() {
  const char* path = std::getenv(kAutomationVariable);
  if (!path || !*path) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    StartErrors().push_back(std::string(path) + ": cannot read the script");
    std::fprintf(stderr, "automation: %s\n", StartErrors().back().c_str());
    StartAutomationScript("", path);
    return true;
  }
  std::stringstream text;
  text << in.rdbuf();
  StartAutomationScript(text.str(), path);
  return true;
}

void StartAutomationScript(const std::string& text, const std::string& name) {
  EnsureApplication();
  Current().reset();
  SetUnattended(std::nullopt);
  AutomationScript script = ParseAutomationScript(text);
  for (const std::string& error : script.errors) std::fprintf(stderr, "automation: %s: %s\n", name.c_str(), error.c_str());
  Current() = std::make_unique<Runner>(std::move(script), name);
}

void StopAutomation() {
  Current().reset();
  StartErrors().clear();
  SetUnattended(std::nullopt);
}

bool AutomationActive() { return Current() != nullptr; }
bool AutomationFinished() { return Current() && Current()->finished(); }

std::vector<std::string> AutomationErrors() {
  std::vector<std::string> errors = StartErrors();
  if (Current()) errors.insert(errors.end(), Current()->errors().begin(), Current()->errors().end());
  return errors;
}

int AutomationExitCode() { return AutomationErrors().empty() ? 0 : 3; }

}  // namespace platform::ui
