// The Sleep Mode dialog: the scanner's sleep and power-off timers and the flatbed
// unit's sleep timer.
#pragma once
#include <initializer_list>

#include "platform/ui/dialog.h"
#include "scanner/scanner_context.h"

namespace settings {

class CDlgSleepMode : public platform::ui::CDialog {
 public:
  explicit CDlgSleepMode(const scanner::ScannerContext& context, platform::ui::CWnd* parent = nullptr);

  // Set before DoModal, read back after OK.
  bool flatbed_present = false;
  bool sleep_disabled = false;
  int sleep_minutes = 15;
  bool power_off_disabled = false;
  int power_off_minutes = 30;
  int flatbed_minutes = 15;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(platform::ui::CDataExchange* dx) override;
  void OnOK() override;

 private:
  void OnSleepDisable();
  void OnPowerOffDisable();
  // A click on a Disable box: a value that does not validate is reset when the box
  // switches its timer off, so that it cannot block the dialog.
  void DisableClicked(int box, int& minutes, int default_minutes);
  void UpdateEnables();
  int SleepMinimum() const;
  void ShowControls(std::initializer_list<int> ids, bool show);
  // Removes a group's room: the dialog shrinks and the controls below move up.
  void RemoveGroup(int group, std::initializer_list<int> below);

  const scanner::ScannerContext& context_;

  DECLARE_MESSAGE_MAP()
};

}  // namespace settings
