// The error display window (dialog 102): error code, messages, the illustrations of the
// remedy and the manual button. It tells the scanner indicator when the user closes it.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "errview/display_inputs.h"
#include "errview/illust_list.h"
#include "errview/language_tag.h"
#include "platform/ui/dialog.h"
#include "platform/ui/icons.h"
#include "platform/ui/tooltip.h"

namespace errview {

extern const char* const kWindowProperty;
extern const char* const kIndicatorProperty;

class CerrviewDlg : public platform::ui::CDialog {
 public:
  explicit CerrviewDlg(platform::ui::CWnd* parent = nullptr);

  // The model name is taken only when it is not empty.
  void SetInputs(const DisplayInputs& inputs);
  void SetLanguageTag(LanguageTag tag) { language_ = tag; }
  // The settings file that may override the inputs (Windows path); by default
  // scUtil.ini in the current directory.
  void SetSettingsFile(std::string file_name) { settings_file_ = std::move(file_name); }

  const DisplayInputs& inputs() const { return inputs_; }
  int illustration_count() const { return count_; }
  int illustration_index() const { return current_.index; }
  bool auto_switching() const { return auto_switching_; }
  const std::optional<std::string>& manual_path() const { return manual_path_; }

 protected:
  bool OnInitDialog() override;
  void OnTimer(platform::ui::UINT_PTR id) override;
  void OnOK() override;
  void OnCancel() override;
  void OnClose() override;
  void OnDestroy() override;
  platform::ui::HICON OnQueryDragIcon() const { return icon_; }

  void OnStart();
  void OnStop();
  void OnNext();
  void OnPrevious();
  void OnViewManual();
  platform::ui::LRESULT OnCloseDisplay(platform::ui::WPARAM, platform::ui::LPARAM);
  void OnUpdateMessage();
  void OnUpdatePart1();
  void OnUpdatePart2();
  void OnUpdatePart3();
  DECLARE_MESSAGE_MAP()

 private:
  void SetUpButtons();
  void ReadIllustList(bool settings_present);
  void FitWindowToIllustration();
  void LayOutErrorCode();
  void SetMessageFont();
  void ShowTexts();
  void DrawIllustration();
  void ChooseIllustration(int index);
  void FlashInBackground();
  void NotifyIndicator();
  bool IsFlatbedUnit() const;
  std::string MessageText() const;
  // Puts the stored text back when the control shows anything else.
  void RestoreText(int id, const std::string& text);
  // Moves a control by (dx, dy) and widens it by (dw, dh).
  void ShiftControl(int id, int dx, int dy, int dw = 0, int dh = 0);

  DisplayInputs inputs_;
  LanguageTag language_ = LANG_ENGLISH;
  std::string settings_file_;
  std::vector<CIllustInfo> records_;
  std::string list_folder_;
  int count_ = 0;
  Illustration current_;
  std::optional<std::string> manual_path_;
  bool auto_switching_ = true;
  bool tick_toggle_ = true;
  bool notify_on_close_ = true;
  bool edits_active_ = false;
  platform::ui::HICON icon_ = nullptr;
  platform::ui::CFont message_font_;
  platform::ui::CToolTipCtrl tooltips_;
  platform::ui::CBitmap shown_a_;
  platform::ui::CBitmap shown_b_;
};

}  // namespace errview
