#include "platform/ui/dialog.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "platform/ui/application.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/detail/image.h"
#include "platform/ui/detail/runtime.h"
#include "platform/ui/detail/window.h"
#include "platform/ui/modal_actions.h"
#include "resources/app_resources.h"

namespace platform::ui {

namespace detail {

Runtime& State() {
  static Runtime runtime;
  return runtime;
}

void PushLoop(LoopFrame frame) {
  State().loops.push_back(frame);
  if (State().on_loops_changed) State().on_loops_changed();
}

void PopLoop() {
  State().loops.pop_back();
  if (State().on_loops_changed) State().on_loops_changed();
}

}  // namespace detail

namespace {

using detail::State;

CWnd& NullWindow() {
  static CWnd none;
  return none;
}

void RecordUnattended(const CDialog& dialog) {
  State().unattended_dialogs.push_back(ResourceIdText(dialog.template_id()));
}

}  // namespace

std::string ResourceIdText(const resources::ResourceId& id) {
  return id.name.empty() ? std::to_string(id.number) : id.name;
}

void SetUnattended(std::optional<bool> unattended) { State().unattended_override = unattended; }

bool IsUnattended() {
  if (State().unattended_override) return *State().unattended_override;
  return !State().automation_active && IsHeadless();
}

std::vector<std::string> UnattendedDialogs() { return State().unattended_dialogs; }
void ClearUnattendedDialogs() { State().unattended_dialogs.clear(); }

std::vector<CDialog*> OpenDialogs() {
  std::vector<CDialog*> open;
  for (CDialog* dialog : State().open_dialogs)
    if (auto* window = detail::Window::FromHandle(dialog->GetSafeHwnd()); window && !window->frame().ended) open.push_back(dialog);
  return open;
}

CDialog* TopDialog() {
  const auto open = OpenDialogs();
  return open.empty() ? nullptr : open.back();
}

CDialog::CDialog(resources::ResourceId template_id, CWnd* parent) : m_pParentWnd(parent), template_id_(std::move(template_id)) {}

CDialog::~CDialog() {
  if (frame_) {
    std::erase(State().open_dialogs, this);
    frame_.reset();
    m_hWnd = nullptr;
  }
}

INT_PTR CDialog::DoModal() {
  if (frame_) return -1;
  EnsureApplication();
  const auto resources = resources::AppResources();
  const resources::DialogTemplate* dialog_template = resources->FindDialog(template_id_);
  if (!dialog_template) return -1;
  detail::DialogFrame* owner = nullptr;
  if (m_pParentWnd)
    if (auto* window = detail::Window::FromHandle(m_pParentWnd->GetSafeHwnd())) owner = &window->frame();
  if (!owner)
    if (CDialog* top = TopDialog()) owner = top->frame_.get();
  frame_ = std::make_unique<detail::DialogFrame>(*this, *dialog_template, owner);
  m_hWnd = frame_->handle();
  State().open_dialogs.push_back(this);

  const CPoint created_at = frame_->ClientOrigin();
  if (OnInitDialog() && !frame_->ended)
    if (detail::Control* first = frame_->FirstTabStop()) GotoDlgCtrl(first->object);
  if (!frame_->ended) {
    if (frame_->ClientOrigin() == created_at) frame_->Centre(owner);
    frame_->style |= WS_VISIBLE;
    frame_->widget()->show();
    // The first paint comes before any input, as on Windows.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    detail::PushLoop({frame_.get(), State().executing_steps});
    if (ModalAction action = detail::TakeModalAction(*this)) {
      QTimer::singleShot(0, frame_->widget(), [this, action] {
        action(*this);
        if (frame_ && !frame_->ended) {
          RecordUnattended(*this);
          frame_->EndModal(IDCANCEL);
        }
      });
    } else if (IsUnattended()) {
      RecordUnattended(*this);
      frame_->EndModal(IDCANCEL);
    }
    if (!frame_->ended) {
      QEventLoop loop;
      frame_->loop = &loop;
      loop.exec();
      frame_->loop = nullptr;
    }
    detail::PopLoop();
  }
  const int result = frame_->result;
  WindowProc(WM_DESTROY, 0, 0);
  std::erase(State().open_dialogs, this);
  frame_.reset();
  m_hWnd = nullptr;
  return result;
}

void CDialog::EndDialog(int result) {
  if (frame_) frame_->EndModal(result);
}

bool CDialog::UpdateData(bool save_and_validate) {
  if (!frame_) return false;
  CDataExchange dx(this, save_and_validate);
  try {
    DoDataExchange(&dx);
  } catch (const CUserException&) {
    return false;
  }
  return true;
}

CWnd* CDialog::GetDlgItem(int id) const {
  if (frame_)
    if (detail::Control* control = frame_->Find(id)) return control->object;
  return &NullWindow();
}

void CDialog::CheckDlgButton(int id, UINT check) {
  if (frame_)
    if (detail::Control* control = frame_->Find(id)) control->SetCheck(static_cast<int>(check));
}

UINT CDialog::IsDlgButtonChecked(int id) const {
  if (!frame_) return 0;
  detail::Control* control = frame_->Find(id);
  return control ? static_cast<UINT>(control->Check()) : 0;
}

void CDialog::CheckRadioButton(int first, int last, int check) {
  if (!frame_) return;
  for (const auto& control : frame_->controls)
    if (control->id >= first && control->id <= last) control->SetCheck(control->id == check ? 1 : 0);
}

int CDialog::GetCheckedRadioButton(int first, int last) const {
  if (!frame_) return 0;
  for (const auto& control : frame_->controls)
    if (control->id >= first && control->id <= last && control->Check() == 1) return control->id;
  return 0;
}

void CDialog::SetDlgItemText(int id, const std::string& text) { GetDlgItem(id)->SetWindowText(text); }
std::string CDialog::GetDlgItemText(int id) const { return GetDlgItem(id)->GetWindowText(); }

int CDialog::GetDlgItemText(int id, std::string& text) const {
  text = GetDlgItemText(id);
  return static_cast<int>(text.size());
}

void CDialog::SetDlgItemInt(int id, UINT value, bool is_signed) {
  SetDlgItemText(id, is_signed ? std::to_string(static_cast<int>(value)) : std::to_string(value));
}

UINT CDialog::GetDlgItemInt(int id, bool* translated, bool is_signed) const {
  const std::string text = GetDlgItemText(id);
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  const bool negative = is_signed && i < text.size() && text[i] == '-';
  if (negative || (i < text.size() && text[i] == '+')) ++i;
  const size_t digits_start = i;
  uint64_t value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9' && value <= 0xFFFFFFFFull) value = value * 10 + static_cast<unsigned>(text[i++] - '0');
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  const uint64_t limit = is_signed ? (negative ? 0x80000000ull : 0x7FFFFFFFull) : 0xFFFFFFFFull;
  const bool ok = i > digits_start && i == text.size() && value <= limit;
  if (translated) *translated = ok;
  if (!ok) return 0;
  return negative ? static_cast<UINT>(-static_cast<int64_t>(value)) : static_cast<UINT>(value);
}

void CDialog::GotoDlgCtrl(CWnd* control) {
  auto* window = control ? detail::Window::FromHandle(control->GetSafeHwnd()) : nullptr;
  auto* target = dynamic_cast<detail::Control*>(window);
  if (!target || &target->owner != frame_.get()) return;
  control->SetFocus();
  if (target->kind == detail::Kind::Edit) static_cast<CEdit*>(control)->SetSel(0, -1);
}

void CDialog::SetDefID(int id) {
  if (!frame_) return;
  frame_->default_id = id;
  for (const auto& control : frame_->controls)
    if (control->kind == detail::Kind::PushButton) control->widget()->setProperty("default", control->id == id);
}

DWORD CDialog::GetDefID() const {
  constexpr DWORD DC_HASDEFID = 0x534B;
  if (!frame_ || !frame_->default_id) return 0;
  return (DC_HASDEFID << 16) | static_cast<WORD>(frame_->default_id);
}

CMenu* CDialog::GetSystemMenu(bool revert) {
  if (!frame_) return nullptr;
  if (revert) frame_->StandardSystemMenu();
  return &frame_->system_menu;
}

HICON CDialog::SetIcon(HICON icon, bool big) {
  if (!frame_) return nullptr;
  HICON& slot = big ? frame_->big_icon : frame_->small_icon;
  HICON previous = slot;
  slot = icon;
  if (icon) frame_->widget()->setWindowIcon(QIcon(icon->pixmap));
  return previous;
}

void CDialog::MapDialogRect(CRect* rect) const {
  if (!rect) return;
  *rect = DialogRectToPixels(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (const MessageMapEntry* entry = FindMessageEntry(GetMessageMap(), message)) return entry->handler(*this, wparam, lparam);
  switch (message) {
    case WM_COMMAND: OnCommand(wparam, lparam); return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (!header) return 0;
      const MessageMapEntry* entry = FindNotifyEntry(GetMessageMap(), header->code, static_cast<int>(header->idFrom));
      return entry ? entry->handler(*this, wparam, lparam) : 0;
    }
    case WM_TIMER: OnTimer(wparam); return 0;
    case WM_SYSCOMMAND: OnSysCommand(static_cast<UINT>(wparam), lparam); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    default: return DefWindowProc(message, wparam, lparam);
  }
}

bool CDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
  if (!UpdateData(true)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
void CDialog::OnTimer(UINT_PTR) {}

void CDialog::OnSysCommand(UINT id, LPARAM) {
  if (!frame_) return;
  switch (id & 0xFFF0) {
    case SC_CLOSE:
      if (frame_->system_menu.IsChoosable(SC_CLOSE)) SendMessage(WM_CLOSE);
      break;
    case SC_MINIMIZE: frame_->widget()->showMinimized(); break;
    case SC_RESTORE: frame_->widget()->showNormal(); break;
    default: break;
  }
}

void CDialog::OnClose() {
  detail::Control* cancel = frame_ ? frame_->Find(IDCANCEL) : nullptr;
  SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel ? cancel->handle() : nullptr));
}

void CDialog::OnDestroy() {}
void CDialog::OnPaint() {}

bool CDialog::OnCommand(WPARAM wparam, LPARAM lparam) {
  const MessageMapEntry* entry = FindCommandEntry(GetMessageMap(), HIWORD(wparam), LOWORD(wparam));
  if (!entry) return false;
  entry->handler(*this, wparam, lparam);
  return true;
}

LRESULT CDialog::DefWindowProc(UINT, WPARAM, LPARAM) { return 0; }

const MessageMap* CDialog::GetThisMessageMap() {
  static const MessageMap map{nullptr,
                              {
                                  CommandEntry<CDialog>(BN_CLICKED, IDOK, &CDialog::OnOK),
                                  CommandEntry<CDialog>(BN_CLICKED, IDCANCEL, &CDialog::OnCancel),
                              }};
  return &map;
}

const MessageMap* CDialog::GetMessageMap() const { return GetThisMessageMap(); }

namespace {

bool InRange(const MessageMapEntry& entry, int id) {
  const WORD w = static_cast<WORD>(id);
  return w >= static_cast<WORD>(entry.first_id) && w <= static_cast<WORD>(entry.last_id);
}

const MessageMapEntry* FindEntry(const MessageMap* map, MessageMapEntry::Kind kind, UINT code, int id, bool match_id) {
  for (; map; map = map->base)
    for (const MessageMapEntry& entry : map->entries)
      if (entry.kind == kind && entry.code == code && (!match_id || InRange(entry, id))) return &entry;
  return nullptr;
}

}  // namespace

const MessageMapEntry* FindCommandEntry(const MessageMap* map, UINT code, int id) {
  return FindEntry(map, MessageMapEntry::Kind::Command, code, id, true);
}
const MessageMapEntry* FindNotifyEntry(const MessageMap* map, UINT code, int id) {
  return FindEntry(map, MessageMapEntry::Kind::Notify, code, id, true);
}
const MessageMapEntry* FindMessageEntry(const MessageMap* map, UINT message) {
  return FindEntry(map, MessageMapEntry::Kind::Message, message, 0, false);
}

}  // namespace platform::ui
