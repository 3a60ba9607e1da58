// The Select Scanner dialog: one line per attached scanner, the user picks one.
#pragma once
#include <vector>

#include "device/device_record.h"
#include "platform/ui/dialog.h"

namespace utility {

class CUDlgSelectScanner : public platform::ui::CDialog {
 public:
  // current: the record to select first (null: the first line). With must_choose the
  // dialog can only end with OK.
  CUDlgSelectScanner(const std::vector<device::DeviceRecord>& list, const device::DeviceRecord* current,
                     bool must_choose, platform::ui::CWnd* parent = nullptr);

  // The line chosen with OK (-1 when the list was empty).
  int selected() const { return selected_; }

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(platform::ui::CDataExchange* dx) override;
  void OnCancel() override;

 private:
  const std::vector<device::DeviceRecord>& list_;
  const device::DeviceRecord* current_;
  bool must_choose_;
  int selected_ = -1;
};

// The dialog over the top window, as a ScannerChooser (connect_scanner.h): the chosen
// index, or -1 when it did not end with OK.
int ShowSelectScanner(const std::vector<device::DeviceRecord>& list, const device::DeviceRecord* current,
                      bool must_choose);

}  // namespace utility
