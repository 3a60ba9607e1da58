// The Caution Setting dialog: the clean-roller threshold the scanner keeps.
#pragma once
#include <cstdint>

#include "platform/ui/dialog.h"
#include "scanner/scanner_context.h"

namespace settings {

// Limits of the clean-roller timing for the model's group.
struct CleanRollerLimits {
  unsigned minimum;
  unsigned maximum;
};
CleanRollerLimits CleanRollerLimitsFor(uint8_t model_code);
// The 12-byte threshold write (with the paper-feed roller) for the model's group.
bool WritesPaperFeedThreshold(uint8_t model_code);

class CUDlgWarning : public platform::ui::CDialog {
 public:
  explicit CUDlgWarning(const scanner::ScannerContext& context, platform::ui::CWnd* parent = nullptr);

  unsigned clean_timing = 0;
  unsigned replace_timing = 0;
  unsigned paper_feed_timing = 0;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(platform::ui::CDataExchange* dx) override;
  void OnCleanSpin(platform::ui::NMHDR* header, platform::ui::LRESULT* result);

  DECLARE_MESSAGE_MAP()

 private:
  const scanner::ScannerContext& context_;
};

}  // namespace settings
