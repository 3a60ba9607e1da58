// The Compatible Mode dialog: the model the scanner presents itself as.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/ui/dialog.h"
#include "settings/compatible_choices.h"

namespace settings {

constexpr const char* kCompatibleModeTemplate = "COMPATIBLEMODE";
constexpr int kIdcCompatibleList = 1104;

class CDlgCompatibleMode : public platform::ui::CDialog {
 public:
  CDlgCompatibleMode(uint8_t own_type_code, uint8_t current_code, platform::ui::CWnd* parent = nullptr);

  // After OK: the chosen entry's code, or the code given when nothing was chosen.
  uint8_t current_code() const { return current_code_; }
  int selected() const { return selected_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  uint8_t own_type_code_;
  uint8_t current_code_;
  std::vector<CompatibleChoice> choices_;
  int selected_ = -1;
};

}  // namespace settings
