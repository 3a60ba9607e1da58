// The main window's "Sleep Mode" command.
#include "utility/service_utility_dlg.h"

namespace utility {

void CServiceUtilityDlg::OnSleepMode() {}

}  // namespace utility
