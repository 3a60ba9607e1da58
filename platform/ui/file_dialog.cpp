#include "platform/ui/file_dialog.h"

#include <QFileDialog>
#include <QStringList>

#include "platform/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/detail/qt_text.h"
#include "platform/ui/detail/window.h"
#include "platform/ui/dialog.h"

namespace platform::ui {
namespace {

FileDialogAnswerer& Answerer() {
  static FileDialogAnswerer answerer;
  return answerer;
}

// "Text Files (*.txt)|*.txt||" to Qt's "Text Files (*.txt);;...".
QString QtFilter(const std::string& filter) {
  QStringList parts = detail::ToQt(filter).split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    out << parts[i] + " (" + parts[i + 1].replace(';', ' ') + ")";
  }
  return out.join(";;");
}

std::optional<std::string> AskQt(const FileDialogRequest& request) {
  EnsureApplication();
  CDialog* top = TopDialog();
  auto* frame = top ? detail::Window::FromHandle(top->GetSafeHwnd()) : nullptr;
  QWidget* parent = frame ? frame->widget() : nullptr;
  QString start = detail::ToQt(request.file_name);
  if (!request.initial_dir.empty())
    if (auto dir = paths::ToHost(request.initial_dir)) start = QString::fromStdString((*dir / request.file_name).string());
  const QString chosen = request.open ? QFileDialog::getOpenFileName(parent, detail::ToQt(request.title), start, QtFilter(request.filter))
                                      : QFileDialog::getSaveFileName(parent, detail::ToQt(request.title), start, QtFilter(request.filter));
  if (chosen.isEmpty()) return std::nullopt;
  return paths::ToWindows(chosen.toStdString());
}

}  // namespace

FileDialogAnswerer SetFileDialogAnswerer(FileDialogAnswerer answerer) {
  FileDialogAnswerer previous = std::move(Answerer());
  Answerer() = std::move(answerer);
  return previous;
}

CFileDialog::CFileDialog(bool open_file_dialog, const std::string& default_ext, const std::string& file_name, DWORD flags,
                         const std::string& filter, CWnd*) {
  m_ofn.open = open_file_dialog;
  m_ofn.default_ext = default_ext;
  m_ofn.file_name = file_name;
  m_ofn.flags = flags;
  m_ofn.filter = filter;
}

INT_PTR CFileDialog::DoModal() {
  std::optional<std::string> chosen;
  if (Answerer()) {
    chosen = Answerer()(m_ofn);
  } else if (!IsUnattended()) {
    chosen = AskQt(m_ofn);
  }
  if (!chosen || chosen->empty()) return IDCANCEL;
  path_ = *chosen;
  if (!m_ofn.default_ext.empty() && GetFileExt().empty()) path_ += "." + m_ofn.default_ext;
  return IDOK;
}

std::string CFileDialog::GetFileName() const {
  const size_t slash = path_.find_last_of("\\/");
  return slash == std::string::npos ? path_ : path_.substr(slash + 1);
}

std::string CFileDialog::GetFileExt() const {
  const std::string name = GetFileName();
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

}  // namespace platform::ui
