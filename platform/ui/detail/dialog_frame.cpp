#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <unordered_map>

#include "platform/ui/detail/hooks.h"
#include "platform/ui/detail/image.h"
#include "platform/ui/detail/qt_text.h"
#include "platform/ui/detail/styles.h"
#include "platform/ui/detail/window.h"

namespace platform::ui::detail {
namespace {

constexpr const char* kWindowProperty = "platform_ui_window";

// Read from any thread (PostMessage), changed on the window thread.
struct Registry {
  std::mutex mutex;
  std::unordered_map<HWND, Window*> windows;
};

Registry& LiveWindows() {
  static Registry registry;
  return registry;
}

// The dialog's client area: the top-level Qt window.
class FrameWidget : public QWidget {
 public:
  FrameWidget(DialogFrame& frame, QWidget* owner) : QWidget(owner, Qt::Dialog), frame_(frame) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (frame_.system_menu.IsChoosable(SC_CLOSE)) frame_.dialog.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  void contextMenuEvent(QContextMenuEvent* event) override {
    frame_.PopupSystemMenu({event->globalPos().x(), event->globalPos().y()});
    event->accept();
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) frame_.ClickAt({event->position().toPoint().x(), event->position().toPoint().y()});
  }
  void paintEvent(QPaintEvent* event) override {
    QWidget::paintEvent(event);
    frame_.Paint();
  }

 private:
  DialogFrame& frame_;
};

// Enter, Escape and a spin buddy's arrow keys, before the focused control sees them.
class KeyFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    Window* window = Window::FromWidget(widget->window());
    if (!window) return false;
    DialogFrame& frame = window->frame();
    switch (key->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter: return frame.HandleDialogKey(VK_RETURN, widget);
      case Qt::Key_Escape: return frame.HandleDialogKey(VK_ESCAPE, widget);
      case Qt::Key_Up:
      case Qt::Key_Down: {
        Control* control = frame.FindByWidget(widget);
        if (!control) return false;
        for (const auto& spin : frame.controls)
          if (spin->kind == Kind::Spin && spin->buddy == control && (spin->style & UDS_ARROWKEYS))
            return spin->UserSpin(key->key() == Qt::Key_Up ? +1 : -1);
        return false;
      }
      default: return false;
    }
  }
};

}  // namespace

void InstallEventHooks(QApplication& app) {
  app.installEventFilter(new KeyFilter(&app));
  InstallMessageQueue();
  RegisterDesktopLibrary();
}

Window::Window() : hwnd_(static_cast<HWND>(this)) {
  std::lock_guard lock(LiveWindows().mutex);
  LiveWindows().windows[hwnd_] = this;
}

Window::~Window() {
  std::lock_guard lock(LiveWindows().mutex);
  LiveWindows().windows.erase(hwnd_);
}

void Window::SetHandle(HWND hwnd) {
  std::lock_guard lock(LiveWindows().mutex);
  LiveWindows().windows.erase(hwnd_);
  hwnd_ = hwnd;
  LiveWindows().windows[hwnd_] = this;
}

Window* Window::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  std::lock_guard lock(LiveWindows().mutex);
  auto it = LiveWindows().windows.find(hwnd);
  return it != LiveWindows().windows.end() ? it->second : nullptr;
}

Window* Window::FromWidget(const QObject* object) {
  for (; object; object = object->parent()) {
    const QVariant tag = object->property(kWindowProperty);
    if (tag.isValid()) return FromHandle(reinterpret_cast<HWND>(tag.value<quintptr>()));
    if (object->isWidgetType() && static_cast<const QWidget*>(object)->isWindow()) return nullptr;
  }
  return nullptr;
}

void Window::Tag(QWidget* widget) { widget->setProperty(kWindowProperty, QVariant::fromValue(reinterpret_cast<quintptr>(handle()))); }

DialogFrame::DialogFrame(CDialog& owning_dialog, const resources::DialogTemplate& dialog_template_, DialogFrame* owner_frame)
    : dialog(owning_dialog), dialog_template(dialog_template_), owner(owner_frame) {
  style = DialogStyle(dialog_template);
  object = &dialog;
  // The desktop's handle names the window for every program; what the desktop
  // delivers (on its own thread) goes through the queue to the window's thread.
  auto self = std::make_shared<std::atomic<HWND>>(nullptr);
  desktop_ = std::make_unique<platform::DesktopWindow>(platform::DesktopCallbacks{
      [self](UINT message, WPARAM wparam, LPARAM lparam) { QueueMessage(self->load(), message, wparam, lparam); },
      [self](platform::WindowRequest request) { QueueRequest(self->load(), request); }});
  SetHandle(desktop_->hwnd());
  self->store(desktop_->hwnd());
  Build();
}

DialogFrame::~DialogFrame() {
  KillWindowTimers(handle());
  DropPostedMessages(handle());
  // No notification may reach the dialog while its widgets go.
  for (const auto& control : controls) control->widget()->blockSignals(true);
  delete widget_;
  controls.clear();
  SetHandle(static_cast<HWND>(this));
  desktop_.reset();
}

void DialogFrame::Build() {
  widget_ = new FrameWidget(*this, owner ? owner->widget() : nullptr);
  widget_->setAttribute(Qt::WA_DeleteOnClose, false);
  widget_->setWindowModality(Qt::ApplicationModal);
  Tag(widget_);
  widget_->setWindowTitle(ToQt(dialog_template.caption));
  ApplyWindowFlags();
  for (size_t i = 0; i < dialog_template.controls.size(); ++i) {
    auto control = std::make_unique<Control>(*this, dialog_template.controls[i], i);
    if ((control->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && control->kind == Kind::PushButton && !default_id)
      default_id = control->id;
    controls.push_back(std::move(control));
  }
  for (auto& control : controls) {
    if (control->kind != Kind::Spin || !(control->style & UDS_AUTOBUDDY) || control->index == 0) continue;
    control->buddy = controls[control->index - 1].get();
    control->AlignToBuddy();
    control->WriteBuddyInt();
  }
  // The first control of the template lies on top, as dialogs stack them.
  for (auto it = controls.rbegin(); it != controls.rend(); ++it) (*it)->widget()->raise();
  StandardSystemMenu();
  const CRect client = DialogRectToPixels(dialog_template.x, dialog_template.y, dialog_template.cx, dialog_template.cy);
  const CPoint origin = owner ? owner->ClientOrigin() : CPoint();
  Place(WindowRectFromClient(CRect(origin.x + client.left, origin.y + client.top, origin.x + client.right, origin.y + client.bottom)));
}

void DialogFrame::StandardSystemMenu() {
  std::vector<MenuItem> items;
  if (style & WS_MINIMIZEBOX) items.push_back({MF_STRING, SC_MINIMIZE, "Mi&nimize"});
  if (!items.empty()) items.push_back({MF_SEPARATOR, 0, {}});
  items.push_back({MF_STRING, SC_CLOSE, "&Close\tAlt+F4"});
  system_menu.Reset(std::move(items));
}

void DialogFrame::ApplyWindowFlags() {
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint;
  if (style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
  const bool visible = widget_->isVisible();
  const QRect geometry = widget_->geometry();
  widget_->setWindowFlags(flags);
  widget_->setGeometry(geometry);
  if (visible) widget_->show();
}

std::string DialogFrame::Text() const { return FromQt(widget_->windowTitle()); }
void DialogFrame::SetText(const std::string& text) { widget_->setWindowTitle(ToQt(text)); }

CPoint DialogFrame::ClientOrigin() const {
  const QRect g = widget_->geometry();
  return {g.left(), g.top()};
}

CSize DialogFrame::ClientSize() const { return {widget_->width(), widget_->height()}; }

CRect DialogFrame::Placement() const {
  const CPoint origin = ClientOrigin();
  const CSize size = ClientSize();
  return WindowRectFromClient(CRect(origin, size));
}

void DialogFrame::Place(const CRect& rect) {
  const CRect client = ClientRectFromWindow(rect);
  const int width = std::max(0, client.Width()), height = std::max(0, client.Height());
  widget_->setFixedSize(width, height);
  widget_->setGeometry(client.left, client.top, width, height);
}

void DialogFrame::StyleChanged(DWORD old_style) {
  const DWORD changed = old_style ^ style;
  if (changed & (WS_MINIMIZEBOX | WS_SYSMENU)) ApplyWindowFlags();
  if (changed & WS_VISIBLE) widget_->setVisible(style & WS_VISIBLE);
}

Control* DialogFrame::Find(int id) const {
  for (const auto& control : controls)
    if (control->id == id) return control.get();
  return nullptr;
}

Control* DialogFrame::FindByWidget(const QWidget* target) const {
  Window* window = Window::FromWidget(target);
  for (const auto& control : controls)
    if (control.get() == window) return control.get();
  return nullptr;
}

void DialogFrame::Command(int id, WORD code, HWND control) {
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), code), reinterpret_cast<LPARAM>(control));
}

LRESULT DialogFrame::Notify(NMHDR& header) {
  return dialog.SendMessage(WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

bool DialogFrame::HandleDialogKey(UINT vk, QWidget* focus) {
  Control* focused = FindByWidget(focus);
  if (vk == VK_ESCAPE) {
    Control* cancel = Find(IDCANCEL);
    Command(IDCANCEL, BN_CLICKED, cancel ? cancel->handle() : nullptr);
    return true;
  }
  if (focused && focused->IsMultiLine() && (focused->style & ES_WANTRETURN)) return false;
  if (focused && focused->kind == Kind::PushButton) {
    Command(focused->id, BN_CLICKED, focused->handle());
    return true;
  }
  const int id = default_id ? default_id : IDOK;
  Control* button = Find(id);
  if (button && !button->widget()->isEnabled()) return true;
  Command(id, BN_CLICKED, button ? button->handle() : nullptr);
  return true;
}

void DialogFrame::PopupSystemMenu(CPoint global) {
  if (!(style & WS_SYSMENU)) return;
  if (popup_) delete popup_.data();
  auto* menu = new QMenu(widget_);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  popup_items.clear();
  for (const MenuItem& item : system_menu.items()) {
    if (item.flags & MF_SEPARATOR) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(ToQt(item.text));
    action->setData(item.id);
    action->setEnabled(!(item.flags & (MF_GRAYED | MF_DISABLED)));
    const UINT id = item.id;
    QObject::connect(action, &QAction::triggered, widget_, [this, menu, id] {
      menu->close();
      ChooseSystemCommand(id);
    });
    popup_items.push_back(item.text);
  }
  popup_ = menu;
  menu->popup(QPoint(global.x, global.y));
}

bool DialogFrame::ChooseSystemCommand(UINT id) {
  if (!system_menu.IsChoosable(id)) return false;
  dialog.SendMessage(WM_SYSCOMMAND, id, 0);
  return true;
}

bool DialogFrame::ClickAt(CPoint point) {
  for (const auto& control : controls) {
    const bool notifying_static = (control->kind == Kind::Static || control->kind == Kind::Icon || control->kind == Kind::Picture) &&
                                  (control->style & SS_NOTIFY);
    if (notifying_static && control->widget()->isVisible() && control->widget()->geometry().contains(point.x, point.y))
      return control->UserClick();
    auto* group = qobject_cast<QGroupBox*>(control->widget());
    if (!group || !group->isVisible() || !group->isEnabled()) continue;
    const QFontMetrics metrics(group->font());
    const QRect g = group->geometry();
    const QRect caption(g.left(), g.top(), metrics.horizontalAdvance(group->title()) + 16, metrics.height());
    if (caption.contains(point.x, point.y)) return control->UserClick();
  }
  return false;
}

Control* DialogFrame::FirstTabStop() const {
  for (const auto& control : controls)
    if ((control->style & WS_TABSTOP) && control->widget()->focusPolicy() != Qt::NoFocus &&
        !control->widget()->isHidden() && control->widget()->isEnabled())
      return control.get();
  return nullptr;
}

void DialogFrame::Centre(DialogFrame* over) {
  const CRect window = Placement();
  CRect area;
  const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry() : QRect(0, 0, 1024, 768);
  area = CRect(screen.left(), screen.top(), screen.left() + screen.width(), screen.top() + screen.height());
  const CRect centre = over && over->widget()->isVisible() ? over->Placement() : area;
  int left = (centre.left + centre.right) / 2 - window.Width() / 2;
  int top = (centre.top + centre.bottom) / 2 - window.Height() / 2;
  if (left + window.Width() > area.right) left = area.right - window.Width();
  if (left < area.left) left = area.left;
  if (top + window.Height() > area.bottom) top = area.bottom - window.Height();
  if (top < area.top) top = area.top;
  Place(CRect(left, top, left + window.Width(), top + window.Height()));
}

void DialogFrame::EndModal(int code) {
  result = code;
  if (ended) return;
  ended = true;
  if (popup_) popup_->close();
  widget_->hide();
  if (loop) loop->exit(0);
}

void DialogFrame::Paint() { dialog.WindowProc(WM_PAINT, 0, 0); }

}  // namespace platform::ui::detail
