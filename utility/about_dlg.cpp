#include "utility/about_dlg.h"

#include "platform/format.h"
#include "resources/app_resources.h"

namespace utility {
namespace {
constexpr int kIdd = 100;
constexpr int kIdsAppName = 3141;
constexpr int kIdcTitle = 1167;
constexpr int kIdcVersion = 1093;
}  // namespace

CAboutDlg::CAboutDlg(platform::ui::CWnd* parent, std::optional<FileVersion> version)
    : CDialog(kIdd, parent), version_(version) {}

bool CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  const std::string name = resources::LoadString(kIdsAppName);
  SetWindowText(name);
  SetDlgItemText(kIdcTitle, name);
  SetDlgItemText(kIdcVersion, VersionLabel(version_));
  return true;
}

std::string VersionLabel(const std::optional<FileVersion>& version) {
  if (!version) return {};
  return platform::Format("%d.%d.%d.%d", version->major, version->minor, version->build, version->revision);
}

}  // namespace utility
