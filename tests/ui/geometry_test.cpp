#include "tests/ui/ui_fixture.h"

namespace ui_test {
namespace {

TEST(DialogUnits, MapWithTheFixedBaseUnitsRoundingEachEdge) {
  struct Case {
    int du, x, y;
  } cases[] = {{0, 0, 0}, {1, 2, 2}, {3, 5, 5}, {5, 8, 8}, {100, 150, 163}, {-3, -5, -5}};
  for (const Case& c : cases) {
    EXPECT_EQ(DialogUnitsToPixelsX(c.du), c.x) << c.du;
    EXPECT_EQ(DialogUnitsToPixelsY(c.du), c.y) << c.du;
  }
  // Edges map on their own: 7 + 60 du is 11 .. 101, not 11 + 90.
  EXPECT_EQ(DialogRectToPixels(7, 25, 60, 10), CRect(11, 41, 101, 57));
  EXPECT_EQ(WindowRectFromClient(CRect(100, 100, 340, 263)), CRect(97, 75, 343, 266));
  EXPECT_EQ(ClientRectFromWindow(CRect(97, 75, 343, 266)), CRect(100, 100, 340, 263));
}

TEST_F(UiTest, ControlsSitAtTheirTemplateRectangles) {
  CTestDlg dialog;
  RunWith<CTestDlg>(dialog, [](CTestDlg& d) {
    CRect client, window;
    d.GetClientRect(&client);
    d.GetWindowRect(&window);
    EXPECT_EQ(client, CRect(0, 0, 240, 163));
    EXPECT_EQ(window.Width(), 240 + 2 * kFrameBorder);
    EXPECT_EQ(window.Height(), 163 + 2 * kFrameBorder + kCaptionHeight);
    CPoint origin(0, 0);
    d.ClientToScreen(&origin);
    EXPECT_EQ(origin, CPoint(window.left + kFrameBorder, window.top + kFrameBorder + kCaptionHeight));

    EXPECT_EQ(ClientRectOf(d, 1003), CRect(11, 41, 101, 57));
    EXPECT_EQ(ClientRectOf(d, IDOK), CRect(78, 130, 153, 153));
    // A drop-down list shows its closed height; the template height is the list's.
    EXPECT_EQ(ClientRectOf(d, 1004), CRect(11, 65, 161, 65 + kComboBoxHeight));
    // UDS_ALIGNRIGHT: the buddy gives up the spin's width, the spin overlaps its border.
    EXPECT_EQ(ClientRectOf(d, 1001), CRect(75, 8, 135 - kSpinAlignedWidth, 31));
    EXPECT_EQ(ClientRectOf(d, 1002), CRect(117, 8, 133, 31));
    d.EndDialog(IDOK);
  });
}

TEST_F(UiTest, MovingAndHidingKeepRectanglesConsistent) {
  CTestDlg dialog;
  RunWith<CTestDlg>(dialog, [](CTestDlg& d) {
    CWnd* ok = d.GetDlgItem(IDOK);
    ok->MoveWindow(10, 20, 60, 25);
    EXPECT_EQ(ClientRectOf(d, IDOK), CRect(10, 20, 70, 45));
    ok->SetWindowPos(nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(ClientRectOf(d, IDOK), CRect(30, 40, 90, 65));

    EXPECT_TRUE(ok->IsWindowVisible());
    EXPECT_TRUE(ok->ShowWindow(SW_HIDE));
    EXPECT_FALSE(ok->IsWindowVisible());
    EXPECT_FALSE(Click(ok));
    EXPECT_FALSE(ok->ShowWindow(SW_SHOW));
    EXPECT_FALSE(ok->EnableWindow(false));
    EXPECT_FALSE(ok->IsWindowEnabled());
    EXPECT_FALSE(Click(ok));
    EXPECT_TRUE(ok->EnableWindow(true));

    // The dialog itself: the window rectangle moves and resizes, the client follows.
    CRect window;
    d.GetWindowRect(&window);
    d.MoveWindow(window.left, window.top, window.Width() - 40, window.Height() - 25);
    CRect client;
    d.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 200, 138));
    d.SetWindowPos(nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    d.GetWindowRect(&window);
    EXPECT_EQ(window, CRect(50, 60, 256, 226));
    // The arithmetic a layout does: a control's right edge from the window's left.
    CRect cancel;
    d.GetDlgItem(IDCANCEL)->GetWindowRect(&cancel);
    EXPECT_EQ(cancel.left - window.left, kFrameBorder + 158);
    d.EndDialog(IDOK);
  });
}

TEST_F(UiTest, MissingControlsAreHarmless) {
  CTestDlg dialog;
  CWnd* before = dialog.GetDlgItem(1001);
  EXPECT_EQ(before->GetSafeHwnd(), nullptr);
  RunWith<CTestDlg>(dialog, [](CTestDlg& d) {
    CWnd* missing = d.GetDlgItem(4242);
    EXPECT_EQ(missing->GetSafeHwnd(), nullptr);
    missing->ShowWindow(SW_HIDE);
    missing->MoveWindow(1, 2, 3, 4);
    static_cast<CComboBox*>(missing)->AddString("x");
    EXPECT_EQ(missing->GetWindowText(), "");
    EXPECT_FALSE(missing->IsWindowVisible());
    d.EndDialog(IDOK);
  });
}

}  // namespace
}  // namespace ui_test
