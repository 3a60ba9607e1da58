#include "errview/errview_dlg.h"

#include <algorithm>
#include <cctype>

#include "errview/control_ids.h"
#include "errview/manual.h"
#include "errview/pdf_alert_dlg.h"
#include "errview/settings_override.h"
#include "platform/desktop.h"
#include "platform/error_text.h"
#include "platform/file_io.h"
#include "platform/message_box.h"
#include "platform/module.h"
#include "platform/paths.h"
#include "platform/ui/desktop.h"
#include "platform/ui/shell.h"
#include "resources/app_resources.h"

namespace errview {

namespace ui = platform::ui;

const char* const kWindowProperty = "QMXUtilityErrorDisplayWindowClass";
const char* const kIndicatorProperty = "QMXSIndicatorWindowClass";

namespace {

constexpr ui::UINT_PTR kTimerId = 1;
constexpr ui::UINT kTimerMs = 1000;
constexpr int kMaxIllustWidth = 640;
constexpr int kMaxIllustHeight = 480;
constexpr int kLabelGap = 2;
constexpr int kMessagePointSize = 140;  // tenths
constexpr ui::UINT kFlashCount = 2;
constexpr ui::DWORD kFlashTimeoutMs = 500;
constexpr const char* kFlatbedModel = "tt767";
constexpr const char* kFlatbedPart1 = "TT767";
// A list longer than this is not one we wrote; it is taken as unreadable.
constexpr size_t kMaxListBytes = 16 * 1024 * 1024;

std::string LowerAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The list's folder with its trailing separator.
std::string FolderOf(const std::string& path) {
  const size_t last = path.find_last_of("\\/");
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

}  // namespace

BEGIN_MESSAGE_MAP(CerrviewDlg, platform::ui::CDialog)
  ON_BN_CLICKED(id::kStart, &CerrviewDlg::OnStart)
  ON_BN_CLICKED(id::kStop, &CerrviewDlg::OnStop)
  ON_BN_CLICKED(id::kNext, &CerrviewDlg::OnNext)
  ON_BN_CLICKED(id::kPrevious, &CerrviewDlg::OnPrevious)
  ON_BN_CLICKED(id::kViewManual, &CerrviewDlg::OnViewManual)
  ON_MESSAGE(id::kCloseDisplay, &CerrviewDlg::OnCloseDisplay)
  ON_EN_UPDATE(id::kMessageBox, &CerrviewDlg::OnUpdateMessage)
  ON_EN_UPDATE(id::kPart1, &CerrviewDlg::OnUpdatePart1)
  ON_EN_UPDATE(id::kPart2, &CerrviewDlg::OnUpdatePart2)
  ON_EN_UPDATE(id::kPart3, &CerrviewDlg::OnUpdatePart3)
  ON_WM_TIMER()
  ON_WM_CLOSE()
  ON_WM_DESTROY()
  ON_WM_QUERYDRAGICON()
END_MESSAGE_MAP()

CerrviewDlg::CerrviewDlg(ui::CWnd* parent)
    : ui::CDialog(id::kMainTemplate, parent), settings_file_(CurrentFolderSettingsFile()) {}

void CerrviewDlg::SetInputs(const DisplayInputs& inputs) {
  const std::string model = inputs_.model_name;
  inputs_ = inputs;
  if (inputs.model_name.empty()) inputs_.model_name = model;
}

bool CerrviewDlg::OnInitDialog() {
  ui::CDialog::OnInitDialog();
  SetUpButtons();
  const bool settings_present = ApplySettingsOverride(inputs_, settings_file_);
  ReadIllustList(settings_present);
  ChooseIllustration(0);
  if (count_ <= 1) GetDlgItem(id::kStop)->EnableWindow(false);
  manual_path_ = FindManual(inputs_.model_name, ManualVariant(records_, inputs_.error_type), language_);
  if (!manual_path_) GetDlgItem(id::kViewManual)->EnableWindow(false);
  FitWindowToIllustration();
  DrawIllustration();
  LayOutErrorCode();
  SetMessageFont();
  ShowTexts();
  SetTimer(kTimerId, kTimerMs);
  edits_active_ = true;
  GotoDlgCtrl(GetDlgItem(id::kClose));
  return false;
}

void CerrviewDlg::SetUpButtons() {
  icon_ = ui::LoadIcon(id::kWindowIcon);
  SetIcon(icon_, true);
  SetIcon(icon_, false);
  platform::SetProp(m_hWnd, kWindowProperty, reinterpret_cast<platform::HANDLE>(1));
  struct IconButton {
    int control;
    int icon;
    int tip;
  };
  static constexpr IconButton kButtons[] = {
      {id::kNext, id::kNextIcon, id::kNextTip},
      {id::kPrevious, id::kPreviousIcon, id::kPreviousTip},
      {id::kStart, id::kStartIcon, id::kStartTip},
      {id::kStop, id::kStopIcon, id::kStopTip},
  };
  tooltips_.Create(this);
  for (const IconButton& button : kButtons) {
    static_cast<ui::CButton*>(GetDlgItem(button.control))->SetIcon(ui::LoadIcon(button.icon));
    tooltips_.AddTool(GetDlgItem(button.control), resources::LoadString(button.tip));
  }
  tooltips_.Activate(true);
  for (int control : {id::kStart, id::kPrevious, id::kNext}) GetDlgItem(control)->EnableWindow(false);
  GetDlgItem(id::kStop)->EnableWindow(true);
  auto_switching_ = true;
}

void CerrviewDlg::ReadIllustList(bool settings_present) {
  records_.clear();
  list_folder_ = FolderOf(inputs_.illust_path);
  const auto host = platform::paths::ToHost(inputs_.illust_path);
  std::optional<std::string> bytes;
  if (host) {
    bytes = platform::files::ReadFileUpTo(*host, kMaxListBytes + 1);
  } else {
    platform::SetLastError(platform::ERROR_PATH_NOT_FOUND);
  }
  if (!bytes) {
    // The indicator that writes the settings file expects to hear of a bad path.
    if (settings_present) platform::AfxMessageBox(platform::SystemErrorText(platform::GetLastError()));
    return;
  }
  if (bytes->size() > kMaxListBytes) return;
  records_ = ParseIllustList(*bytes);
}

void CerrviewDlg::ChooseIllustration(int index) {
  count_ = IllustrationCount(records_, inputs_.error_type);
  current_ = IllustrationAt(records_, inputs_.error_type, index, current_);
}

void CerrviewDlg::FitWindowToIllustration() {
  const std::string& name = current_.file_b.empty() ? current_.file_a : current_.file_b;
  if (name.empty()) return;
  ui::CBitmap bitmap;
  if (!bitmap.LoadFromFile(list_folder_ + name)) return;
  const ui::CSize size = bitmap.GetSize();
  ui::CRect area;
  GetDlgItem(id::kFirstPicture)->GetWindowRect(&area);
  const int dx = std::max(0, std::min(size.cx, kMaxIllustWidth) - area.Width());
  const int dy = std::max(0, std::min(size.cy, kMaxIllustHeight) - area.Height());
  if (dx == 0 && dy == 0) return;
  ui::CRect window;
  GetWindowRect(&window);
  MoveWindow(window.left, window.top, window.Width() + dx, window.Height() + dy);
  ShiftControl(id::kSecondPicture, 0, 0, dx, dy);
  for (int control : {id::kStart, id::kStop, id::kPrevious, id::kNext, id::kViewManual}) ShiftControl(control, 0, dy);
  ShiftControl(id::kMessageBox, 0, 0, 0, dy);
  ShiftControl(id::kClose, dx, dy);
  CenterWindow();
}

void CerrviewDlg::ShiftControl(int control, int dx, int dy, int dw, int dh) {
  ui::CWnd* item = GetDlgItem(control);
  ui::CRect rect;
  item->GetWindowRect(&rect);
  ScreenToClient(&rect);
  item->MoveWindow(rect.left + dx, rect.top + dy, rect.Width() + dw, rect.Height() + dh);
}

bool CerrviewDlg::IsFlatbedUnit() const { return LowerAscii(inputs_.model_name) == kFlatbedModel; }

void CerrviewDlg::LayOutErrorCode() {
  const bool flatbed = IsFlatbedUnit();
  ui::CWnd* label = GetDlgItem(id::kErrorCodeLabel);
  ui::CRect label_rect, anchor;
  label->GetWindowRect(&label_rect);
  ScreenToClient(&label_rect);
  GetDlgItem(flatbed ? id::kPart1 : id::kPart2)->GetWindowRect(&anchor);
  ScreenToClient(&anchor);
  const int right = anchor.left - kLabelGap;
  label->MoveWindow(right - label_rect.Width(), label_rect.top, label_rect.Width(), label_rect.Height());
  const int show = flatbed ? ui::SW_SHOW : ui::SW_HIDE;
  GetDlgItem(id::kPart1)->ShowWindow(show);
  GetDlgItem(id::kPart1Dash)->ShowWindow(show);
  if (flatbed) {
    SetDlgItemText(id::kPart1, kFlatbedPart1);
    GetDlgItem(id::kViewManual)->ShowWindow(ui::SW_HIDE);
    GetDlgItem(id::kViewManual)->EnableWindow(false);
  }
}

void CerrviewDlg::SetMessageFont() {
  ui::CWnd* box = GetDlgItem(id::kMessageBox);
  ui::LOGFONT own;
  ui::CFont* font = box->GetFont();
  if (!font || !font->GetLogFont(&own)) return;
  if (message_font_.CreatePointFont(kMessagePointSize, own.lfFaceName)) box->SetFont(&message_font_);
}

void CerrviewDlg::ShowTexts() {
  ui::CWnd* part2 = GetDlgItem(id::kPart2);
  part2->EnableWindow(false);
  if (!inputs_.error_type.empty() && inputs_.error_type.find('W') != std::string::npos) {
    SetDlgItemText(id::kPart2, "");
    inputs_.message1 = resources::LoadString(id::kCaution) + "\r\n" + inputs_.message1;
  } else {
    SetDlgItemText(id::kPart2, inputs_.error_type);
    part2->EnableWindow(!inputs_.error_type.empty());
  }
  SetDlgItemText(id::kMessageBox, MessageText());
  ui::CWnd* part3 = GetDlgItem(id::kPart3);
  part3->EnableWindow(false);
  if (!inputs_.error_code.empty() && inputs_.error_code.find('-') != std::string::npos) {
    SetDlgItemText(id::kPart3, "");
  } else {
    SetDlgItemText(id::kPart3, inputs_.error_code);
    part3->EnableWindow(!inputs_.error_code.empty());
  }
}

std::string CerrviewDlg::MessageText() const { return inputs_.message1 + "\r\n" + inputs_.message2; }

void CerrviewDlg::DrawIllustration() {
  auto* first = static_cast<ui::CStatic*>(GetDlgItem(id::kFirstPicture));
  auto* second = static_cast<ui::CStatic*>(GetDlgItem(id::kSecondPicture));
  first->SetBackgroundColor(ui::RGB(255, 255, 255));
  // The controls let go of the old pictures before they are released.
  first->SetBitmap(nullptr);
  second->SetBitmap(nullptr);
  const bool has_a = !current_.file_a.empty() && shown_a_.LoadFromFile(list_folder_ + current_.file_a);
  const bool has_b = !current_.file_b.empty() && shown_b_.LoadFromFile(list_folder_ + current_.file_b);
  if (!has_a) shown_a_.DeleteObject();
  if (!has_b) shown_b_.DeleteObject();
  second->SetBitmap(shown_b_.handle(), ui::CPoint(1, 1));
  first->SetBitmap(shown_a_.handle(), ui::CPoint(0, 0));
}

void CerrviewDlg::OnTimer(ui::UINT_PTR timer) {
  if (timer != kTimerId) return;
  if (tick_toggle_) {
    tick_toggle_ = false;
  } else {
    if (auto_switching_ && count_ > 1) {
      ChooseIllustration((current_.index + 1) % count_);
      DrawIllustration();
    }
    tick_toggle_ = true;
  }
  FlashInBackground();
}

void CerrviewDlg::FlashInBackground() {
  if (ui::GetForegroundWindow() == this) return;
  // Looked up at run time: a system without the function simply does not flash.
  const auto user32 = platform::LoadLibraryAs<ui::User32Library>("user32.dll");
  if (!user32 || !user32->FlashWindowEx) return;
  ui::FLASHWINFO info;
  info.hwnd = m_hWnd;
  info.dwFlags = ui::FLASHW_TRAY;
  info.uCount = kFlashCount;
  info.dwTimeout = kFlashTimeoutMs;
  user32->FlashWindowEx(&info);
}

void CerrviewDlg::OnStart() {
  if (auto_switching_) return;
  auto_switching_ = true;
  for (int control : {id::kStart, id::kPrevious, id::kNext}) GetDlgItem(control)->EnableWindow(false);
  GetDlgItem(id::kStop)->EnableWindow(true);
  GotoDlgCtrl(GetDlgItem(id::kStop));
}

void CerrviewDlg::OnStop() {
  if (!auto_switching_) return;
  auto_switching_ = false;
  for (int control : {id::kStart, id::kPrevious, id::kNext}) GetDlgItem(control)->EnableWindow(true);
  // The focus leaves the button before it is disabled.
  GotoDlgCtrl(GetDlgItem(id::kStart));
  GetDlgItem(id::kStop)->EnableWindow(false);
}

void CerrviewDlg::OnNext() {
  int index = current_.index;
  if (index < count_ - 1) ++index;
  if (index >= count_ - 1) GetDlgItem(id::kNext)->EnableWindow(false);
  GetDlgItem(id::kPrevious)->EnableWindow(true);
  ChooseIllustration(index);
  DrawIllustration();
}

void CerrviewDlg::OnPrevious() {
  int index = current_.index;
  if (index > 0) --index;
  if (index == 0) GetDlgItem(id::kPrevious)->EnableWindow(false);
  GetDlgItem(id::kNext)->EnableWindow(true);
  ChooseIllustration(index);
  DrawIllustration();
}

void CerrviewDlg::OnViewManual() {
  if (!manual_path_) return;
  const ui::INT_PTR result = ui::ShellExecute(m_hWnd, "open", *manual_path_, "", "", ui::SW_SHOWNORMAL);
  if (result == ui::SE_ERR_NOASSOC) {
    CDialogPdfAlert alert(this);
    alert.DoModal();
  }
}

void CerrviewDlg::NotifyIndicator() {
  if (!notify_on_close_) return;
  // Once: the close box's default handling comes back here through Cancel.
  notify_on_close_ = false;
  if (platform::HWND indicator = platform::FindWindowWithProperty(kIndicatorProperty))
    platform::PostMessage(indicator, id::kDisplayClosed, 0, 0);
}

void CerrviewDlg::OnCancel() {
  NotifyIndicator();
  EndDialog(platform::IDCANCEL);
}

void CerrviewDlg::OnOK() { EndDialog(platform::IDOK); }

void CerrviewDlg::OnClose() {
  NotifyIndicator();
  ui::CDialog::OnClose();
}

ui::LRESULT CerrviewDlg::OnCloseDisplay(ui::WPARAM, ui::LPARAM) {
  notify_on_close_ = false;
  PostMessage(platform::WM_CLOSE);
  return 0;
}

void CerrviewDlg::OnDestroy() {
  KillTimer(kTimerId);
  platform::RemoveProp(m_hWnd, kWindowProperty);
  ui::CDialog::OnDestroy();
}

void CerrviewDlg::RestoreText(int control, const std::string& text) {
  if (!edits_active_) return;
  if (GetDlgItemText(control) != text) SetDlgItemText(control, text);
}

void CerrviewDlg::OnUpdateMessage() { RestoreText(id::kMessageBox, MessageText()); }
void CerrviewDlg::OnUpdatePart2() { RestoreText(id::kPart2, inputs_.error_type); }
void CerrviewDlg::OnUpdatePart3() { RestoreText(id::kPart3, inputs_.error_code); }
void CerrviewDlg::OnUpdatePart1() {
  if (IsFlatbedUnit()) RestoreText(id::kPart1, kFlatbedPart1);
}

}  // namespace errview
