#include "tests/ui/ui_fixture.h"

namespace ui_test {

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
  ON_BN_CLICKED(1010, &CTestDlg::OnOpen)
  ON_BN_CLICKED(1011, &CTestDlg::OnGroup)
  ON_BN_CLICKED(1012, &CTestDlg::OnSave)
  ON_BN_CLICKED(1003, &CTestDlg::OnDisableClicked)
  ON_CBN_SELCHANGE(1004, &CTestDlg::OnTransportChanged)
  ON_EN_CHANGE(1001, &CTestDlg::OnMinutesChanged)
  ON_MESSAGE(WM_USER + 0x101, &CTestDlg::OnScannerChosen)
  ON_NOTIFY(UDN_DELTAPOS, 1002, &CTestDlg::OnSpinDelta)
  ON_WM_TIMER()
  ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

}  // namespace ui_test
