// Inside the framework: the Qt side of a dialog and its controls. Nothing outside
// platform/ui includes this header.
#pragma once
#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/ui/dialog.h"
#include "platform/ui/geometry.h"
#include "platform/ui/menu.h"
#include "platform/ui/wnd.h"
#include "resources/resource_script.h"

class QEventLoop;

namespace platform::ui {
struct Image;
}

namespace platform::ui::detail {

enum class Kind { Static, Icon, Picture, Frame, PushButton, CheckBox, RadioButton, GroupBox, Edit, ComboBox, ListBox, Spin, Custom };
const char* KindName(Kind kind);

class DialogFrame;

class Window {
 public:
  Window();
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  virtual QWidget* widget() const = 0;
  virtual DialogFrame& frame() = 0;
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
  // Controls: the rectangle in the dialog's client coordinates; dialogs: the window
  // rectangle in screen coordinates.
  virtual CRect Placement() const = 0;
  virtual void Place(const CRect& rect) = 0;
  virtual CPoint ClientOrigin() const = 0;  // screen coordinates
  virtual CSize ClientSize() const = 0;
  virtual void StyleChanged(DWORD old_style) = 0;

  HWND handle() const { return hwnd_; }
  // A top-level window takes the handle the desktop gave it.
  void SetHandle(HWND hwnd);
  static Window* FromHandle(HWND hwnd);
  // The framework window a Qt widget belongs to; null when none.
  static Window* FromWidget(const QObject* object);
  void Tag(QWidget* widget);

  DWORD style = 0;
  CWnd* object = nullptr;  // the CWnd handed out for this window
  std::optional<COLORREF> text_color;
  std::optional<LOGFONT> font;           // set with SetFont; the dialog font otherwise
  std::unique_ptr<CFont> font_object;    // what GetFont hands out
  std::string tooltip;

 private:
  HWND hwnd_;
};

class Control : public Window {
 public:
  Control(DialogFrame& owner, const resources::ControlTemplate& control, size_t index);
  ~Control() override;

  QWidget* widget() const override { return widget_; }
  DialogFrame& frame() override { return owner; }
  std::string Text() const override;
  void SetText(const std::string& text) override;
  CRect Placement() const override;
  void Place(const CRect& rect) override;
  CPoint ClientOrigin() const override;
  CSize ClientSize() const override;
  void StyleChanged(DWORD old_style) override;

  // What a user does; false when the control does not take it (hidden, disabled,
  // wrong kind).
  bool UserClick();
  bool UserType(const std::string& text);
  bool UserSelect(int index);
  bool UserSpin(int direction);  // +1 up, -1 down

  int Check() const;
  void SetCheck(int check);
  bool IsEditLike() const { return kind == Kind::Edit; }
  bool IsMultiLine() const { return kind == Kind::Edit && (style & 0x4); }
  bool IsReadOnly() const;

  // List items (combo and list boxes).
  int AddItem(const std::string& text);
  int InsertItem(int index, const std::string& text);
  int DeleteItem(int index);
  void ClearItems();
  int ItemCount() const;
  int CurrentIndex() const;
  int SetCurrentIndex(int index);
  std::string ItemText(int index) const;
  std::vector<std::string> Items() const;

  // Up-down controls.
  int SpinPos(bool* error) const;
  int SetSpinPos(int pos);
  void WriteBuddyInt();
  void AlignToBuddy();

  void SetImage(const Image* image);
  void SetLimit(int chars);

  DialogFrame& owner;
  const size_t index;
  const int id;
  const Kind kind;
  const std::string class_name;
  std::unique_ptr<CWnd> handle_object;
  std::vector<CWnd*> attached;  // member objects of DDX_Control
  const Image* image = nullptr;
  int spin_lower = 100;
  int spin_upper = 0;
  int spin_pos = 0;
  Control* buddy = nullptr;
  std::vector<uintptr_t> item_data;
  int dropped_height = 0;

 private:
  void Build(const resources::ControlTemplate& control);
  void ShowText();
  void Notify(WORD code);
  void OnUserEdit();
  void UpdateAutoRadioGroup();

  QWidget* widget_ = nullptr;
  std::string text_;
  bool programmatic_ = false;
  bool in_user_edit_ = false;
};

class DialogFrame : public Window {
 public:
  DialogFrame(CDialog& dialog, const resources::DialogTemplate& dialog_template, DialogFrame* owner);
  ~DialogFrame() override;

  QWidget* widget() const override { return widget_; }
  DialogFrame& frame() override { return *this; }
  std::string Text() const override;
  void SetText(const std::string& text) override;
  CRect Placement() const override;
  void Place(const CRect& rect) override;
  CPoint ClientOrigin() const override;
  CSize ClientSize() const override;
  void StyleChanged(DWORD old_style) override;

  Control* Find(int id) const;
  Control* FindByWidget(const QWidget* widget) const;
  // Sends WM_COMMAND (id, code) to the dialog, as a control's notification does.
  void Command(int id, WORD code, HWND control);
  LRESULT Notify(NMHDR& header);
  // Enter and Escape; true when the key was taken.
  bool HandleDialogKey(UINT vk, QWidget* focus);
  // The context menu standing in for the system menu; popped up at `global` (screen).
  void PopupSystemMenu(CPoint global);
  bool ChooseSystemCommand(UINT id);
  // Group box captions and statics with SS_NOTIFY take clicks (client coordinates).
  bool ClickAt(CPoint client_point);
  Control* FirstTabStop() const;
  void Centre(DialogFrame* over);
  void ApplyWindowFlags();
  void EndModal(int code);
  void Paint();
  void StandardSystemMenu();

  CDialog& dialog;
  const resources::DialogTemplate dialog_template;
  DialogFrame* const owner;
  std::vector<std::unique_ptr<Control>> controls;
  CMenu system_menu;
  int default_id = 0;
  bool ended = false;
  int result = 0;
  QEventLoop* loop = nullptr;
  const Image* big_icon = nullptr;
  const Image* small_icon = nullptr;
  std::vector<std::string> popup_items;  // texts of the last context menu shown

 private:
  void Build();
  std::unique_ptr<platform::DesktopWindow> desktop_;
  QWidget* widget_ = nullptr;
  QPointer<QWidget> popup_;
};

}  // namespace platform::ui::detail
