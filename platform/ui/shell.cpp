#include "platform/ui/shell.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>
#include <cctype>
#include <mutex>
#include <optional>
#include <string_view>

#include "platform/paths.h"
#include "platform/ui/application.h"

namespace platform::ui {
namespace {

struct Opener {
  std::mutex mutex;
  ShellOpener opener;
};

Opener& TheOpener() {
  static Opener opener;
  return opener;
}

INT_PTR OpenOnDesktop(const ShellOpenRequest& request) {
  EnsureApplication();
  const QUrl url = request.host_path.empty() ? QUrl(QString::fromStdString(request.file))
                                             : QUrl::fromLocalFile(QString::fromStdString(request.host_path.string()));
  return QDesktopServices::openUrl(url) ? kShellOpened : SE_ERR_NOASSOC;
}

bool IsOpenVerb(const std::string& verb) {
  if (verb.empty()) return true;
  static const std::string kOpen = "open";
  if (verb.size() != kOpen.size()) return false;
  for (size_t i = 0; i < verb.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(verb[i])) != kOpen[i]) return false;
  return true;
}

// Rooted ("\dir", "/dir") or with a drive ("C:...").
bool IsAbsoluteWindowsPath(const std::string& path) {
  if (!path.empty() && (path[0] == '\\' || path[0] == '/')) return true;
  return path.size() >= 2 && path[1] == ':';
}

std::string Resolve(const std::string& file, const std::string& directory) {
  if (directory.empty() || IsAbsoluteWindowsPath(file)) return file;
  const char last = directory.back();
  return directory + (last == '\\' || last == '/' ? "" : "\\") + file;
}

// A web address goes to the browser as it is.
bool IsWebAddress(const std::string& file) {
  for (std::string_view scheme : {"http://", "https://"}) {
    if (file.size() <= scheme.size()) continue;
    bool same = true;
    for (size_t i = 0; i < scheme.size() && same; ++i)
      same = std::tolower(static_cast<unsigned char>(file[i])) == scheme[i];
    if (same) return true;
  }
  return false;
}

}  // namespace

INT_PTR ShellExecute(HWND hwnd, const std::string& verb, const std::string& file, const std::string& parameters,
                     const std::string& directory, int show) {
  if (!IsOpenVerb(verb)) return SE_ERR_NOASSOC;
  if (file.empty()) return SE_ERR_FNF;
  std::filesystem::path host_path;
  if (!IsWebAddress(file)) {
    const std::optional<std::filesystem::path> host = paths::ToHost(Resolve(file, directory));
    if (!host) return SE_ERR_PNF;
    std::error_code ec;
    if (!std::filesystem::exists(*host, ec)) return SE_ERR_FNF;
    host_path = *host;
  }

  const ShellOpenRequest request{hwnd, verb, file, parameters, directory, show, host_path};
  ShellOpener opener;
  {
    std::lock_guard<std::mutex> guard(TheOpener().mutex);
    opener = TheOpener().opener;
  }
  return opener ? opener(request) : OpenOnDesktop(request);
}

void SetShellOpener(ShellOpener opener) {
  std::lock_guard<std::mutex> guard(TheOpener().mutex);
  TheOpener().opener = std::move(opener);
}

}  // namespace platform::ui
