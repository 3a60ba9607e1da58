#include "utility/select_scanner_dlg.h"

#include "platform/ui/data_exchange.h"
#include "utility/select_scanner_lines.h"

namespace utility {
namespace {
constexpr int kIdd = 161;
constexpr int kIdcScanners = 1098;
}  // namespace

using namespace platform::ui;

CUDlgSelectScanner::CUDlgSelectScanner(const std::vector<device::DeviceRecord>& list,
                                       const device::DeviceRecord* current, bool must_choose, CWnd* parent)
    : CDialog(kIdd, parent), list_(list), current_(current), must_choose_(must_choose) {}

bool CUDlgSelectScanner::OnInitDialog() {
  auto* combo = static_cast<CComboBox*>(GetDlgItem(kIdcScanners));
  for (const std::string& line : SelectScannerLines(list_, current_)) combo->AddString(line);
  selected_ = list_.empty() ? -1 : InitialSelection(list_, current_);
  CDialog::OnInitDialog();
  if (must_choose_) {
    GetDlgItem(IDCANCEL)->ShowWindow(SW_HIDE);
    GetSystemMenu(false)->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  }
  return true;
}

void CUDlgSelectScanner::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_CBIndex(dx, kIdcScanners, selected_);
}

void CUDlgSelectScanner::OnCancel() {
  if (!must_choose_) CDialog::OnCancel();
}

int ShowSelectScanner(const std::vector<device::DeviceRecord>& list, const device::DeviceRecord* current,
                      bool must_choose) {
  CUDlgSelectScanner dialog(list, current, must_choose, TopDialog());
  if (dialog.DoModal() != IDOK) return -1;
  return dialog.selected();
}

}  // namespace utility
