#include "platform/message_box.h"

#include <atomic>
#include <mutex>

namespace platform {

namespace {

std::atomic<Prompter*> g_prompter{nullptr};

std::mutex& AppNameMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string& AppNameStorage() {
  static std::string name;
  return name;
}

}  // namespace

Prompter* InstallPrompter(Prompter* prompter) { return g_prompter.exchange(prompter); }

int DefaultAnswer(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OK: return IDOK;
    case MB_YESNO: return IDNO;
    default: return IDCANCEL;
  }
}

void SetAppName(std::string name) {
  std::lock_guard lock(AppNameMutex());
  AppNameStorage() = std::move(name);
}

std::string AppName() {
  std::lock_guard lock(AppNameMutex());
  return AppNameStorage();
}

int AfxMessageBox(const std::string& text, UINT type) {
  Prompter* prompter = g_prompter.load();
  if (!prompter) return DefaultAnswer(type);
  return prompter->Show(MessageBoxRequest{AppName(), text, type});
}

}  // namespace platform
