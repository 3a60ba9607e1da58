// Window handles: CWnd names one window (a dialog or one of its controls) and carries
// the operations the dialogs use on it. The control classes add no data, so a CWnd* from
// GetDlgItem may be cast to the class of its control, as dialog code has always done;
// GetDlgItem hands out an object of the right class for each control.
//
// A CWnd that names no window (a missing control id, a dialog that is not open) is
// valid to use: every operation does nothing and reads as empty, hidden or disabled,
// so a language file whose template lacks a control cannot crash a dialog. Test it
// with GetSafeHwnd().
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/geometry.h"
#include "platform/ui/message_map.h"
#include "platform/ui/ui_types.h"

namespace platform::ui {

namespace detail {
class Window;
}

// An icon or bitmap loaded from the resources (LoadIcon, LoadBitmap in icons.h).
struct Image;
using HICON = const Image*;
using HBITMAP = const Image*;

// A font as a window uses it: the face and the character height in pixels (negative,
// as CreatePointFont gives it).
struct LOGFONT {
  LONG lfHeight = 0;
  LONG lfWeight = 0;
  std::string lfFaceName;
};

class CFont {
 public:
  // point_size in tenths of a point, at 96 dpi.
  bool CreatePointFont(int point_size, const std::string& face_name);
  bool CreateFontIndirect(const LOGFONT& log_font);
  // False for a font not yet created.
  bool GetLogFont(LOGFONT* log_font) const;

 private:
  std::optional<LOGFONT> font_;
};

class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // The window's handle; null when the object names no window.
  HWND GetSafeHwnd() const { return m_hWnd; }
  // The framework's object for a live handle; null for anything else.
  static CWnd* FromHandle(HWND hwnd);
  static bool IsWindow(HWND hwnd);

  int GetDlgCtrlID() const;
  // A control's dialog; null for a dialog.
  CWnd* GetParent() const;

  // True when the window was visible before.
  bool ShowWindow(int show_command);
  // True when the window was disabled before.
  bool EnableWindow(bool enable = true);
  bool IsWindowEnabled() const;
  // Visible with all its parents (false for every control while its dialog is not shown).
  bool IsWindowVisible() const;

  void SetWindowText(const std::string& text);
  std::string GetWindowText() const;
  void GetWindowText(std::string& text) const { text = GetWindowText(); }
  // Copies at most max_count - 1 bytes and a NUL; the number of bytes copied.
  int GetWindowText(char* buffer, int max_count) const;
  int GetWindowTextLength() const;

  // The window that had the focus before; null when none.
  CWnd* SetFocus();
  // The control with the focus in the active dialog; null when none.
  static CWnd* GetFocus();

  // Controls: x, y in the dialog's client coordinates; dialogs: the window rectangle
  // in screen coordinates.
  void MoveWindow(int x, int y, int width, int height, bool repaint = true);
  void MoveWindow(const CRect& rect, bool repaint = true);
  bool SetWindowPos(const CWnd* insert_after, int x, int y, int cx, int cy, UINT flags);
  void CenterWindow(CWnd* alternate_owner = nullptr);

  // Screen coordinates.
  void GetWindowRect(CRect* rect) const;
  // (0, 0, width, height) of the client area.
  void GetClientRect(CRect* rect) const;
  void ScreenToClient(CPoint* point) const;
  void ScreenToClient(CRect* rect) const;
  void ClientToScreen(CPoint* point) const;
  void ClientToScreen(CRect* rect) const;

  DWORD GetStyle() const;
  // Removes and adds style bits; WS_VISIBLE, WS_DISABLED, WS_MINIMIZEBOX (dialogs) and
  // ES_READONLY (edits) take effect at once.
  bool ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);

  void Invalidate(bool erase = true);
  void UpdateWindow();

  // The text colour of a control (null: the system's).
  void SetTextColor(std::optional<COLORREF> color);
  // A solid background behind a control's content (null: none, the dialog shows through).
  void SetBackgroundColor(std::optional<COLORREF> color);
  // The window keeps its own copy of the font's description.
  void SetFont(const CFont* font, bool redraw = true);
  // The font the window draws with (the dialog font unless one was set); owned by the
  // window, null when the object names no window.
  CFont* GetFont() const;
  // A dialog shown as its taskbar button only.
  bool IsIconic() const;

  // Sent at once to the window's handlers; posted through the message queue.
  LRESULT SendMessage(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
  bool PostMessage(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);

  // Window timers of a dialog: WM_TIMER goes to OnTimer. A second SetTimer with the same
  // id replaces the first. Returns the id, 0 on failure.
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse_ms, void* unused_proc = nullptr);
  bool KillTimer(UINT_PTR id);

  // Handles of framework objects; set while the window exists.
  HWND m_hWnd = nullptr;

 protected:
  detail::Window* Impl() const;
};

class CButton : public CWnd {
 public:
  // BST_UNCHECKED 0, BST_CHECKED 1, BST_INDETERMINATE 2.
  int GetCheck() const;
  void SetCheck(int check);
  UINT GetButtonStyle() const;
  // The icon shown on the button instead of its text; the previous one.
  HICON SetIcon(HICON icon);
  HICON GetIcon() const;
};
constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;
constexpr int BST_INDETERMINATE = 2;

class CEdit : public CWnd {
 public:
  void SetSel(int start, int end, bool no_scroll = false);
  void SetLimitText(UINT max_chars);
  void LimitText(int max_chars = 0) { SetLimitText(static_cast<UINT>(max_chars)); }
  bool SetReadOnly(bool read_only = true);
};

class CStatic : public CWnd {
 public:
  // The image shown before; null when none.
  HICON SetIcon(HICON icon);
  HICON GetIcon() const;
  // The bitmap is drawn at its natural size with its top left corner at `offset`
  // (client coordinates of the control), clipped to the control.
  HBITMAP SetBitmap(HBITMAP bitmap, CPoint offset = {});
  HBITMAP GetBitmap() const;
};

// Combo and list boxes share their item operations.
class CListControl : public CWnd {
 public:
  // The new item's index (sorted boxes insert in order).
  int AddString(const std::string& text);
  int InsertString(int index, const std::string& text);
  // Items left, LB_ERR / CB_ERR for a bad index.
  int DeleteString(UINT index);
  void ResetContent();
  int GetCount() const;
  // CB_ERR when nothing is selected.
  int GetCurSel() const;
  // CB_ERR when index is -1 or out of range (the selection is then cleared).
  int SetCurSel(int index);
  int FindStringExact(int start_after, const std::string& text) const;
  bool SetItemData(int index, uintptr_t data);
  uintptr_t GetItemData(int index) const;
  // The item's text; empty for a bad index.
  std::string GetItemText(int index) const;
};

class CComboBox : public CListControl {
 public:
  void GetLBText(int index, std::string& text) const { text = GetItemText(index); }
  int GetLBTextLen(int index) const { return static_cast<int>(GetItemText(index).size()); }
};

class CListBox : public CListControl {
 public:
  void GetText(int index, std::string& text) const { text = GetItemText(index); }
};

// An up-down control. Its range runs from lower to upper (the default 100 to 0 makes
// the up arrow count down, as the control always has). With UDS_SETBUDDYINT the buddy
// shows the position as a decimal number (with thousands separators unless
// UDS_NOTHOUSANDS) and the position is read back from the buddy's text.
class CSpinButtonCtrl : public CWnd {
 public:
  void SetRange(int lower, int upper);
  void SetRange32(int lower, int upper) { SetRange(lower, upper); }
  void GetRange(int& lower, int& upper) const;
  // The previous position; the new one is kept inside the range.
  int SetPos(int pos);
  int SetPos32(int pos) { return SetPos(pos); }
  int GetPos() const;
  int GetPos32(bool* error = nullptr) const;
  // The previous buddy; null when none.
  CWnd* SetBuddy(CWnd* buddy);
  CWnd* GetBuddy() const;
};

}  // namespace platform::ui
