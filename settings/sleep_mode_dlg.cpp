#include "settings/sleep_mode_dlg.h"

#include "platform/ui/data_exchange.h"
#include "scanner/model_codes.h"
#include "settings/sleep_mode_ids.h"

namespace settings {

using namespace platform::ui;
using namespace sleep_ids;

namespace {

// Only these models let the user switch the scanner's sleep timer off.
constexpr scanner::ModelSet kSleepCanBeDisabled = {1, 2, 3, 4, 7, 9};
constexpr scanner::ModelSet kLongSleepMinimum = {37, 38, 39};
constexpr int kMaxMinutes = 60;

constexpr auto kSleepControls = {kSleepLabel, kSleepEdit, kSleepSpin, kSleepUnit};
constexpr auto kPowerOffControls = {kPowerOffLabel, kPowerOffEdit, kPowerOffSpin, kPowerOffUnit};
constexpr auto kFlatbedControls = {kFlatbedGroup, kFlatbedLabel, kFlatbedEdit, kFlatbedSpin, kFlatbedUnit};

}  // namespace

BEGIN_MESSAGE_MAP(CDlgSleepMode, CDialog)
  ON_BN_CLICKED(kSleepDisable, &CDlgSleepMode::OnSleepDisable)
  ON_BN_CLICKED(kPowerOffDisable, &CDlgSleepMode::OnPowerOffDisable)
END_MESSAGE_MAP()

CDlgSleepMode::CDlgSleepMode(const scanner::ScannerContext& context, CWnd* parent)
    : CDialog(kTemplate, parent), context_(context) {}

int CDlgSleepMode::SleepMinimum() const { return kLongSleepMinimum.Has(context_.model_code) ? 15 : 1; }

void CDlgSleepMode::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  // The boxes first, so a bad number leaves the clicked box's state read.
  DDX_Check(dx, kSleepDisable, sleep_disabled);
  DDX_Check(dx, kPowerOffDisable, power_off_disabled);
  DDX_Text(dx, kSleepEdit, sleep_minutes);
  DDV_MinMaxInt(dx, sleep_minutes, SleepMinimum(), kMaxMinutes);
  DDX_Text(dx, kPowerOffEdit, power_off_minutes);
  DDV_MinMaxInt(dx, power_off_minutes, 1, kMaxMinutes);
  DDX_Text(dx, kFlatbedEdit, flatbed_minutes);
  DDV_MinMaxInt(dx, flatbed_minutes, 1, kMaxMinutes);
}

bool CDlgSleepMode::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!kSleepCanBeDisabled.Has(context_.model_code)) {
    GetDlgItem(kSleepDisable)->ShowWindow(SW_HIDE);
    GetDlgItem(kSleepDisable)->EnableWindow(false);
    sleep_disabled = false;
    UpdateData(false);
  }
  static_cast<CSpinButtonCtrl*>(GetDlgItem(kSleepSpin))->SetRange(SleepMinimum(), kMaxMinutes);
  static_cast<CSpinButtonCtrl*>(GetDlgItem(kPowerOffSpin))->SetRange(1, kMaxMinutes);
  static_cast<CSpinButtonCtrl*>(GetDlgItem(kFlatbedSpin))->SetRange(1, kMaxMinutes);
  UpdateEnables();
  if (!context_.power_off) {
    ShowControls({kPowerOffGroup, kPowerOffDisable}, false);
    ShowControls(kPowerOffControls, false);
    RemoveGroup(kPowerOffGroup, {kFlatbedGroup, kFlatbedLabel, kFlatbedEdit, kFlatbedSpin, kFlatbedUnit, IDOK, IDCANCEL});
  }
  if (flatbed_present && context_.model_code == scanner::kFlatbedModelCode) {
    ShowControls({kSleepDisable}, false);
    ShowControls(kSleepControls, false);
  }
  if (!flatbed_present) {
    ShowControls(kFlatbedControls, false);
    for (int id : kFlatbedControls) GetDlgItem(id)->EnableWindow(false);
    RemoveGroup(kFlatbedGroup, {IDOK, IDCANCEL});
  }
  return true;
}

void CDlgSleepMode::OnOK() {
  if (!UpdateData(true)) return;
  EndDialog(IDOK);
}

void CDlgSleepMode::OnSleepDisable() { DisableClicked(kSleepDisable, sleep_minutes, 15); }
void CDlgSleepMode::OnPowerOffDisable() { DisableClicked(kPowerOffDisable, power_off_minutes, 30); }

void CDlgSleepMode::DisableClicked(int box, int& minutes, int default_minutes) {
  if (!UpdateData(true) && IsDlgButtonChecked(box) == BST_CHECKED) {
    minutes = default_minutes;
    UpdateData(false);
  }
  UpdateEnables();
}

void CDlgSleepMode::UpdateEnables() {
  for (int id : kSleepControls) GetDlgItem(id)->EnableWindow(!sleep_disabled);
  if (!context_.power_off) return;
  for (int id : kPowerOffControls) GetDlgItem(id)->EnableWindow(!power_off_disabled);
}

void CDlgSleepMode::ShowControls(std::initializer_list<int> ids, bool show) {
  for (int id : ids) GetDlgItem(id)->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CDlgSleepMode::RemoveGroup(int group, std::initializer_list<int> below) {
  CRect first, removed;
  GetDlgItem(kSleepGroup)->GetWindowRect(&first);
  ScreenToClient(&first);
  GetDlgItem(group)->GetWindowRect(&removed);
  const int delta = removed.Height() + first.top;
  for (int id : below) {
    CRect r;
    GetDlgItem(id)->GetWindowRect(&r);
    ScreenToClient(&r);
    GetDlgItem(id)->MoveWindow(r.left, r.top - delta, r.Width(), r.Height());
  }
  CRect window;
  GetWindowRect(&window);
  MoveWindow(window.left, window.top, window.Width(), window.Height() - delta);
}

}  // namespace settings
