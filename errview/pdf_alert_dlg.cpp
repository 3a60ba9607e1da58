#include "errview/pdf_alert_dlg.h"

#include "errview/control_ids.h"
#include "platform/message_box.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/icons.h"
#include "platform/ui/shell.h"
#include "resources/app_resources.h"

namespace errview {

namespace ui = platform::ui;

void CStaticReaderUrlEx::Decorate() {
  SetTextColor(ui::RGB(0, 0, 255));
  SetBackgroundColor(std::nullopt);
  ui::LOGFONT own;
  if (ui::CFont* font = GetFont(); font && font->GetLogFont(&own)) font_.CreatePointFont(90, own.lfFaceName);
  SetFont(&font_);
}

void CStaticReaderUrlEx::Open() {
  ui::ShellExecute(m_hWnd, "open", GetWindowText(), "", "", ui::SW_SHOWNORMAL);
}

BEGIN_MESSAGE_MAP(CDialogPdfAlert, platform::ui::CDialog)
  ON_STN_CLICKED(id::kAlertLink, &CDialogPdfAlert::OnLink)
END_MESSAGE_MAP()

CDialogPdfAlert::CDialogPdfAlert(ui::CWnd* parent) : ui::CDialog(id::kAlertTemplate, parent) {}

bool CDialogPdfAlert::OnInitDialog() {
  ui::CDialog::OnInitDialog();
  SetWindowText(platform::AppName());
  static_cast<ui::CStatic*>(GetDlgItem(id::kAlertIcon))->SetIcon(ui::LoadSystemIcon(ui::IDI_EXCLAMATION));
  link_.SetWindowText(resources::LoadString(id::kReaderLink));
  link_.Decorate();
  return true;
}

void CDialogPdfAlert::DoDataExchange(ui::CDataExchange* dx) {
  ui::CDialog::DoDataExchange(dx);
  ui::DDX_Control(dx, id::kAlertLink, link_);
}

void CDialogPdfAlert::OnLink() { link_.Open(); }

}  // namespace errview
