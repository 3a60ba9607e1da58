// The main window's paper mode / buzzer, compatible mode and caution setting commands.
#include "utility/service_utility_dlg.h"

namespace utility {

void CServiceUtilityDlg::OnPaperBuzzer() {}
void CServiceUtilityDlg::OnCompatibleMode() {}
void CServiceUtilityDlg::OnCautionSetting() {}

}  // namespace utility
