// The main window's commands that open other windows: Select Scanner, Help, About.
#include "utility/service_utility_dlg.h"

namespace utility {

void CServiceUtilityDlg::OnSelectScanner() {}
void CServiceUtilityDlg::OnHelp() {}
void CServiceUtilityDlg::OnAbout() {}

}  // namespace utility
