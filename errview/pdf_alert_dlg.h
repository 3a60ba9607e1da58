// The alert shown when no program opens the manual: a warning, the text and a link to
// where a PDF reader can be had.
#pragma once
#include "platform/ui/dialog.h"

namespace errview {

// A static showing a web address in blue at 9 points; a click opens the address.
class CStaticReaderUrlEx : public platform::ui::CStatic {
 public:
  // Gives the static its colour and font; the dialog calls it once its window exists.
  void Decorate();
  void Open();

 private:
  platform::ui::CFont font_;
};

class CDialogPdfAlert : public platform::ui::CDialog {
 public:
  explicit CDialogPdfAlert(platform::ui::CWnd* parent = nullptr);

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(platform::ui::CDataExchange* dx) override;
  void OnLink();
  DECLARE_MESSAGE_MAP()

 private:
  CStaticReaderUrlEx link_;
};

}  // namespace errview
