// The main window's layouts: user and display-only, the panels per model, the
// condition buttons, the bottom row, the enable step and the error-code field.
#include "resources/app_resources.h"
#include "scanner/model_codes.h"
#include "utility/control_ids.h"
#include "utility/service_utility_dlg.h"

namespace utility {
namespace {

namespace ui = platform::ui;
using scanner::ModelSet;

constexpr int kIdsAppName = 3141;
constexpr int kIdsUserShading = 3234;
constexpr int kIdsVerticalLineReduction = 3204;
constexpr int kIdsBuzzerOnly = 3236;
constexpr int kIdsPaperAndBuzzer = 3237;

constexpr int kUserRaise = 70;       // counter panel
constexpr int kBottomRowRaise = 90;  // bottom row
constexpr int kCounterPanel[] = {id::kCounterGroup,     id::kSystemLabel,        id::kSystemValue,
                                 id::kFlatbedCountLabel, id::kFlatbedCountValue,  id::kAfterCleanLabel,
                                 id::kAfterCleanValue,   id::kAfterReplaceLabel,  id::kAfterReplaceValue,
                                 id::kPaperFeedLabel,    id::kPaperFeedValue,     id::kClearPaperFeed,
                                 id::kUpdateAllCounters, id::kClearAfterClean,    id::kClearAfterReplace};
constexpr int kBottomRow[] = {id::kAdjustScanPosition, id::kHelp, id::kAbout, id::kSelectScanner, id::kSaveInfo,
                              id::kClose};
constexpr int kConditionButtons[] = {id::kCleanImprinter, id::kPaperBuzzer,    id::kCompatibleMode,
                                     id::kUserShading,    id::kCautionSetting, id::kSetDefault};

// The condition buttons under "Sleep Mode", in rows, for a model.
struct ConditionRows {
  ModelSet models;
  std::vector<int> rows;
  int paper_buzzer_caption;  // 0: unchanged
};

std::vector<int> OtherModelRows(uint8_t code) {
  std::vector<int> rows;
  if (!ModelSet{1, 2, 6, 7, 8}.Has(code)) rows.push_back(id::kCleanImprinter);
  if (ModelSet{5, 6, 8, 10}.Has(code)) rows.push_back(id::kUserShading);
  rows.push_back(id::kCautionSetting);
  return rows;
}

ConditionRows ConditionRowsFor(uint8_t code) {
  static const ConditionRows kRows[] = {
      {{12, 14, 16},
       {id::kCleanImprinter, id::kPaperBuzzer, id::kCompatibleMode, id::kUserShading, id::kCautionSetting},
       kIdsPaperAndBuzzer},
      {{15, 25, 26, 27, 32}, {id::kCleanImprinter, id::kPaperBuzzer, id::kUserShading, id::kCautionSetting},
       kIdsPaperAndBuzzer},
      {scanner::kWideBodyFamily, {id::kCleanImprinter, id::kPaperBuzzer, id::kUserShading, id::kCautionSetting},
       kIdsBuzzerOnly},
      {scanner::kCompactFamily, {id::kUserShading, id::kCautionSetting}, kIdsPaperAndBuzzer},
      {scanner::kInterfaceBoardFamily, {}, 0},
      {{scanner::kFlatbedModelCode}, {}, 0},
  };
  for (const ConditionRows& r : kRows)
    if (r.models.Has(code)) return r;
  return {{}, OtherModelRows(code), kIdsPaperAndBuzzer};
}

}  // namespace

ui::CRect CServiceUtilityDlg::ClientRect(int id) const {
  ui::CRect r;
  GetDlgItem(id)->GetWindowRect(&r);
  ScreenToClient(&r);
  return r;
}

ui::CRect CServiceUtilityDlg::WindowInClient() const {
  ui::CRect r;
  GetWindowRect(&r);
  ScreenToClient(&r);
  return r;
}

void CServiceUtilityDlg::MoveBy(int id, int dx, int dy) {
  ui::CRect r = ClientRect(id);
  GetDlgItem(id)->MoveWindow(r.left + dx, r.top + dy, r.Width(), r.Height());
}

void CServiceUtilityDlg::Show(int id, bool show) { GetDlgItem(id)->ShowWindow(show ? ui::SW_SHOW : ui::SW_HIDE); }

void CServiceUtilityDlg::ShowEnable(int id, bool on) {
  Show(id, on);
  GetDlgItem(id)->EnableWindow(on);
}

void CServiceUtilityDlg::UserLayout() {
  SetWindowText(resources::LoadString(kIdsAppName));
  const ui::CRect window = WindowInClient();
  const ui::CRect status = ClientRect(id::kStatusBox);
  const int d = (window.right - status.right) - (window.left + status.left);
  for (int id : kBottomRow) MoveBy(id, -d, -kBottomRowRaise);
  for (int group : {id::kInformationGroup, id::kConditionGroup}) {
    const ui::CRect r = ClientRect(group);
    GetDlgItem(group)->MoveWindow(r.left, r.top, r.Width(), r.Height() - kUserRaise);
  }
  for (int id : kCounterPanel) MoveBy(id, 0, -kUserRaise);

  ui::CRect window_screen, status_screen, select_screen;
  GetWindowRect(&window_screen);
  GetDlgItem(id::kStatusBox)->GetWindowRect(&status_screen);
  GetDlgItem(id::kSelectScanner)->GetWindowRect(&select_screen);
  const int m = status_screen.left - window_screen.left;
  MoveWindow(window_screen.left, window_screen.top, 2 * m + status_screen.Width(),
             select_screen.bottom + m - window_screen.top);
}

void CServiceUtilityDlg::DisplayOnlyLayout() {
  SetWindowText(resources::LoadString(kIdsAppName));
  EnableStep();
  ui::CRect window, status, sleep;
  GetWindowRect(&window);
  GetDlgItem(id::kStatusBox)->GetWindowRect(&status);
  GetDlgItem(id::kSleepMode)->GetWindowRect(&sleep);
  const int width = (status.right - window.left) + (status.left - window.left);
  const int bottom = sleep.bottom - window.top;
  MoveWindow(window.left, window.top, width, bottom + 5);
  const ui::CRect close = ClientRect(id::kClose);
  GetDlgItem(id::kClose)->MoveWindow(width - close.Width() - 15, bottom - close.Height() - 30, close.Width(),
                                     close.Height());
  for (int id : {1151, 1152, 1012, 1116, 1017, 1117, 1011, 1000, 1007, 1066, 1067, 1069, 1070, 1010, 1023}) Show(id, false);
  for (int id : {1007, 1066, 1067, 1069, 1070, 1010, 1023, 1042, 1021, 1022, 1062, 1008, 1005, 1158, 1150, 1014})
    GetDlgItem(id)->EnableWindow(false);
  ModifyStyle(ui::WS_MINIMIZEBOX, 0);
}

void CServiceUtilityDlg::PanelLayout() {
  LayoutInformationRows();
  LayoutConditionButtons();
  LayoutCounterRows();
  ShowEnable(id::kTestGroup, false);
  for (int id : id::kServiceButtons) ShowEnable(id, false);
  LayoutBottomRow();
  EnableStep();
}

void CServiceUtilityDlg::LayoutConditionButtons() {
  const uint8_t code = context_.model_code;
  const ConditionRows layout = ConditionRowsFor(code);
  for (int id : kConditionButtons) ShowEnable(id, false);
  ShowEnable(id::kSleepMode, !scanner::kInterfaceBoardFamily.Has(code));
  const ui::CRect sleep = ClientRect(id::kSleepMode);
  const int pitch = sleep.Height() + 6;
  int row = 1;
  for (int id : layout.rows) {
    const ui::CRect r = ClientRect(id);
    GetDlgItem(id)->MoveWindow(sleep.left, sleep.top + row++ * pitch, r.Width(), r.Height());
    ShowEnable(id, true);
  }
  if (std::find(layout.rows.begin(), layout.rows.end(), id::kUserShading) != layout.rows.end()) {
    SetDlgItemText(id::kUserShading,
                   resources::LoadString(scanner::kCompactFamily.Has(code) ? kIdsVerticalLineReduction : kIdsUserShading));
  }
  if (layout.paper_buzzer_caption) SetDlgItemText(id::kPaperBuzzer, resources::LoadString(layout.paper_buzzer_caption));
  ShowEnable(id::kSetDefault, false);
}

void CServiceUtilityDlg::LayoutBottomRow() {
  ShowEnable(id::kAdjustScanPosition, false);
  const bool flatbed_unit = context_.model_code == scanner::kFlatbedModelCode;
  Show(id::kHelp, !flatbed_unit);
  GetDlgItem(id::kHelp)->EnableWindow(!flatbed_unit);
  Show(id::kAbout, !flatbed_unit);
  Show(id::kSaveInfo, !flatbed_unit);
}

void CServiceUtilityDlg::EnableStep() {
  const bool c = context_.connected;
  for (int id : {id::kClearAfterClean, id::kClearAfterReplace, id::kUpdateAllCounters}) GetDlgItem(id)->EnableWindow(c);
  for (int id : {1062, 1000, 1007, 1005, 1010, 1023, 1070, 1067, 1069, 1014}) {
    if (GetDlgItem(id)->IsWindowVisible()) GetDlgItem(id)->EnableWindow(c);
  }
  ui::CWnd* clean = GetDlgItem(id::kCleanImprinter);
  if (clean->IsWindowVisible()) clean->EnableWindow(c && (context_.pre_imprinter || context_.post_imprinter));
  for (int id : id::kServiceButtons) GetDlgItem(id)->EnableWindow(false);
  if (!ui::CWnd::GetFocus()) GetDlgItem(c ? id::kSleepMode : id::kClose)->SetFocus();
}

void CServiceUtilityDlg::LayoutErrorCode(bool with_part1) {
  const ui::CRect label = ClientRect(id::kErrorLabel);
  const ui::CRect anchor = ClientRect(with_part1 ? id::kErrorPart1 : id::kErrorPart2);
  GetDlgItem(id::kErrorLabel)->MoveWindow(anchor.left - 2 - label.Width(), label.top, label.Width(), label.Height());
  if (with_part1) {
    if (display_.part1 != "TT767") display_.part1 = "TT767";
    SetDlgItemText(id::kErrorPart1, display_.part1);
    for (int id : {id::kErrorPart1, id::kErrorDash}) Show(id, true);
    for (int id : {id::kErrorPart1, id::kErrorPart2, id::kErrorPart3}) GetDlgItem(id)->EnableWindow(true);
  } else {
    for (int id : {id::kErrorPart1, id::kErrorDash}) Show(id, false);
    GetDlgItem(id::kErrorPart1)->EnableWindow(false);
  }
}

}  // namespace utility
