// The error display window in-process: the error code field, cautions, switching,
// buttons, fitting to the first illustration, the manual and its alert.
#include <gtest/gtest.h>

#include "errview/control_ids.h"
#include "platform/registry.h"
#include "platform/ui/desktop.h"
#include "platform/ui/shell.h"
#include "platform/ui/user_input.h"
#include "tests/errview/window_fixture.h"

namespace errview {
namespace {

namespace ui = platform::ui;
using testing::ErrviewWindow;

std::string Text(CerrviewDlg& dlg, int control) { return dlg.GetDlgItemText(control); }
bool Enabled(CerrviewDlg& dlg, int control) { return dlg.GetDlgItem(control)->IsWindowEnabled(); }
bool Shown(CerrviewDlg& dlg, int control) { return dlg.GetDlgItem(control)->GetStyle() & ui::WS_VISIBLE; }
ui::CRect Rect(CerrviewDlg& dlg, int control) {
  ui::CRect rect;
  dlg.GetDlgItem(control)->GetWindowRect(&rect);
  dlg.ScreenToClient(&rect);
  return rect;
}

TEST_F(ErrviewWindow, ErrorCodeFieldAndCautions) {
  struct Case {
    const char* type;
    const char* code;
    const char* model;
    const char* part2;
    bool part2_enabled;
    const char* part3;
    bool part3_enabled;
    bool flatbed;
    const char* message;
  } cases[] = {
      {"U11", "0x0203", "T9793Z", "U11", true, "0x0203", true, false, "Paper jam.\r\nRemove the paper."},
      {"W01", "0x0203", "T9793Z", "", false, "0x0203", true, false, "*** Caution ***\r\nPaper jam.\r\nRemove the paper."},
      {"U11", "-", "tt767", "U11", true, "", false, true, "Paper jam.\r\nRemove the paper."},
      {"U11", "1-2", "Tt767", "U11", true, "", false, true, "Paper jam.\r\nRemove the paper."},
      {"", "", "TT767X", "", false, "", false, false, "Paper jam.\r\nRemove the paper."},
      {"w01", "0x1", "T9793Z", "w01", true, "0x1", true, false, "Paper jam.\r\nRemove the paper."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.code + " " + c.model);
    inputs_.error_type = c.type, inputs_.error_code = c.code, inputs_.model_name = c.model;
    Run([&](CerrviewDlg& dlg) {
      EXPECT_EQ(Text(dlg, id::kPart2), c.part2);
      EXPECT_EQ(Enabled(dlg, id::kPart2), c.part2_enabled);
      EXPECT_EQ(Text(dlg, id::kPart3), c.part3);
      EXPECT_EQ(Enabled(dlg, id::kPart3), c.part3_enabled);
      EXPECT_EQ(Text(dlg, id::kMessageBox), c.message);
      EXPECT_EQ(Shown(dlg, id::kPart1), c.flatbed);
      EXPECT_EQ(Shown(dlg, id::kPart1Dash), c.flatbed);
      EXPECT_EQ(Shown(dlg, id::kViewManual), !c.flatbed);
      if (c.flatbed) {
        EXPECT_EQ(Text(dlg, id::kPart1), "TT767");
      }
      const int anchor = Rect(dlg, c.flatbed ? id::kPart1 : id::kPart2).left;
      EXPECT_EQ(Rect(dlg, id::kErrorCodeLabel).right, anchor - 2);
      ui::LOGFONT font;
      ASSERT_TRUE(dlg.GetDlgItem(id::kMessageBox)->GetFont()->GetLogFont(&font));
      EXPECT_EQ(font.lfHeight, -19);  // 14 points at 96 dpi
      EXPECT_EQ(ui::CWnd::GetFocus(), dlg.GetDlgItem(id::kClose));
    });
  }
}

TEST_F(ErrviewWindow, TheStoredTextsComeBackAfterTyping) {
  inputs_.model_name = "TT767";
  Run([&](CerrviewDlg& dlg) {
    for (int control : {id::kPart1, id::kPart2, id::kPart3, id::kMessageBox}) EXPECT_TRUE(ui::Type(dlg.GetDlgItem(control), "typed"));
    EXPECT_EQ(Text(dlg, id::kPart1), "TT767");
    EXPECT_EQ(Text(dlg, id::kPart2), "U11");
    EXPECT_EQ(Text(dlg, id::kPart3), "0x0203");
    EXPECT_EQ(Text(dlg, id::kMessageBox), "Paper jam.\r\nRemove the paper.");
  });
}

TEST_F(ErrviewWindow, SwitchesEveryTwoSecondsUntilStoppedAndFlashesInTheBackground) {
  WriteList("U11,0,0,,i0.bmp,,i1.bmp,,i2.bmp\r\n");
  for (const char* name : {"i0.bmp", "i1.bmp", "i2.bmp"}) WriteImage(name, 100, 80);
  ui::FlashLog flashes;
  Run([&](CerrviewDlg& dlg) {
    ui::SetForegroundOverride(platform::HWND(nullptr));
    EXPECT_EQ(dlg.illustration_count(), 3);
    std::vector<int> seen;
    for (int second = 1; second <= 7; ++second) {
      ui::AdvanceTimers(1000);
      seen.push_back(dlg.illustration_index());
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 1, 2, 2, 0, 0}));
    EXPECT_EQ(flashes.flashes.size(), 7u);
    EXPECT_EQ(flashes.flashes[0].dwFlags, ui::FLASHW_TRAY);
    EXPECT_EQ(flashes.flashes[0].uCount, 2u);
    EXPECT_EQ(flashes.flashes[0].dwTimeout, 500u);
    EXPECT_TRUE(ui::Click(dlg.GetDlgItem(id::kStop)));
    ui::SetForegroundOverride(dlg.GetSafeHwnd());
    ui::AdvanceTimers(6000);
    EXPECT_EQ(dlg.illustration_index(), 0);
    EXPECT_EQ(flashes.flashes.size(), 7u);  // in the foreground: no flash
    EXPECT_EQ(dlg.GetDlgItem(id::kSecondPicture)->GetSafeHwnd() != nullptr, true);
  });
  ui::SetForegroundOverride(std::nullopt);
}

TEST_F(ErrviewWindow, ButtonStatesAtTheFirstAndLastIllustration) {
  WriteList("U11,0,0,a0,b0,a1,b1,a2,b2\r\nU12,0,0,a0,b0\r\n");
  Run([&](CerrviewDlg& dlg) {
    EXPECT_FALSE(Enabled(dlg, id::kStart));
    EXPECT_TRUE(Enabled(dlg, id::kStop));
    EXPECT_FALSE(ui::Click(dlg.GetDlgItem(id::kNext)));  // disabled while switching
    ASSERT_TRUE(ui::Click(dlg.GetDlgItem(id::kStop)));
    EXPECT_FALSE(dlg.auto_switching());
    EXPECT_TRUE(Enabled(dlg, id::kStart) && Enabled(dlg, id::kPrevious) && Enabled(dlg, id::kNext));
    EXPECT_FALSE(Enabled(dlg, id::kStop));
    ASSERT_TRUE(ui::Click(dlg.GetDlgItem(id::kPrevious)));
    EXPECT_EQ(dlg.illustration_index(), 0);
    EXPECT_FALSE(Enabled(dlg, id::kPrevious));
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(ui::Click(dlg.GetDlgItem(id::kNext)));
    EXPECT_EQ(dlg.illustration_index(), 2);
    EXPECT_FALSE(Enabled(dlg, id::kNext));
    EXPECT_TRUE(Enabled(dlg, id::kPrevious));
    ASSERT_TRUE(ui::Click(dlg.GetDlgItem(id::kPrevious)));
    EXPECT_EQ(dlg.illustration_index(), 1);
    EXPECT_TRUE(Enabled(dlg, id::kNext));
    ASSERT_TRUE(ui::Click(dlg.GetDlgItem(id::kStart)));
    EXPECT_TRUE(dlg.auto_switching());
    EXPECT_FALSE(Enabled(dlg, id::kNext) || Enabled(dlg, id::kPrevious) || Enabled(dlg, id::kStart));
  });
  inputs_.error_type = "U12";
  Run([&](CerrviewDlg& dlg) { EXPECT_FALSE(Enabled(dlg, id::kStop)); });
  inputs_.error_type = "u11";  // lower case matches no key
  Run([&](CerrviewDlg& dlg) {
    EXPECT_EQ(dlg.illustration_count(), 0);
    EXPECT_FALSE(Enabled(dlg, id::kStop));
  });
}

TEST_F(ErrviewWindow, ALargeImageFitsTheWindowAt640By480) {
  WriteList("U11,0,0,,small.bmp\r\nU12,0,0,,big.bmp\r\nU13,0,0,big.bmp\r\nU14,0,0,,missing.bmp\r\n");
  WriteImage("small.bmp", 50, 40);
  WriteImage("big.bmp", 800, 600);
  const int moved[] = {id::kSecondPicture, id::kStart, id::kStop, id::kPrevious, id::kNext,
                       id::kViewManual,    id::kMessageBox, id::kClose, id::kFirstPicture, id::kPart2};
  std::map<int, ui::CRect> before;
  ui::CRect window_before;
  Run([&](CerrviewDlg& dlg) {
    for (int control : moved) before[control] = Rect(dlg, control);
    dlg.GetWindowRect(&window_before);
    EXPECT_EQ(static_cast<ui::CStatic*>(dlg.GetDlgItem(id::kSecondPicture))->GetBitmap() != nullptr, true);
  });
  const ui::CRect area = before[id::kFirstPicture];
  const int dx = 640 - area.Width(), dy = 480 - area.Height();
  for (const char* type : {"U12", "U13"}) {
    inputs_.error_type = type;
    Run([&](CerrviewDlg& dlg) {
      SCOPED_TRACE(type);
      ui::CRect window;
      dlg.GetWindowRect(&window);
      EXPECT_EQ(window.Width(), window_before.Width() + dx);
      EXPECT_EQ(window.Height(), window_before.Height() + dy);
      auto expect = [&](int control, int mx, int my, int gw, int gh) {
        const ui::CRect b = before[control], r = Rect(dlg, control);
        EXPECT_EQ(r.left, b.left + mx) << control;
        EXPECT_EQ(r.top, b.top + my) << control;
        EXPECT_EQ(r.Width(), b.Width() + gw) << control;
        EXPECT_EQ(r.Height(), b.Height() + gh) << control;
      };
      expect(id::kSecondPicture, 0, 0, dx, dy);
      for (int control : {id::kStart, id::kStop, id::kPrevious, id::kNext, id::kViewManual}) expect(control, 0, dy, 0, 0);
      expect(id::kMessageBox, 0, 0, 0, dy);
      expect(id::kClose, dx, dy, 0, 0);
      expect(id::kFirstPicture, 0, 0, 0, 0);
      expect(id::kPart2, 0, 0, 0, 0);
    });
  }
  inputs_.error_type = "U14";  // a missing image leaves the size
  Run([&](CerrviewDlg& dlg) {
    ui::CRect window;
    dlg.GetWindowRect(&window);
    EXPECT_EQ(window.Width(), window_before.Width());
    EXPECT_EQ(static_cast<ui::CStatic*>(dlg.GetDlgItem(id::kSecondPicture))->GetBitmap(), nullptr);
  });
}

TEST_F(ErrviewWindow, TheManualInTheLanguageElseInEnglish) {
  WriteList("U11,0,1,,x.bmp\r\nU12,0,2,,x.bmp\r\n");
  auto key = platform::RegKey::Create(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvex\\Quorvex Scanner Manuals\\1.00.000");
  ASSERT_TRUE(key);
  Run([&](CerrviewDlg& dlg) { EXPECT_FALSE(Enabled(dlg, id::kViewManual)); });  // no InstallDir
  ASSERT_TRUE(key->Set("InstallDir", platform::RegValue::String("C:\\Manuals")));
  platform::testing::WriteAll(prefix_.drive_c() / "Manuals" / "t9786zi-e.pdf", "%PDF");
  Run([&](CerrviewDlg& dlg) { EXPECT_EQ(dlg.manual_path(), "C:\\Manuals\\t9786zi-e.pdf"); }, LANG_GERMAN);
  platform::testing::WriteAll(prefix_.drive_c() / "Manuals" / "t9786zi-g.pdf", "%PDF");
  Run([&](CerrviewDlg& dlg) { EXPECT_EQ(dlg.manual_path(), "C:\\Manuals\\t9786zi-g.pdf"); }, LANG_GERMAN);
  inputs_.error_type = "U12";  // variant "m", which is not there in any language
  Run([&](CerrviewDlg& dlg) {
    EXPECT_FALSE(dlg.manual_path());
    EXPECT_FALSE(Enabled(dlg, id::kViewManual));
  }, LANG_GERMAN);
}

TEST_F(ErrviewWindow, NoProgramForTheManualShowsTheAlertWithItsLink) {
  WriteList("U11,0,0,,x.bmp\r\n");
  auto key = platform::RegKey::Create(platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvex\\Quorvex Scanner Manuals\\1.00.000");
  ASSERT_TRUE(key && key->Set("InstallDir", platform::RegValue::String("C:\\Manuals")));
  platform::testing::WriteAll(prefix_.drive_c() / "Manuals" / "t9786z-e.pdf", "%PDF");
  platform::SetAppName("errview");
  for (ui::INT_PTR result : {ui::kShellOpened, ui::SE_ERR_FNF, ui::SE_ERR_NOASSOC}) {
    SCOPED_TRACE(result);
    ui::ShellLog shell(result);
    int alerts = 0;
    std::string link;
    platform::ui::ModalActions actions;
    actions.On(140, [&](ui::CDialog& alert) {
      ++alerts;
      EXPECT_EQ(alert.GetDlgItemText(1021), "Failed to open the file. Please install a PDF reader.");
      link = alert.GetDlgItemText(id::kAlertLink);
      ui::LOGFONT font;
      ASSERT_TRUE(alert.GetDlgItem(id::kAlertLink)->GetFont()->GetLogFont(&font));
      EXPECT_EQ(font.lfHeight, -12);  // 9 points
      EXPECT_TRUE(ui::Click(alert.GetDlgItem(id::kAlertLink)));
      EXPECT_TRUE(ui::Click(alert.GetDlgItem(platform::IDOK)));
    });
    actions.On<CerrviewDlg>([&](CerrviewDlg& dlg) { EXPECT_TRUE(ui::Click(dlg.GetDlgItem(id::kViewManual))); });
    CerrviewDlg dlg;
    dlg.SetSettingsFile(SettingsFile());
    dlg.SetInputs(inputs_);
    dlg.DoModal();
    ASSERT_GE(shell.requests.size(), 1u);
    EXPECT_EQ(shell.requests[0].file, "C:\\Manuals\\t9786z-e.pdf");
    EXPECT_EQ(alerts, result == ui::SE_ERR_NOASSOC ? 1 : 0);
    if (result == ui::SE_ERR_NOASSOC) {
      ASSERT_EQ(shell.requests.size(), 2u);
      EXPECT_EQ(shell.requests[1].file, link);  // the click opens the address
      EXPECT_TRUE(shell.requests[1].host_path.empty());
    }
  }
}

TEST_F(ErrviewWindow, AMissingListIsReportedOnlyWithTheSettingsFile) {
  Run([&](CerrviewDlg& dlg) { EXPECT_EQ(dlg.illustration_count(), 0); });
  EXPECT_TRUE(prompter_.boxes().empty());
  platform::testing::WriteAll(dir_.path() / "scUtil.ini", "[errview]\r\nmsgStr2=From\\r\\nthe file\r\n");
  Run([&](CerrviewDlg& dlg) {
    EXPECT_EQ(Text(dlg, id::kMessageBox), "Paper jam.\r\nFrom\r\nthe file");
    EXPECT_FALSE(Enabled(dlg, id::kStop));
  });
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].text, "The system cannot find the file specified.");
}

}  // namespace
}  // namespace errview
