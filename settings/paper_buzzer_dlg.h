// The Paper Mode / Buzzer Setting dialog and, for the models without a paper mode,
// the Buzzer Setting dialog. Indexes: paper 0 "A4", 1 "Letter"; buzzer 0 "ON", 1 "OFF";
// -1 none.
#pragma once
#include "platform/ui/dialog.h"

namespace settings {

constexpr const char* kPaperBuzzerTemplate = "PAPERBUZZER";
constexpr const char* kBuzzerTemplate = "BUZZERSETTING";
constexpr int kIdcA4 = 1101, kIdcLetter = 1103, kIdcBuzzerOn = 1137, kIdcBuzzerOff = 1138;

class CDlgSetPaperSize : public platform::ui::CDialog {
 public:
  explicit CDlgSetPaperSize(platform::ui::CWnd* parent = nullptr) : CDialog(kPaperBuzzerTemplate, parent) {}

  int paper_index = -1;
  int buzzer_index = -1;

 protected:
  void DoDataExchange(platform::ui::CDataExchange* dx) override;
};

class CUDlgSetBuzzerSetting : public platform::ui::CDialog {
 public:
  explicit CUDlgSetBuzzerSetting(platform::ui::CWnd* parent = nullptr) : CDialog(kBuzzerTemplate, parent) {}

  int buzzer_index = -1;

 protected:
  void DoDataExchange(platform::ui::CDataExchange* dx) override;
};

}  // namespace settings
