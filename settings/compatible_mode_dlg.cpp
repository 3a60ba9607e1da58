#include "settings/compatible_mode_dlg.h"

#include "resources/app_resources.h"

namespace settings {

using namespace platform::ui;

CDlgCompatibleMode::CDlgCompatibleMode(uint8_t own_type_code, uint8_t current_code, CWnd* parent)
    : CDialog(kCompatibleModeTemplate, parent),
      own_type_code_(own_type_code),
      current_code_(current_code),
      choices_(CompatibleChoices(own_type_code)) {}

bool CDlgCompatibleMode::OnInitDialog() {
  CDialog::OnInitDialog();
  auto* list = static_cast<CComboBox*>(GetDlgItem(kIdcCompatibleList));
  list->ResetContent();
  for (size_t i = 0; i < choices_.size(); ++i) {
    list->AddString(resources::LoadString(choices_[i].string_id));
    if (choices_[i].code == current_code_) list->SetCurSel(static_cast<int>(i));
  }
  return true;
}

void CDlgCompatibleMode::OnOK() {
  const int index = static_cast<CComboBox*>(GetDlgItem(kIdcCompatibleList))->GetCurSel();
  selected_ = index;
  if (index >= 0 && index < static_cast<int>(choices_.size())) current_code_ = choices_[index].code;
  EndDialog(IDOK);
}

}  // namespace settings
