// A small resource script and a dialog built from it, for the framework's tests.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/ui/data_exchange.h"
#include "platform/ui/dialog.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/modal_actions.h"
#include "platform/ui/user_input.h"
#include "resources/app_resources.h"
#include "resources/script_parser.h"
#include "tests/platform/scripted_prompter.h"

namespace ui_test {

using namespace platform::ui;

inline constexpr const char* kScript = R"rc(
STRINGTABLE
BEGIN
    2001, "&About..."
END

130 ICON "test-icon.bmp"

200 DIALOG 0, 0, 160, 100
CAPTION "Test Dialog"
STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
BEGIN
    LTEXT           "&Minutes:", IDC_STATIC, 7, 7, 40, 8
    EDITTEXT        1001, 50, 5, 40, 14, ES_AUTOHSCROLL
    CONTROL         "", 1002, "msctls_updown32", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS, 90, 5, 10, 14
    AUTOCHECKBOX    "&Disable", 1003, 7, 25, 60, 10
    COMBOBOX        1004, 7, 40, 100, 60, CBS_DROPDOWNLIST | WS_VSCROLL
    EDITTEXT        1005, 7, 58, 60, 14, ES_AUTOHSCROLL
    AUTORADIOBUTTON "A4", 1006, 80, 58, 30, 10, WS_GROUP
    AUTORADIOBUTTON "Letter", 1007, 112, 58, 40, 10
    GROUPBOX        "Counter", 1011, 115, 20, 40, 30
    PUSHBUTTON      "&Open...", 1010, 7, 80, 40, 14
    PUSHBUTTON      "&Save...", 1012, 115, 5, 40, 12
    ICON            130, 1166, 115, 52, 20, 20
    DEFPUSHBUTTON   "OK", IDOK, 52, 80, 50, 14
    PUSHBUTTON      "Cancel", IDCANCEL, 105, 80, 50, 14
END

202 DIALOG 0, 0, 120, 60
CAPTION "Status"
BEGIN
    EDITTEXT        1160, 7, 7, 106, 30, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL
    PUSHBUTTON      "Close", IDCANCEL, 63, 40, 50, 14
END

SECOND DIALOG 0, 0, 100, 40
CAPTION "Nested"
BEGIN
    EDITTEXT        1101, 7, 7, 86, 14
    DEFPUSHBUTTON   "OK", IDOK, 7, 22, 40, 14
    PUSHBUTTON      "Cancel", IDCANCEL, 53, 22, 40, 14
END
)rc";

class CNestedDlg : public CDialog {
 public:
  explicit CNestedDlg(CWnd* parent) : CDialog("SECOND", parent) {}
  std::string text;

 protected:
  void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, 1101, text); }
};

class CTestDlg : public CDialog {
 public:
  CTestDlg() : CDialog(200) {}

  int minutes = 15;
  unsigned count = 5000;
  int disabled = 0;
  int choice = 1;
  int paper = 0;
  bool refuse_cancel = false;
  int paints = 0;
  int nested_result = 0;
  std::string nested_text;
  std::vector<UINT_PTR> ticks;
  std::vector<UINT> system_commands;
  std::vector<std::pair<WPARAM, LPARAM>> chosen;
  std::vector<int> spin_requests;
  bool refuse_spin = false;
  int group_clicks = 0;
  bool start_timer = false;
  std::string saved_path;
  std::vector<int> notifications;

 protected:
  bool OnInitDialog() override {
    auto* combo = static_cast<CComboBox*>(GetDlgItem(1004));
    for (const char* item : {"ASPI SCSI", "STI SCSI", "STI USB"}) combo->AddString(item);
    static_cast<CSpinButtonCtrl*>(GetDlgItem(1002))->SetRange(1, 60);
    CDialog::OnInitDialog();
    CMenu* menu = GetSystemMenu(false);
    menu->AppendMenu(MF_SEPARATOR);
    menu->AppendMenu(MF_STRING, IDM_ABOUTBOX, resources::LoadString(2001));
    if (start_timer) SetTimer(1, 5000);
    return true;
  }
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, 1001, minutes);
    DDV_MinMaxInt(dx, minutes, 1, 60);
    DDX_Text(dx, 1005, count);
    DDV_MinMaxUInt(dx, count, 1000, 20000);
    DDX_Check(dx, 1003, disabled);
    DDX_CBIndex(dx, 1004, choice);
    DDX_Radio(dx, 1006, paper);
  }
  void OnCancel() override {
    if (!refuse_cancel) CDialog::OnCancel();
  }
  void OnTimer(UINT_PTR id) override { ticks.push_back(id); }
  void OnSysCommand(UINT id, LPARAM lparam) override {
    system_commands.push_back(id);
    if ((id & 0xFFF0) != IDM_ABOUTBOX) CDialog::OnSysCommand(id, lparam);
  }
  void OnPaint() override { ++paints; }
  void OnOpen() {
    CNestedDlg nested(this);
    nested_result = static_cast<int>(nested.DoModal());
    nested_text = nested.text;
  }
  void OnGroup() { ++group_clicks; }
  void OnSave() {
    CFileDialog save(false, "txt", "Scanner.txt", OFN_OVERWRITEPROMPT, "Text Files (*.txt)|*.txt||", this);
    if (save.DoModal() == IDOK) saved_path = save.GetPathName();
  }
  void OnDisableClicked() { notifications.push_back(1003); }
  void OnTransportChanged() { notifications.push_back(1004); }
  void OnMinutesChanged() { notifications.push_back(1001); }
  LRESULT OnScannerChosen(WPARAM wparam, LPARAM lparam) {
    chosen.emplace_back(wparam, lparam);
    return 0;
  }
  void OnSpinDelta(NMHDR* header, LRESULT* result) {
    spin_requests.push_back(reinterpret_cast<NMUPDOWN*>(header)->iDelta);
    *result = refuse_spin ? 1 : 0;
  }
  DECLARE_MESSAGE_MAP()
};

// Installs the test script for each test and a scripted prompter.
class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto parsed = resources::ParseResourceScript(kScript);
    ASSERT_TRUE(parsed.script) << parsed.error.reason;
    resources::SetAppResources(resources::Resources(*parsed.script));
    platform::SetAppName("Test Utility");
    ClearUnattendedDialogs();
  }
  void TearDown() override { resources::ResetAppResources(); }

  platform::testing::ScriptedPrompter prompter;
};

// Runs the dialog with `action` inside its modal loop; the DoModal result.
template <class D>
INT_PTR RunWith(D& dialog, std::function<void(D&)> action) {
  ModalActions actions;
  actions.Once<D>(std::move(action));
  return dialog.DoModal();
}

inline CRect ClientRectOf(CDialog& dialog, int id) {
  CRect rect;
  dialog.GetDlgItem(id)->GetWindowRect(&rect);
  dialog.ScreenToClient(&rect);
  return rect;
}

}  // namespace ui_test
