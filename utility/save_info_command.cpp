// The main window's Save Info command: the report run inside the command frame.
#include "platform/ui/wait_cursor.h"
#include "report/report_run.h"
#include "utility/service_utility_dlg.h"

namespace utility {

void CServiceUtilityDlg::OnSaveInfo() {
  BeginCommand();
  const bool was_connected = context_.connected;
  {
    platform::ui::CWaitCursor wait;
    report::ReportContext report{context_};
    report::RunReport(report);
  }
  const bool connection_changed = context_.connected != was_connected;
  monitor_.Refresh(false);
  if (connection_changed) InformationRefresh();
  StartStatusTimer(kStatusInterval);
}

}  // namespace utility
