#include "platform/ui/qt_prompter.h"

#include <QMessageBox>
#include <QPushButton>

#include "platform/ui/application.h"
#include "platform/ui/automation.h"
#include "platform/ui/detail/qt_text.h"
#include "platform/ui/detail/window.h"
#include "platform/ui/dialog.h"

namespace platform::ui {
namespace {

struct ButtonChoice {
  int answer;
  const char* text;
  QMessageBox::ButtonRole role;
};

std::vector<ButtonChoice> ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, "OK", QMessageBox::AcceptRole}, {IDCANCEL, "Cancel", QMessageBox::RejectRole}};
    case MB_YESNO: return {{IDYES, "&Yes", QMessageBox::YesRole}, {IDNO, "&No", QMessageBox::NoRole}};
    case MB_RETRYCANCEL: return {{IDRETRY, "&Retry", QMessageBox::AcceptRole}, {IDCANCEL, "Cancel", QMessageBox::RejectRole}};
    default: return {{IDOK, "OK", QMessageBox::AcceptRole}};
  }
}

QMessageBox::Icon IconOf(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONSTOP: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

struct OpenBox {
  QMessageBox* box = nullptr;
  std::vector<std::pair<QAbstractButton*, int>> answers;
};

OpenBox*& Current() {
  static OpenBox* open = nullptr;
  return open;
}

const char* IconName(QMessageBox::Icon icon) {
  switch (icon) {
    case QMessageBox::Information: return "information";
    case QMessageBox::Warning: return "warning";
    case QMessageBox::Critical: return "critical";
    case QMessageBox::Question: return "question";
    default: return "";
  }
}

}  // namespace

std::optional<QtBoxContents> OpenQtMessageBox() {
  OpenBox* open = Current();
  if (!open) return std::nullopt;
  QtBoxContents contents{detail::FromQt(open->box->windowTitle()), detail::FromQt(open->box->text()), IconName(open->box->icon()), {}};
  for (const auto& [button, answer] : open->answers) contents.buttons.push_back(detail::FromQt(button->text()));
  return contents;
}

bool PressQtMessageBoxButton(int answer) {
  OpenBox* open = Current();
  if (!open) return false;
  for (const auto& [button, value] : open->answers) {
    if (value != answer) continue;
    button->click();
    return true;
  }
  return false;
}

int QtPrompter::Show(const MessageBoxRequest& request) {
  EnsureApplication();
  CDialog* top = TopDialog();
  auto* frame = top ? detail::Window::FromHandle(top->GetSafeHwnd()) : nullptr;
  QMessageBox box(IconOf(request.type), detail::ToQt(request.caption), detail::ToQt(detail::LineFeeds(request.text)),
                  QMessageBox::NoButton, frame ? frame->widget() : nullptr);
  std::vector<std::pair<QAbstractButton*, int>> answers;
  for (const ButtonChoice& choice : ButtonsOf(request.type)) answers.emplace_back(box.addButton(choice.text, choice.role), choice.answer);
  box.setDefaultButton(static_cast<QPushButton*>(answers.front().first));
  box.setEscapeButton(answers.back().first);
  OpenBox open{&box, answers};
  OpenBox* outer = Current();
  Current() = &open;
  box.exec();
  Current() = outer;
  for (const auto& [button, answer] : answers)
    if (box.clickedButton() == button) return answer;
  return DefaultAnswer(request.type);
}

bool InstallInteractivePrompter() {
  if (AutomationActive() || IsHeadless()) return false;
  InstallQtPrompter();
  return true;
}

Prompter* InstallQtPrompter() {
  static QtPrompter prompter;
  return InstallPrompter(&prompter);
}

}  // namespace platform::ui
