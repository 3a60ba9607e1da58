// The main window's commands that open other windows: Select Scanner, Help, About.
#include "utility/about_dlg.h"
#include "utility/help.h"
#include "utility/select_scanner_command.h"
#include "utility/service_utility_dlg.h"

namespace utility {

void CServiceUtilityDlg::OnSelectScanner() {
  BeginCommand();
  if (SelectScannerCommand(context_)) {
    counters_.BindAndRead(context_, 1);
    InformationRefresh();
  }
  EndCommand(kStatusInterval);
}

void CServiceUtilityDlg::OnHelp() { OpenHelp(m_hWnd); }

void CServiceUtilityDlg::OnAbout() {
  CAboutDlg about(this);
  about.DoModal();
}

}  // namespace utility
