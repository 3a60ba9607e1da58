// The file dialog (open or save). Paths are in Windows form. An installed answerer
// (tests, automation) answers instead of the user; without one an unattended run
// cancels, and an interactive one shows Qt's file dialog.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "platform/ui/ui_types.h"

namespace platform::ui {

class CWnd;

constexpr DWORD OFN_READONLY = 0x1;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x2;
constexpr DWORD OFN_HIDEREADONLY = 0x4;
constexpr DWORD OFN_NOCHANGEDIR = 0x8;
constexpr DWORD OFN_PATHMUSTEXIST = 0x800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x1000;

struct FileDialogRequest {
  bool open = false;  // false: save
  std::string default_ext;
  std::string file_name;  // initial name
  std::string filter;     // "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||"
  std::string initial_dir;
  std::string title;
  DWORD flags = 0;
};

// The chosen path (Windows form), or nullopt for Cancel.
using FileDialogAnswerer = std::function<std::optional<std::string>(const FileDialogRequest&)>;
// Returns the answerer it replaces.
FileDialogAnswerer SetFileDialogAnswerer(FileDialogAnswerer answerer);

class CFileDialog {
 public:
  explicit CFileDialog(bool open_file_dialog, const std::string& default_ext = {}, const std::string& file_name = {},
                       DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const std::string& filter = {},
                       CWnd* parent = nullptr);
  // IDOK or IDCANCEL.
  INT_PTR DoModal();
  std::string GetPathName() const { return path_; }
  // The name part and its extension (without the dot).
  std::string GetFileName() const;
  std::string GetFileExt() const;

  FileDialogRequest m_ofn;

 private:
  std::string path_;
};

}  // namespace platform::ui
