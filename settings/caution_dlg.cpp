#include "settings/caution_dlg.h"

#include "platform/format.h"
#include "platform/ui/data_exchange.h"
#include "scanner/model_codes.h"

namespace settings {

using namespace platform::ui;
using scanner::ModelSet;

namespace {

constexpr int kCleanEdit = 1081, kCleanSpin = 1082;
constexpr int kReplaceLabel = 1080, kReplaceEdit = 1083, kReplaceSpin = 1084;
constexpr int kPaperFeedLabel = 1085, kPaperFeedEdit = 1086, kPaperFeedSpin = 1087;
constexpr int kRangeText = 1336;
constexpr int kShrink = 25;
constexpr unsigned kSpinStep = 100;
constexpr unsigned kRollerMinimum = 5000;
constexpr unsigned kRollerMaximum = 1000000;

constexpr ModelSet kGroupA = ModelSet::Range(12, 29) | ModelSet{32};
constexpr ModelSet kGroupB = {37, 38, 39};
constexpr ModelSet kGroupC = ModelSet::Range(40, 43);

}  // namespace

CleanRollerLimits CleanRollerLimitsFor(uint8_t code) {
  if (kGroupA.Has(code)) return {5000, 20000};
  if (kGroupB.Has(code)) return {1, 2000};
  if (kGroupC.Has(code)) return {1, 6000};
  return {1000, 20000};
}

bool WritesPaperFeedThreshold(uint8_t code) { return kGroupB.Has(code) || kGroupC.Has(code); }

BEGIN_MESSAGE_MAP(CUDlgWarning, CDialog)
  ON_NOTIFY(UDN_DELTAPOS, kCleanSpin, &CUDlgWarning::OnCleanSpin)
END_MESSAGE_MAP()

CUDlgWarning::CUDlgWarning(const scanner::ScannerContext& context, CWnd* parent)
    : CDialog("CAUTIONSETTING", parent), context_(context) {}

void CUDlgWarning::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  const uint8_t code = context_.model_code;
  const bool paper_feed_counter = scanner::kPaperFeedRollerModels.Has(code) && context_.paper_feed_roller;
  if (!WritesPaperFeedThreshold(code)) paper_feed_timing = kRollerMaximum;  // never sent
  const CleanRollerLimits clean = CleanRollerLimitsFor(code);
  DDX_Text(dx, kCleanEdit, clean_timing);
  DDV_MinMaxUInt(dx, clean_timing, clean.minimum, clean.maximum);
  DDX_Text(dx, kReplaceEdit, replace_timing);
  DDV_MinMaxUInt(dx, replace_timing, kRollerMinimum, kRollerMaximum);
  DDX_Text(dx, kPaperFeedEdit, paper_feed_timing);
  const bool strict = !WritesPaperFeedThreshold(code) || paper_feed_counter;
  DDV_MinMaxUInt(dx, paper_feed_timing, strict ? kRollerMinimum : 0, kRollerMaximum);
}

bool CUDlgWarning::OnInitDialog() {
  CDialog::OnInitDialog();
  CRect window;
  GetWindowRect(&window);
  MoveWindow(window.left, window.top, window.Width(), window.Height() - kShrink);
  for (int id : {IDOK, IDCANCEL}) {
    CRect r;
    GetDlgItem(id)->GetWindowRect(&r);
    ScreenToClient(&r);
    GetDlgItem(id)->MoveWindow(r.left, r.top - kShrink, r.Width(), r.Height());
  }
  for (int id : {kReplaceEdit, kReplaceSpin, kReplaceLabel, kPaperFeedEdit, kPaperFeedSpin, kPaperFeedLabel}) {
    GetDlgItem(id)->ShowWindow(SW_HIDE);
    GetDlgItem(id)->EnableWindow(false);
  }
  const CleanRollerLimits limits = CleanRollerLimitsFor(context_.model_code);
  static_cast<CSpinButtonCtrl*>(GetDlgItem(kCleanSpin))
      ->SetRange(static_cast<int>(limits.minimum / kSpinStep), static_cast<int>(limits.maximum / kSpinStep));
  SetDlgItemText(kRangeText, platform::Format("%d - %d", limits.minimum, limits.maximum));
  UpdateData(false);
  return true;
}

// Every click moves the value by 100, kept inside the group's limits.
void CUDlgWarning::OnCleanSpin(NMHDR* header, LRESULT* result) {
  const auto* updown = reinterpret_cast<const NMUPDOWN*>(header);
  UpdateData(true);
  auto* spin = static_cast<CSpinButtonCtrl*>(GetDlgItem(kCleanSpin));
  spin->SetPos(static_cast<int>(clean_timing / kSpinStep));
  const CleanRollerLimits limits = CleanRollerLimitsFor(context_.model_code);
  long long value = (static_cast<long long>(spin->GetPos()) + updown->iDelta) * kSpinStep;
  if (value < 0 || value < static_cast<long long>(limits.minimum)) value = limits.minimum;
  if (value > static_cast<long long>(limits.maximum)) value = limits.maximum;
  clean_timing = static_cast<unsigned>(value);
  SetDlgItemInt(kCleanEdit, clean_timing, false);
  *result = 0;
}

}  // namespace settings
