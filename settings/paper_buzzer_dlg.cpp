#include "settings/paper_buzzer_dlg.h"

#include "platform/ui/data_exchange.h"

namespace settings {

using namespace platform::ui;

void CDlgSetPaperSize::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Radio(dx, kIdcA4, paper_index);
  DDX_Radio(dx, kIdcBuzzerOn, buzzer_index);
}

void CUDlgSetBuzzerSetting::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Radio(dx, kIdcBuzzerOn, buzzer_index);
}

}  // namespace settings
