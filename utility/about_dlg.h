// The About box: the program's name, icon and file version.
#pragma once
#include <optional>
#include <string>

#include "platform/ui/dialog.h"
#include "utility/version.h"

namespace utility {

class CAboutDlg : public platform::ui::CDialog {
 public:
  // version: the program's file version; without one the version label stays empty.
  explicit CAboutDlg(platform::ui::CWnd* parent = nullptr, std::optional<FileVersion> version = kProgramVersion);

 protected:
  bool OnInitDialog() override;

 private:
  std::optional<FileVersion> version_;
};

// "major.minor.build.revision"; empty without a version.
std::string VersionLabel(const std::optional<FileVersion>& version);

}  // namespace utility
