#include "platform/ui/wnd.h"

#include <QFont>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>
#include <cstring>

#include "platform/ui/detail/window.h"
#include "platform/ui/posted_messages.h"
#include "platform/ui/timers.h"

namespace platform::ui {
namespace {

using detail::Control;
using detail::DialogFrame;
using detail::Kind;

Control* AsControl(detail::Window* window) { return dynamic_cast<Control*>(window); }
DialogFrame* AsDialog(detail::Window* window) { return dynamic_cast<DialogFrame*>(window); }

// A control that is hidden or disabled gives up the focus, as on Windows (Qt would
// pass it on to the next control).
void GiveUpFocus(QWidget* widget) {
  QWidget* focus = widget->window()->focusWidget();
  if (focus && (focus == widget || widget->isAncestorOf(focus))) focus->clearFocus();
}

}  // namespace

CWnd::~CWnd() = default;

detail::Window* CWnd::Impl() const { return m_hWnd ? detail::Window::FromHandle(m_hWnd) : nullptr; }

CWnd* CWnd::FromHandle(HWND hwnd) {
  detail::Window* window = detail::Window::FromHandle(hwnd);
  return window ? window->object : nullptr;
}

bool CWnd::IsWindow(HWND hwnd) { return detail::Window::FromHandle(hwnd) != nullptr; }

int CWnd::GetDlgCtrlID() const {
  Control* control = AsControl(Impl());
  return control ? control->id : 0;
}

CWnd* CWnd::GetParent() const {
  detail::Window* window = Impl();
  if (Control* control = AsControl(window)) return &control->owner.dialog;
  if (DialogFrame* dialog = AsDialog(window)) return dialog->owner ? &dialog->owner->dialog : nullptr;
  return nullptr;
}

bool CWnd::ShowWindow(int show_command) {
  detail::Window* window = Impl();
  if (!window) return false;
  QWidget* widget = window->widget();
  const bool was_visible = window->style & WS_VISIBLE;
  if (show_command == SW_HIDE) {
    GiveUpFocus(widget);
    window->style &= ~WS_VISIBLE;
    widget->hide();
  } else {
    window->style |= WS_VISIBLE;
    if (AsDialog(window) && (show_command == SW_MINIMIZE || show_command == SW_SHOWMINIMIZED)) {
      widget->showMinimized();
    } else if (AsDialog(window) && show_command == SW_RESTORE) {
      widget->showNormal();
    } else {
      widget->show();
    }
  }
  return was_visible;
}

bool CWnd::EnableWindow(bool enable) {
  detail::Window* window = Impl();
  if (!window) return false;
  const bool was_disabled = window->style & WS_DISABLED;
  if (!enable) GiveUpFocus(window->widget());
  window->style = enable ? window->style & ~WS_DISABLED : window->style | WS_DISABLED;
  window->widget()->setEnabled(enable);
  return was_disabled;
}

bool CWnd::IsWindowEnabled() const {
  detail::Window* window = Impl();
  return window && !(window->style & WS_DISABLED);
}

bool CWnd::IsWindowVisible() const {
  detail::Window* window = Impl();
  return window && window->widget()->isVisible();
}

void CWnd::SetWindowText(const std::string& text) {
  if (detail::Window* window = Impl()) window->SetText(text);
}

std::string CWnd::GetWindowText() const {
  detail::Window* window = Impl();
  return window ? window->Text() : std::string();
}

int CWnd::GetWindowText(char* buffer, int max_count) const {
  if (!buffer || max_count <= 0) return 0;
  const std::string text = GetWindowText();
  const size_t n = std::min(text.size(), static_cast<size_t>(max_count - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

int CWnd::GetWindowTextLength() const { return static_cast<int>(GetWindowText().size()); }

CWnd* CWnd::SetFocus() {
  CWnd* previous = GetFocus();
  if (detail::Window* window = Impl()) {
    if (AsDialog(window)) {
      window->widget()->activateWindow();
    } else {
      window->widget()->setFocus(Qt::OtherFocusReason);
    }
  }
  return previous;
}

CWnd* CWnd::GetFocus() {
  CDialog* top = TopDialog();
  auto* frame = top ? AsDialog(detail::Window::FromHandle(top->GetSafeHwnd())) : nullptr;
  if (!frame) return nullptr;
  QWidget* focus = frame->widget()->focusWidget();
  Control* control = focus ? frame->FindByWidget(focus) : nullptr;
  return control ? control->object : nullptr;
}

void CWnd::MoveWindow(int x, int y, int width, int height, bool) {
  if (detail::Window* window = Impl()) window->Place(CRect(x, y, x + width, y + height));
}

void CWnd::MoveWindow(const CRect& rect, bool repaint) { MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), repaint); }

bool CWnd::SetWindowPos(const CWnd*, int x, int y, int cx, int cy, UINT flags) {
  detail::Window* window = Impl();
  if (!window) return false;
  CRect rect = window->Placement();
  if (!(flags & SWP_NOMOVE)) rect.MoveToXY(x, y);
  if (!(flags & SWP_NOSIZE)) rect = CRect(rect.left, rect.top, rect.left + cx, rect.top + cy);
  if (!(flags & SWP_NOMOVE) || !(flags & SWP_NOSIZE)) window->Place(rect);
  if (flags & SWP_HIDEWINDOW) ShowWindow(SW_HIDE);
  if (flags & SWP_SHOWWINDOW) ShowWindow(SW_SHOW);
  return true;
}

void CWnd::CenterWindow(CWnd* alternate_owner) {
  DialogFrame* dialog = AsDialog(Impl());
  if (!dialog) return;
  DialogFrame* over = dialog->owner;
  if (alternate_owner)
    if (auto* other = AsDialog(detail::Window::FromHandle(alternate_owner->GetSafeHwnd()))) over = other;
  dialog->Centre(over);
}

void CWnd::GetWindowRect(CRect* rect) const {
  if (!rect) return;
  detail::Window* window = Impl();
  if (!window) {
    *rect = CRect();
  } else if (AsDialog(window)) {
    *rect = window->Placement();
  } else {
    *rect = CRect(window->ClientOrigin(), window->ClientSize());
  }
}

void CWnd::GetClientRect(CRect* rect) const {
  if (!rect) return;
  detail::Window* window = Impl();
  *rect = window ? CRect(CPoint(), window->ClientSize()) : CRect();
}

void CWnd::ScreenToClient(CPoint* point) const {
  detail::Window* window = Impl();
  if (!point || !window) return;
  const CPoint origin = window->ClientOrigin();
  point->Offset(-origin.x, -origin.y);
}

void CWnd::ScreenToClient(CRect* rect) const {
  detail::Window* window = Impl();
  if (!rect || !window) return;
  const CPoint origin = window->ClientOrigin();
  rect->OffsetRect(-origin.x, -origin.y);
}

void CWnd::ClientToScreen(CPoint* point) const {
  detail::Window* window = Impl();
  if (!point || !window) return;
  const CPoint origin = window->ClientOrigin();
  point->Offset(origin.x, origin.y);
}

void CWnd::ClientToScreen(CRect* rect) const {
  detail::Window* window = Impl();
  if (!rect || !window) return;
  const CPoint origin = window->ClientOrigin();
  rect->OffsetRect(origin.x, origin.y);
}

DWORD CWnd::GetStyle() const {
  detail::Window* window = Impl();
  return window ? window->style : 0;
}

bool CWnd::ModifyStyle(DWORD remove, DWORD add, UINT) {
  detail::Window* window = Impl();
  if (!window) return false;
  const DWORD old_style = window->style;
  window->style = (old_style & ~remove) | add;
  if (window->style == old_style) return false;
  if ((old_style & ~window->style & WS_VISIBLE) || (~old_style & window->style & WS_DISABLED)) GiveUpFocus(window->widget());
  window->StyleChanged(old_style);
  return true;
}

void CWnd::Invalidate(bool) {
  if (detail::Window* window = Impl()) window->widget()->update();
}

void CWnd::UpdateWindow() {
  if (detail::Window* window = Impl()) window->widget()->repaint();
}

void CWnd::SetTextColor(std::optional<COLORREF> color) {
  detail::Window* window = Impl();
  if (!window) return;
  window->text_color = color;
  QWidget* widget = window->widget();
  QPalette palette = widget->parentWidget() ? widget->parentWidget()->palette() : widget->palette();
  if (color) {
    const QColor qt(GetRValue(*color), GetGValue(*color), GetBValue(*color));
    for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) palette.setColor(role, qt);
  }
  widget->setPalette(palette);
}

void CWnd::SetBackgroundColor(std::optional<COLORREF> color) {
  detail::Window* window = Impl();
  if (!window) return;
  QWidget* widget = window->widget();
  widget->setAutoFillBackground(color.has_value());
  if (color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor(GetRValue(*color), GetGValue(*color), GetBValue(*color)));
    widget->setPalette(palette);
  }
}

bool CFont::CreatePointFont(int point_size, const std::string& face_name) {
  // Tenths of a point at 96 pixels an inch.
  return CreateFontIndirect(LOGFONT{-MulDiv(point_size, 96, 720), 400, face_name});
}

bool CFont::CreateFontIndirect(const LOGFONT& log_font) {
  if (font_ || log_font.lfFaceName.empty()) return false;
  font_ = log_font;
  return true;
}

bool CFont::GetLogFont(LOGFONT* log_font) const {
  if (!font_ || !log_font) return false;
  *log_font = *font_;
  return true;
}

void CWnd::SetFont(const CFont* font, bool) {
  detail::Window* window = Impl();
  LOGFONT log_font;
  if (!window || !font || !font->GetLogFont(&log_font)) return;
  window->font = log_font;
  QFont qt = window->widget()->font();
  qt.setFamily(QString::fromStdString(log_font.lfFaceName));
  qt.setPixelSize(std::max<LONG>(1, log_font.lfHeight < 0 ? -log_font.lfHeight : log_font.lfHeight));
  if (log_font.lfWeight >= 700) qt.setBold(true);
  window->widget()->setFont(qt);
}

CFont* CWnd::GetFont() const {
  detail::Window* window = Impl();
  if (!window) return nullptr;
  window->font_object = std::make_unique<CFont>();
  const QFont qt = window->widget()->font();
  const LOGFONT log_font = window->font.value_or(
      LOGFONT{-(qt.pixelSize() > 0 ? qt.pixelSize() : kFontPixelSize), qt.bold() ? 700 : 400, qt.family().toStdString()});
  window->font_object->CreateFontIndirect(log_font);
  return window->font_object.get();
}

bool CWnd::IsIconic() const {
  DialogFrame* dialog = AsDialog(Impl());
  return dialog && dialog->widget()->isMinimized();
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  DialogFrame* dialog = AsDialog(Impl());
  return dialog ? dialog->dialog.WindowProc(message, wparam, lparam) : 0;
}

bool CWnd::PostMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  return PostDialogMessage(m_hWnd, message, wparam, lparam);
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse_ms, void*) {
  return AsDialog(Impl()) ? StartWindowTimer(m_hWnd, id, elapse_ms) : 0;
}

bool CWnd::KillTimer(UINT_PTR id) { return StopWindowTimer(m_hWnd, id); }

// Buttons.

int CButton::GetCheck() const {
  Control* control = AsControl(Impl());
  return control ? control->Check() : 0;
}

void CButton::SetCheck(int check) {
  if (Control* control = AsControl(Impl())) control->SetCheck(check);
}

UINT CButton::GetButtonStyle() const { return GetStyle() & 0xFFFF; }

HICON CButton::SetIcon(HICON icon) {
  Control* control = AsControl(Impl());
  if (!control) return nullptr;
  HICON previous = control->image;
  control->SetImage(icon);
  return previous;
}

HICON CButton::GetIcon() const {
  Control* control = AsControl(Impl());
  return control ? control->image : nullptr;
}

// Edits.

void CEdit::SetSel(int start, int end, bool) {
  Control* control = AsControl(Impl());
  if (!control) return;
  if (auto* line = qobject_cast<QLineEdit*>(control->widget())) {
    const int length = static_cast<int>(line->text().size());
    if (start < 0) {
      line->deselect();
      return;
    }
    const int last = (end < 0 || end > length) ? length : end;
    line->setSelection(std::min(start, length), last - std::min(start, length));
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control->widget())) {
    QTextCursor cursor = plain->textCursor();
    const int length = static_cast<int>(plain->toPlainText().size());
    cursor.setPosition(std::clamp(start, 0, length));
    cursor.setPosition(end < 0 ? length : std::clamp(end, 0, length), QTextCursor::KeepAnchor);
    plain->setTextCursor(cursor);
  }
}

void CEdit::SetLimitText(UINT max_chars) {
  if (Control* control = AsControl(Impl())) control->SetLimit(static_cast<int>(max_chars));
}

bool CEdit::SetReadOnly(bool read_only) {
  if (!Impl()) return false;
  ModifyStyle(read_only ? 0 : ES_READONLY, read_only ? ES_READONLY : 0);
  return true;
}

// Statics.

HICON CStatic::SetIcon(HICON icon) {
  Control* control = AsControl(Impl());
  if (!control) return nullptr;
  HICON previous = control->image;
  control->SetImage(icon);
  return previous;
}

HICON CStatic::GetIcon() const {
  Control* control = AsControl(Impl());
  return control ? control->image : nullptr;
}

HBITMAP CStatic::SetBitmap(HBITMAP bitmap, CPoint offset) {
  Control* control = AsControl(Impl());
  if (!control) return nullptr;
  control->widget()->setContentsMargins(offset.x, offset.y, 0, 0);
  return SetIcon(bitmap);
}
HBITMAP CStatic::GetBitmap() const { return GetIcon(); }

// Combo and list boxes.

int CListControl::AddString(const std::string& text) {
  Control* control = AsControl(Impl());
  return control ? control->AddItem(text) : CB_ERR;
}

int CListControl::InsertString(int index, const std::string& text) {
  Control* control = AsControl(Impl());
  return control ? control->InsertItem(index, text) : CB_ERR;
}

int CListControl::DeleteString(UINT index) {
  Control* control = AsControl(Impl());
  return control ? control->DeleteItem(static_cast<int>(index)) : CB_ERR;
}

void CListControl::ResetContent() {
  if (Control* control = AsControl(Impl())) control->ClearItems();
}

int CListControl::GetCount() const {
  Control* control = AsControl(Impl());
  return control ? control->ItemCount() : 0;
}

int CListControl::GetCurSel() const {
  Control* control = AsControl(Impl());
  return control ? control->CurrentIndex() : CB_ERR;
}

int CListControl::SetCurSel(int index) {
  Control* control = AsControl(Impl());
  return control ? control->SetCurrentIndex(index) : CB_ERR;
}

int CListControl::FindStringExact(int start_after, const std::string& text) const {
  Control* control = AsControl(Impl());
  if (!control) return CB_ERR;
  const int count = control->ItemCount();
  const QString wanted = QString::fromStdString(text);
  for (int n = 1; n <= count; ++n) {
    const int i = ((start_after < 0 ? -1 : start_after) + n) % count;
    if (QString::fromStdString(control->ItemText(i)).compare(wanted, Qt::CaseInsensitive) == 0) return i;
  }
  return CB_ERR;
}

bool CListControl::SetItemData(int index, uintptr_t data) {
  Control* control = AsControl(Impl());
  if (!control || index < 0 || index >= static_cast<int>(control->item_data.size())) return false;
  control->item_data[static_cast<size_t>(index)] = data;
  return true;
}

uintptr_t CListControl::GetItemData(int index) const {
  Control* control = AsControl(Impl());
  if (!control || index < 0 || index >= static_cast<int>(control->item_data.size())) return static_cast<uintptr_t>(CB_ERR);
  return control->item_data[static_cast<size_t>(index)];
}

std::string CListControl::GetItemText(int index) const {
  Control* control = AsControl(Impl());
  return control ? control->ItemText(index) : std::string();
}

// Up-down controls.

void CSpinButtonCtrl::SetRange(int lower, int upper) {
  Control* control = AsControl(Impl());
  if (!control) return;
  control->spin_lower = lower;
  control->spin_upper = upper;
}

void CSpinButtonCtrl::GetRange(int& lower, int& upper) const {
  Control* control = AsControl(Impl());
  lower = control ? control->spin_lower : 0;
  upper = control ? control->spin_upper : 0;
}

int CSpinButtonCtrl::SetPos(int pos) {
  Control* control = AsControl(Impl());
  return control ? control->SetSpinPos(pos) : 0;
}

int CSpinButtonCtrl::GetPos() const { return GetPos32(nullptr); }

int CSpinButtonCtrl::GetPos32(bool* error) const {
  Control* control = AsControl(Impl());
  if (!control) {
    if (error) *error = true;
    return 0;
  }
  return control->SpinPos(error);
}

CWnd* CSpinButtonCtrl::SetBuddy(CWnd* buddy) {
  Control* control = AsControl(Impl());
  if (!control) return nullptr;
  CWnd* previous = control->buddy ? control->buddy->object : nullptr;
  control->buddy = buddy ? AsControl(detail::Window::FromHandle(buddy->GetSafeHwnd())) : nullptr;
  control->AlignToBuddy();
  return previous;
}

CWnd* CSpinButtonCtrl::GetBuddy() const {
  Control* control = AsControl(Impl());
  return control && control->buddy ? control->buddy->object : nullptr;
}

}  // namespace platform::ui
