#include <algorithm>
#include <fstream>

#include "platform/clock.h"
#include "platform/message_pump.h"
#include "platform/ui/application.h"
#include "platform/ui/desktop.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/posted_messages.h"
#include "platform/ui/qt_prompter.h"
#include "platform/ui/timers.h"
#include "platform/ui/wait_cursor.h"
#include "platform/ui/window_dump.h"
#include "platform/ui/icons.h"
#include "tests/platform/test_env.h"
#include "tests/ui/ui_fixture.h"

namespace ui_test {
namespace {

// A status box whose text the user cannot change: every change is written over.
class CStatusDlg : public CDialog {
 public:
  CStatusDlg() : CDialog(202) {}
  std::string status = "Scanner is not connected.\r\nLine two";
  int updates = 0;

 protected:
  void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, 1160, status); }
  void OnUpdateStatus() {
    ++updates;
    UpdateData(false);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CStatusDlg, CDialog)
  ON_EN_UPDATE(1160, &CStatusDlg::OnUpdateStatus)
END_MESSAGE_MAP()

TEST_F(UiTest, AnEditRewrittenOnEveryChangeKeepsItsText) {
  CStatusDlg dialog;
  RunWith<CStatusDlg>(dialog, [](CStatusDlg& d) {
    EXPECT_EQ(d.GetDlgItemText(1160), d.status);
    EXPECT_TRUE(Type(d.GetDlgItem(1160), "typed"));
    EXPECT_EQ(d.GetDlgItemText(1160), d.status);
    d.GotoDlgCtrl(d.GetDlgItem(1160));
    EXPECT_TRUE(TypeKeys(d.GetDlgItem(1160), "xy"));
    platform::ui::ProcessPendingEvents();
    EXPECT_EQ(d.GetDlgItemText(1160), d.status);
    EXPECT_EQ(d.updates, 3);
    d.EndDialog(IDOK);
  });
}

TEST_F(UiTest, DataExchangeRoundTrip) {
  CTestDlg dialog;
  dialog.count = 12000;
  const INT_PTR result = RunWith<CTestDlg>(dialog, [](CTestDlg& d) {
    EXPECT_GT(d.paints, 0);
    EXPECT_EQ(d.GetDlgItemText(1001), "15");
    EXPECT_EQ(d.GetDlgItemText(1005), "12000");
    EXPECT_EQ(static_cast<CComboBox*>(d.GetDlgItem(1004))->GetCurSel(), 1);
    EXPECT_EQ(d.GetDlgItemText(1004), "STI SCSI");
    EXPECT_EQ(d.IsDlgButtonChecked(1006), 1u);
    EXPECT_TRUE(Type(d.GetDlgItem(1001), " 42 "));
    EXPECT_TRUE(Click(d.GetDlgItem(1003)));
    EXPECT_TRUE(Select(d.GetDlgItem(1004), 2));
    EXPECT_TRUE(Click(d.GetDlgItem(1007)));
    EXPECT_EQ(d.IsDlgButtonChecked(1006), 0u);
    EXPECT_TRUE(Click(d.GetDlgItem(IDOK)));
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dialog.minutes, 42);
  EXPECT_EQ(dialog.disabled, 1);
  EXPECT_EQ(dialog.choice, 2);
  EXPECT_EQ(dialog.paper, 1);
  EXPECT_TRUE(prompter.boxes().empty());
  EXPECT_FALSE(dialog.IsOpen());
}

TEST_F(UiTest, ValidationShowsTheStandardMessageAndKeepsTheDialogOpen) {
  struct Case {
    int id;
    const char* typed;
    const char* message;
  } cases[] = {
      {1001, "abc", "Please enter an integer."},
      {1001, "", "Please enter an integer."},
      {1001, "99999999999", "Please enter an integer."},
      {1001, "61", "Please enter an integer between 1 and 60."},
      {1001, "0", "Please enter an integer between 1 and 60."},
      {1005, "-5", "Please enter a positive integer."},
      {1005, "12x", "Please enter a positive integer."},
      {1005, "999", "Please enter an integer between 1000 and 20000."},
  };
  for (const Case& c : cases) {
    prompter.Clear();
    CTestDlg dialog;
    const INT_PTR result = RunWith<CTestDlg>(dialog, [&](CTestDlg& d) {
      Type(d.GetDlgItem(c.id), c.typed);
      EXPECT_TRUE(Click(d.GetDlgItem(IDOK)));
      EXPECT_EQ(TopDialog(), &d) << c.typed;
      ASSERT_TRUE(CWnd::GetFocus()) << c.typed;
      EXPECT_EQ(CWnd::GetFocus()->GetDlgCtrlID(), c.id) << c.typed;
      Click(d.GetDlgItem(IDCANCEL));
    });
    EXPECT_EQ(result, IDCANCEL) << c.typed;
    ASSERT_EQ(prompter.boxes().size(), 1u) << c.typed;
    EXPECT_EQ(prompter.boxes()[0].text, c.message);
    EXPECT_EQ(prompter.boxes()[0].caption, "Test Utility");
    EXPECT_EQ(prompter.boxes()[0].type, platform::MB_ICONEXCLAMATION);
  }
}

TEST_F(UiTest, EnterPressesTheDefaultButtonAndEscapeCancels) {
  CTestDlg by_enter;
  EXPECT_EQ(RunWith<CTestDlg>(by_enter, [](CTestDlg& d) {
              d.GotoDlgCtrl(d.GetDlgItem(1005));
              PressKey(d, VK_RETURN);
            }),
            IDOK);
  CTestDlg by_escape;
  EXPECT_EQ(RunWith<CTestDlg>(by_escape, [](CTestDlg& d) { PressKey(d, VK_ESCAPE); }), IDCANCEL);
  // Enter on a focused push button presses that button.
  CTestDlg focused_cancel;
  EXPECT_EQ(RunWith<CTestDlg>(focused_cancel, [](CTestDlg& d) {
              d.GetDlgItem(IDCANCEL)->SetFocus();
              PressKey(d, VK_RETURN);
            }),
            IDCANCEL);
}

TEST_F(UiTest, AnOnCancelOverrideRefusesEscapeCancelAndTheCloseBox) {
  CTestDlg dialog;
  dialog.refuse_cancel = true;
  const INT_PTR result = RunWith<CTestDlg>(dialog, [](CTestDlg& d) {
    PressKey(d, VK_ESCAPE);
    Click(d.GetDlgItem(IDCANCEL));
    CloseBox(d);
    EXPECT_EQ(TopDialog(), &d);
    // A disabled default button takes no Enter.
    d.GetDlgItem(IDOK)->EnableWindow(false);
    PressKey(d, VK_RETURN);
    EXPECT_EQ(TopDialog(), &d);
    d.EndDialog(7);
  });
  EXPECT_EQ(result, 7);
}

TEST_F(UiTest, TimersRunOnVirtualTime) {
  UseVirtualTimers(true);
  CTestDlg dialog;
  RunWith<CTestDlg>(dialog, [](CTestDlg& d) {
    EXPECT_EQ(d.SetTimer(1, 5000), 1u);
    EXPECT_EQ(d.SetTimer(2, 1000), 2u);
    EXPECT_EQ(AdvanceTimers(4999), 4);
    EXPECT_EQ(AdvanceTimers(1), 2);
    EXPECT_EQ(d.ticks, (std::vector<UINT_PTR>{2, 2, 2, 2, 1, 2}));
    EXPECT_TRUE(d.KillTimer(2));
    EXPECT_FALSE(d.KillTimer(2));
    // Setting a running timer again starts its interval anew.
    AdvanceTimers(4000);
    d.SetTimer(1, 10);
    EXPECT_EQ(FireNextTimers(1), 1);
    EXPECT_EQ(d.ticks.size(), 7u);
    d.EndDialog(IDOK);
  });
  EXPECT_TRUE(ActiveTimers().empty()) << "a closed window's timers end with it";
  UseVirtualTimers(false);
}

TEST_F(UiTest, ModalActionsDriveNestedDialogs) {
  CTestDlg dialog;
  ModalActions actions;
  actions.On("SECOND", [](CDialog& nested) {
    EXPECT_EQ(nested.GetWindowText(), "Nested");
    Type(nested.GetDlgItem(1101), "typed inside");
    PressKey(nested, VK_RETURN);
  });
  actions.On<CTestDlg>([](CTestDlg& d) {
    EXPECT_TRUE(Click(d.GetDlgItem(1010)));
    EXPECT_EQ(d.nested_result, IDOK);
    EXPECT_EQ(d.nested_text, "typed inside");
    EXPECT_EQ(TopDialog(), &d);
    Click(d.GetDlgItem(IDOK));
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(actions.runs(), 2);
  EXPECT_TRUE(UnattendedDialogs().empty());
}

TEST_F(UiTest, UndrivenDialogsEndUnattended) {
  CTestDlg dialog;
  RunWith<CTestDlg>(dialog, [](CTestDlg& d) {
    Click(d.GetDlgItem(1010));
    EXPECT_EQ(d.nested_result, IDCANCEL);
    // The action returns with the dialog still open: ended for it.
  });
  EXPECT_EQ(UnattendedDialogs(), (std::vector<std::string>{"SECOND", "200"}));
  CNestedDlg alone(nullptr);
  EXPECT_EQ(alone.DoModal(), IDCANCEL);
  CDialog missing(999);
  EXPECT_EQ(missing.DoModal(), -1);
}

TEST_F(UiTest, SystemMenuItemsAreOfferedInTheContextMenu) {
  CTestDlg dialog;
  RunWith<CTestDlg>(dialog, [](CTestDlg& d) {
    EXPECT_EQ(OpenContextMenu(d), (std::vector<std::string>{"&Close\tAlt+F4", "-", "&About..."}));
    EXPECT_TRUE(ChooseContextMenuItem(d, IDM_ABOUTBOX));
    EXPECT_EQ(d.system_commands, std::vector<UINT>{IDM_ABOUTBOX});
    EXPECT_EQ(TopDialog(), &d);
    // Close disabled: the item, the close box and SC_CLOSE are all refused.
    d.GetSystemMenu(false)->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    OpenContextMenu(d);
    EXPECT_FALSE(ChooseContextMenuItem(d, SC_CLOSE));
    CloseBox(d);
    d.SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_EQ(TopDialog(), &d);
    d.GetSystemMenu(false)->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
    CloseBox(d);
  });
  EXPECT_EQ(dialog.system_commands.back(), SC_CLOSE);
  EXPECT_FALSE(dialog.IsOpen());
}

TEST_F(UiTest, SpinControlsStepTheirBuddyWithinTheRange) {
  CTestDlg dialog;
  RunWith<CTestDlg>(dialog, [](CTestDlg& d) {
    auto* spin = static_cast<CSpinButtonCtrl*>(d.GetDlgItem(1002));
    EXPECT_TRUE(Spin(spin, +1));
    EXPECT_EQ(d.GetDlgItemText(1001), "16");
    Type(d.GetDlgItem(1001), "60");
    Spin(spin, +1);
    EXPECT_EQ(d.GetDlgItemText(1001), "60");
    EXPECT_EQ(spin->GetPos(), 60);
    d.refuse_spin = true;
    Spin(spin, -1);
    EXPECT_EQ(d.GetDlgItemText(1001), "60");
    EXPECT_EQ(d.spin_requests, (std::vector<int>{1, 1, -1}));
    d.refuse_spin = false;
    // The arrow keys in the buddy work the spin (UDS_ARROWKEYS).
    d.GotoDlgCtrl(d.GetDlgItem(1001));
    PressKey(d, VK_DOWN);
    EXPECT_EQ(d.GetDlgItemText(1001), "59");
    spin->SetPos(1000);
    EXPECT_EQ(d.GetDlgItemText(1001), "60");
    d.EndDialog(IDOK);
  });
}

TEST_F(UiTest, PostedMessagesReachTheMessageMap) {
  CTestDlg dialog;
  RunWith<CTestDlg>(dialog, [](CTestDlg& d) {
    EXPECT_TRUE(d.PostMessage(WM_USER + 0x101, 7, 9));
    EXPECT_TRUE(d.chosen.empty()) << "posting does not deliver at once";
    platform::MSG msg;
    while (platform::PeekMessage(&msg, nullptr, 0, 0, platform::PM_REMOVE)) platform::DispatchMessage(&msg);
    EXPECT_EQ(d.chosen, (std::vector<std::pair<WPARAM, LPARAM>>{{7, 9}}));
    d.PostMessage(WM_USER + 0x101, 1, 2);
    d.EndDialog(IDOK);
  });
  EXPECT_TRUE(dialog.chosen.size() == 1u) << "a message left for a closed window is dropped";
  EXPECT_FALSE(dialog.PostMessage(WM_USER, 0, 0));
  int stale = 0;
  EXPECT_FALSE(PostDialogMessage(&stale, WM_USER, 0, 0));
}

TEST_F(UiTest, ControlNotificationsReachTheMessageMap) {
  CTestDlg dialog;
  RunWith<CTestDlg>(dialog, [](CTestDlg& d) {
    d.notifications.clear();
    Click(d.GetDlgItem(1003));
    Select(d.GetDlgItem(1004), 0);
    Type(d.GetDlgItem(1001), "20");
    // Set by the program: an edit reports it, a combo box does not.
    d.SetDlgItemText(1001, "21");
    static_cast<CComboBox*>(d.GetDlgItem(1004))->SetCurSel(2);
    EXPECT_EQ(d.notifications, (std::vector<int>{1003, 1004, 1001, 1001}));
    d.EndDialog(IDOK);
  });
}

TEST_F(UiTest, RealTimersFireThroughTheEventLoop) {
  CTestDlg dialog;
  RunWith<CTestDlg>(dialog, [](CTestDlg& d) {
    d.SetTimer(3, 1);
    const DWORD start = platform::GetTickCount();
    platform::MSG msg;
    while (d.ticks.size() < 2 && platform::GetTickCount() - start < 5000)
      while (platform::PeekMessage(&msg, nullptr, 0, 0, platform::PM_REMOVE)) platform::DispatchMessage(&msg);
    EXPECT_EQ(d.ticks, (std::vector<UINT_PTR>{3, 3}));
    d.EndDialog(IDOK);
  });
}

TEST_F(UiTest, IconStaticsShowTheirIconAtIconSize) {
  platform::testing::TempDir images;
  // A 2 x 2 24-bit bitmap.
  const unsigned char bmp[] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,
                               0, 0, 0, 0, 16, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                               255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0};
  std::ofstream(images.path() / "test-icon.bmp", std::ios::binary).write(reinterpret_cast<const char*>(bmp), sizeof bmp);
  SetImageFolders({images.path()});
  EXPECT_EQ(LoadIcon(999), nullptr);
  CTestDlg dialog;
  RunWith<CTestDlg>(dialog, [](CTestDlg& d) {
    auto* icon = static_cast<CStatic*>(d.GetDlgItem(1166));
    EXPECT_EQ(ClientRectOf(d, 1166), CRect(173, 85, 173 + kIconSize, 85 + kIconSize));
    EXPECT_EQ(GetImageSize(icon->GetIcon()), CSize(2, 2));
    EXPECT_NE(DumpWindowsJson().find("\"id\": 1166, \"kind\": \"icon\""), std::string::npos);
    EXPECT_NE(DumpWindowsJson().find("\"image\": [2, 2]"), std::string::npos);
    EXPECT_EQ(icon->SetIcon(nullptr), LoadIcon(130));
    d.EndDialog(IDOK);
  });
  SetImageFolders({});
}

TEST_F(UiTest, DialogsAreDesktopWindows) {
  platform::testing::TempDir runtime;
  platform::testing::ScopedEnv folder("XDG_RUNTIME_DIR", runtime.path().string());
  CTestDlg dialog;
  RunWith<CTestDlg>(dialog, [](CTestDlg& d) {
    ASSERT_TRUE(platform::SetProp(d.GetSafeHwnd(), "QMXUUtilityWindowClass", reinterpret_cast<platform::HANDLE>(1)));
    EXPECT_EQ(platform::FindWindowWithProperty("QMXUUtilityWindowClass"), d.GetSafeHwnd());
    // Posted the way another program posts: through the desktop's listener thread.
    EXPECT_TRUE(platform::PostMessage(d.GetSafeHwnd(), WM_USER + 0x101, 3, 4));
    const DWORD start = platform::GetTickCount();
    platform::MSG msg;
    while (d.chosen.empty() && platform::GetTickCount() - start < 5000)
      while (platform::PeekMessage(&msg, nullptr, 0, 0, platform::PM_REMOVE)) platform::DispatchMessage(&msg);
    EXPECT_EQ(d.chosen, (std::vector<std::pair<WPARAM, LPARAM>>{{3, 4}}));
    // Brought forward by another program.
    SetForegroundOverride(HWND(nullptr));
    EXPECT_TRUE(platform::SetForegroundWindow(d.GetSafeHwnd()));
    const DWORD asked = platform::GetTickCount();
    while (!GetForegroundWindow() && platform::GetTickCount() - asked < 5000)
      while (platform::PeekMessage(&msg, nullptr, 0, 0, platform::PM_REMOVE)) platform::DispatchMessage(&msg);
    EXPECT_EQ(GetForegroundWindow(), &d);
    SetForegroundOverride(std::nullopt);
    d.EndDialog(IDOK);
  });
  EXPECT_EQ(platform::FindWindowWithProperty("QMXUUtilityWindowClass"), nullptr) << "the registration goes with the window";
}

// A dialog whose Qt timer answers the Qt message box that its action opened.
class CBoxDlg : public CTestDlg {
 public:
  std::optional<QtBoxContents> seen;

 protected:
  void OnTimer(UINT_PTR) override {
    if (auto box = OpenQtMessageBox()) {
      seen = box;
      PressQtMessageBoxButton(platform::IDCANCEL);
    }
  }
};

TEST_F(UiTest, TheQtPrompterShowsTheBoxWithItsButtonsAndIcon) {
  CBoxDlg dialog;
  int answer = 0;
  RunWith<CBoxDlg>(dialog, [&](CBoxDlg& d) {
    d.SetTimer(1, 1);
    platform::Prompter* previous = InstallQtPrompter();
    answer = platform::AfxMessageBox("Clear the counter?", platform::MB_OKCANCEL | platform::MB_ICONQUESTION);
    platform::InstallPrompter(previous);
    d.EndDialog(IDOK);
  });
  EXPECT_EQ(answer, platform::IDCANCEL);
  ASSERT_TRUE(dialog.seen);
  EXPECT_EQ(dialog.seen->caption, "Test Utility");
  EXPECT_EQ(dialog.seen->text, "Clear the counter?");
  EXPECT_EQ(dialog.seen->icon, "question");
  EXPECT_EQ(dialog.seen->buttons, (std::vector<std::string>{"OK", "Cancel"}));
}

TEST_F(UiTest, ForegroundAndFlashGoThroughTheirSeams) {
  FlashLog flashes;
  CTestDlg dialog;
  HWND hwnd = nullptr;
  RunWith<CTestDlg>(dialog, [&](CTestDlg& d) {
    hwnd = d.GetSafeHwnd();
    SetForegroundOverride(HWND(nullptr));
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    SetForegroundOverride(d.GetSafeHwnd());
    EXPECT_EQ(GetForegroundWindow(), &d);
    SetForegroundOverride(std::nullopt);
    auto user32 = platform::LoadLibraryAs<User32Library>("user32.dll");
    ASSERT_TRUE(user32 && user32->FlashWindowEx);
    FLASHWINFO info;
    info.hwnd = d.GetSafeHwnd();
    info.dwFlags = FLASHW_TRAY;
    info.uCount = 10;
    info.dwTimeout = 500;
    EXPECT_TRUE(user32->FlashWindowEx(&info));
    d.EndDialog(IDOK);
  });
  ASSERT_EQ(flashes.flashes.size(), 1u);
  EXPECT_EQ(flashes.flashes[0].hwnd, hwnd);
  EXPECT_EQ(flashes.flashes[0].dwFlags, FLASHW_TRAY);
  EXPECT_EQ(flashes.flashes[0].uCount, 10u);
}

TEST_F(UiTest, GroupBoxCaptionsAndWaitCursorAndFileDialog) {
  CTestDlg dialog;
  RunWith<CTestDlg>(dialog, [](CTestDlg& d) {
    EXPECT_TRUE(Click(d.GetDlgItem(1011)));
    EXPECT_EQ(d.group_clicks, 1);
    {
      CWaitCursor wait;
      EXPECT_EQ(WaitCursorDepth(), 1);
    }
    EXPECT_EQ(WaitCursorDepth(), 0);
    d.EndDialog(IDOK);
  });
  CFileDialog unanswered(false, "txt", "Scanner.txt");
  EXPECT_EQ(unanswered.DoModal(), IDCANCEL);
  FileDialogRequest asked;
  auto previous = SetFileDialogAnswerer([&](const FileDialogRequest& request) -> std::optional<std::string> {
    asked = request;
    return "C:\\TEMP\\ScanInfo\\Report";
  });
  CFileDialog save(false, "txt", "Scanner.txt");
  EXPECT_EQ(save.DoModal(), IDOK);
  EXPECT_EQ(save.GetPathName(), "C:\\TEMP\\ScanInfo\\Report.txt");
  EXPECT_EQ(save.GetFileName(), "Report.txt");
  EXPECT_EQ(asked.file_name, "Scanner.txt");
  SetFileDialogAnswerer(previous);
}

}  // namespace
}  // namespace ui_test
