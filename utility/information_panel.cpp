// The information and counter panels: their texts, which rows each model shows and
// where, and the summary a caption click opens.
#include <vector>

#include "resources/app_resources.h"
#include "scanner/model_codes.h"
#include "scanner/text_forms.h"
#include "utility/control_ids.h"
#include "utility/service_utility_dlg.h"

namespace utility {
namespace {

namespace ui = platform::ui;
using scanner::ModelSet;
using scanner::OnOff;

constexpr int kIdsIfFirmware = 3183;
constexpr int kIdsPreImprinter = 3189;
constexpr int kIdsPostImprinter = 3190;
constexpr int kIdsFirmware = 3191;
constexpr int kIdsMemory = 3239;
constexpr int kIdsFrontMemory = 3240;
constexpr int kIdsDoubleFeedRoller = 3226;
constexpr int kIdsReplaceRoller = 3227;

constexpr ModelSet kFlatbedCounterModels = {12, 13, 25, 28};
constexpr ModelSet kPaperFeedModels = scanner::kPaperFeedRollerModels;

struct Row {
  int label;
  int value;
};

constexpr Row kModel{id::kModelLabel, id::kModelValue};
constexpr Row kFirmware{id::kFirmwareLabel, id::kFirmwareValue};
constexpr Row kMemory{id::kMemoryLabel, id::kMemoryValue};
constexpr Row kBackMemory{id::kBackMemoryLabel, id::kBackMemoryValue};
constexpr Row kInterface{id::kInterfaceLabel, id::kInterfaceValue};
constexpr Row kTerminator{id::kTerminatorLabel, id::kTerminatorValue};
constexpr Row kPreImprinter{id::kPreImprinterLabel, id::kPreImprinterValue};
constexpr Row kPostImprinter{id::kPostImprinterLabel, id::kPostImprinterValue};
constexpr Row kFlatbed{id::kFlatbedLabel, id::kFlatbedValue};
constexpr Row kCompatible{id::kCompatibleLabel, id::kCompatibleValue};

// Every information row in the summary's order (the CCD (B) board row never appears).
const Row kInformationRows[] = {
    kModel,
    kFirmware,
    {id::kControlBoardLabel, id::kControlBoardValue},
    {id::kInterfaceBoardLabel, id::kInterfaceBoardValue},
    {id::kDriveBoardLabel, id::kDriveBoardValue},
    {id::kGateArray1Label, id::kGateArray1Value},
    {id::kGateArray2Label, id::kGateArray2Value},
    {id::kGateArray3Label, id::kGateArray3Value},
    kMemory,
    kBackMemory,
    kInterface,
    kTerminator,
    kPreImprinter,
    kPostImprinter,
    kFlatbed,
    kCompatible,
};
constexpr Row kCcdBoard{id::kCcdBoardLabel, id::kCcdBoardValue};

constexpr Row kSystem{id::kSystemLabel, id::kSystemValue};
constexpr Row kFlatbedCount{id::kFlatbedCountLabel, id::kFlatbedCountValue};
constexpr Row kAfterClean{id::kAfterCleanLabel, id::kAfterCleanValue};
constexpr Row kAfterReplace{id::kAfterReplaceLabel, id::kAfterReplaceValue};
constexpr Row kPaperFeed{id::kPaperFeedLabel, id::kPaperFeedValue};
const Row kCounterRows[] = {kSystem, kFlatbedCount, kAfterClean, kAfterReplace, kPaperFeed};

bool IsSerial(const scanner::ScannerContext& c) {
  return c.interface_kind == scanner::kInterfaceAspiScsi || c.interface_kind == scanner::kInterfaceStiScsi;
}

// The rows stacked under the firmware row for a model.
std::vector<Row> RowsUnderFirmware(const scanner::ScannerContext& c, bool flatbed) {
  const uint8_t code = c.model_code;
  std::vector<Row> rows;
  if (scanner::kWideBodyFamily.Has(code)) {
    rows = {kMemory, kBackMemory, kInterface, kPreImprinter};
    if (!ModelSet{13, 22, 23, 28, 29}.Has(code)) rows.push_back(kPostImprinter);
    if (flatbed) rows.push_back(kFlatbed);
  } else if (scanner::kProductionFamily.Has(code)) {
    rows = {kMemory, kInterface, kPreImprinter};
    if (!ModelSet{12, 25, 26, 27, 32}.Has(code)) rows.push_back(kPostImprinter);
    if (flatbed) rows.push_back(kFlatbed);
    if (ModelSet{12, 14, 16}.Has(code)) rows.push_back(kCompatible);
  } else if (scanner::kInterfaceBoardFamily.Has(code) || code == scanner::kFlatbedModelCode) {
    // none; the flatbed unit puts its flatbed row in the firmware row's place
  } else {
    rows = {kInterface};
    if (!(c.interface_kind == scanner::kInterfaceStiUsbHigh || c.interface_kind == scanner::kInterfaceStiUsbFull))
      rows.push_back(kTerminator);
    if (!(ModelSet{1, 2, 6, 7, 8} | scanner::kCompactFamily).Has(code)) rows.push_back(kPreImprinter);
    if (flatbed) rows.push_back(kFlatbed);
  }
  return rows;
}

}  // namespace

void CServiceUtilityDlg::InformationRefresh() {
  UpdateStatusControls();
  if (DisplayOnly()) return;
  WriteInformation();
  PanelLayout();
}

void CServiceUtilityDlg::WriteInformation() {
  const scanner::ScannerContext& c = context_;
  const bool interface_board = scanner::kInterfaceBoardFamily.Has(c.model_code);
  SetDlgItemText(id::kFirmwareLabel, resources::LoadString(interface_board ? kIdsIfFirmware : kIdsFirmware));
  if (interface_board) {
    SetDlgItemText(id::kMemoryLabel, resources::LoadString(kIdsMemory));
  } else {
    SetDlgItemText(id::kPreImprinterLabel, resources::LoadString(kIdsPreImprinter));
    SetDlgItemText(id::kPostImprinterLabel, resources::LoadString(kIdsPostImprinter));
    SetDlgItemText(id::kMemoryLabel,
                   resources::LoadString(scanner::kWideBodyFamily.Has(c.model_code) ? kIdsFrontMemory : kIdsMemory));
  }
  SetDlgItemText(id::kModelValue, scanner::ModelNameText(c));
  SetDlgItemText(id::kFirmwareValue, scanner::FirmwareVersionText(c, false));
  SetDlgItemText(id::kMemoryValue, scanner::MemoryText(c));
  SetDlgItemText(id::kBackMemoryValue, scanner::BackMemoryText(c));
  SetDlgItemText(id::kInterfaceValue, scanner::InterfaceText(c));
  SetDlgItemText(id::kTerminatorValue, IsSerial(c) ? scanner::TerminatorText(c, OnOff::kStrings) : "");
  SetDlgItemText(id::kPreImprinterValue, scanner::PreImprinterText(c, OnOff::kStrings));
  SetDlgItemText(id::kPostImprinterValue, scanner::PostImprinterText(c, OnOff::kStrings));
  SetDlgItemText(id::kFlatbedValue, scanner::FlatbedText(c, OnOff::kStrings));
  SetDlgItemText(id::kCompatibleValue, scanner::CompatibleModeText(c));

  WriteCounterTexts(kFlatbedCounterModels.Has(c.model_code));
}

void CServiceUtilityDlg::WriteCounterTexts(bool flatbed_counter) {
  SetDlgItemText(id::kSystemValue, counters_.SystemText());
  if (flatbed_counter) SetDlgItemText(id::kFlatbedCountValue, counters_.FlatbedText());
  SetDlgItemText(id::kAfterCleanValue, counters_.AfterCleanText());
  SetDlgItemText(id::kAfterReplaceValue, counters_.AfterReplaceText());
  if (kPaperFeedModels.Has(context_.model_code)) SetDlgItemText(id::kPaperFeedValue, counters_.PaperFeedText());
}

void CServiceUtilityDlg::LayoutInformationRows() {
  for (const Row& row : kInformationRows) {
    Show(row.label, false);
    Show(row.value, false);
  }
  Show(kCcdBoard.label, false);
  Show(kCcdBoard.value, false);
  const bool flatbed_unit = context_.model_code == scanner::kFlatbedModelCode;
  std::vector<Row> rows = {kModel};
  if (!flatbed_unit) rows.push_back(kFirmware);
  for (const Row& row : RowsUnderFirmware(context_, monitor_.FlatbedRowApplies())) rows.push_back(row);
  if (flatbed_unit) rows.push_back(kFlatbed);
  // The model row stays; the others stack from the firmware row's place down.
  for (size_t k = 1; k < rows.size(); ++k) {
    const int top = firmware_label_top_ + static_cast<int>(k - 1) * info_row_pitch_;
    for (int id : {rows[k].label, rows[k].value}) {
      const ui::CRect r = ClientRect(id);
      GetDlgItem(id)->MoveWindow(r.left, top, r.Width(), r.Height());
    }
  }
  for (const Row& row : rows) {
    Show(row.label, true);
    Show(row.value, true);
  }
  Show(id::kInformationGroup, true);
  Show(id::kConditionGroup, !scanner::kInterfaceBoardFamily.Has(context_.model_code));
}

void CServiceUtilityDlg::LayoutCounterRows() {
  const uint8_t code = context_.model_code;
  const bool paper_feed = kPaperFeedModels.Has(code) && context_.paper_feed_roller;
  const bool rollers = !scanner::kInterfaceBoardFamily.Has(code);
  const bool none = code == scanner::kFlatbedModelCode;
  const auto show_row = [&](const Row& row, bool on) {
    Show(row.label, on);
    Show(row.value, on);
  };
  Show(id::kCounterGroup, !none);
  show_row(kSystem, !none);
  show_row(kFlatbedCount, !none && kFlatbedCounterModels.Has(code));
  show_row(kAfterClean, !none && rollers);
  Show(id::kClearAfterClean, !none && rollers);
  show_row(kAfterReplace, !none && rollers);
  Show(id::kClearAfterReplace, !none && rollers);
  show_row(kPaperFeed, !none && paper_feed);
  ShowEnable(id::kClearPaperFeed, !none && paper_feed);
  Show(id::kUpdateAllCounters, !none);
  if (!none) SetDlgItemText(id::kAfterReplaceLabel, resources::LoadString(paper_feed ? kIdsDoubleFeedRoller : kIdsReplaceRoller));
}

std::string CServiceUtilityDlg::PanelSummary(bool information) const {
  const int group = information ? id::kInformationGroup : id::kCounterGroup;
  std::string text;
  if (GetDlgItem(group)->IsWindowVisible()) text = GetDlgItemText(group) + "\r\n";
  const std::vector<Row> rows = information ? std::vector<Row>(std::begin(kInformationRows), std::end(kInformationRows))
                                            : std::vector<Row>(std::begin(kCounterRows), std::end(kCounterRows));
  for (const Row& row : rows) {
    if (!GetDlgItem(row.label)->IsWindowVisible()) continue;
    text += GetDlgItemText(row.label) + (row.label == id::kAfterCleanLabel ? "\t\t" : "\t") + GetDlgItemText(row.value) +
            "\r\n";
  }
  return text;
}

}  // namespace utility
