// Dialogs built from the templates of the program's resources.
//
// DoModal creates the window hidden with its controls at their template rectangles,
// sends OnInitDialog (the base version exchanges data into the controls), centres the
// window over its owner unless OnInitDialog moved it, shows it and runs a nested event
// loop until EndDialog. Enter sends the default button's command (the focused push
// button, else the DEFPUSHBUTTON, else IDOK) unless the focus is in a multi-line edit
// with ES_WANTRETURN; Escape and the window's close box send IDCANCEL, so a dialog
// refuses them by overriding OnOK / OnCancel. Unmapped IDOK and IDCANCEL commands go
// to OnOK and OnCancel.
//
// Unattended runs (the offscreen platform without an automation script, or
// SetUnattended(true)): a dialog that no modal action (modal_actions.h) drives is ended
// with IDCANCEL right after OnInitDialog, without running OnCancel, and is recorded in
// UnattendedDialogs(); nothing waits for a user who is not there.
#pragma once
#include <memory>
#include <string>

#include "platform/ui/menu.h"
#include "platform/ui/message_map.h"
#include "platform/ui/wnd.h"
#include "resources/resource_script.h"

namespace platform::ui {

class CDataExchange;

namespace detail {
class DialogFrame;
}

class CDialog : public CWnd {
 public:
  explicit CDialog(resources::ResourceId template_id, CWnd* parent = nullptr);
  ~CDialog() override;

  // The EndDialog code; -1 when the template does not exist.
  virtual INT_PTR DoModal();
  void EndDialog(int result);

  // Exchanges data between members and controls; false (with the box shown and the
  // focus on the failing control) when validation fails.
  bool UpdateData(bool save_and_validate = true);

  CWnd* GetDlgItem(int id) const;
  void CheckDlgButton(int id, UINT check);
  UINT IsDlgButtonChecked(int id) const;
  // Checks `check` and clears the other buttons from first to last.
  void CheckRadioButton(int first, int last, int check);
  // The checked button from first to last; 0 when none.
  int GetCheckedRadioButton(int first, int last) const;
  void SetDlgItemText(int id, const std::string& text);
  std::string GetDlgItemText(int id) const;
  int GetDlgItemText(int id, std::string& text) const;
  void SetDlgItemInt(int id, UINT value, bool is_signed = true);
  UINT GetDlgItemInt(int id, bool* translated = nullptr, bool is_signed = true) const;
  void GotoDlgCtrl(CWnd* control);
  void SetDefID(int id);
  // DC_HASDEFID in the high word and the default id in the low word.
  DWORD GetDefID() const;

  // The system menu (revert restores the standard items).
  CMenu* GetSystemMenu(bool revert);
  HICON SetIcon(HICON icon, bool big);

  // Template rectangle (dialog units) to pixels, in place.
  void MapDialogRect(CRect* rect) const;

  const resources::ResourceId& template_id() const { return template_id_; }
  // True from DoModal's window creation until the window is destroyed.
  bool IsOpen() const { return m_hWnd != nullptr; }

  // Dispatches one message to the map and the virtual handlers below.
  virtual LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam);

 protected:
  virtual bool OnInitDialog();
  virtual void DoDataExchange(CDataExchange* dx);
  virtual void OnOK();
  virtual void OnCancel();
  virtual void OnTimer(UINT_PTR id);
  // The default closes on SC_CLOSE (when the system menu's Close is enabled).
  virtual void OnSysCommand(UINT id, LPARAM lparam);
  // The default sends IDCANCEL.
  virtual void OnClose();
  virtual void OnDestroy();
  // After the background has been painted; controls paint themselves.
  virtual void OnPaint();
  // WM_COMMAND: the map, then IDOK / IDCANCEL to OnOK / OnCancel. True when handled.
  virtual bool OnCommand(WPARAM wparam, LPARAM lparam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam);

  static const MessageMap* GetThisMessageMap();
  virtual const MessageMap* GetMessageMap() const;

  CWnd* m_pParentWnd = nullptr;

 private:
  friend class detail::DialogFrame;
  resources::ResourceId template_id_;
  std::unique_ptr<detail::DialogFrame> frame_;
};

// Unattended runs: see the top of this file. Null resets to the default (unattended
// exactly on the offscreen platform without an automation script).
void SetUnattended(std::optional<bool> unattended);
bool IsUnattended();
// Template ids of the dialogs that ended unattended, in order ("102", "SLEEPMODE").
std::vector<std::string> UnattendedDialogs();
void ClearUnattendedDialogs();

// The open dialogs, the first opened first.
std::vector<CDialog*> OpenDialogs();
// The innermost open dialog; null when none.
CDialog* TopDialog();
// A resource id as text: the number, or the name.
std::string ResourceIdText(const resources::ResourceId& id);

}  // namespace platform::ui
