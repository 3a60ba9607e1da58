#include "utility/service_utility_dlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/ui/application.h"
#include "platform/ui/desktop.h"
#include "platform/language.h"
#include "platform/paths.h"
#include "platform/ui/modal_actions.h"
#include "platform/ui/shell.h"
#include "platform/ui/timers.h"
#include "platform/ui/user_input.h"
#include "platform/ui/window_dump.h"
#include "resources/app_resources.h"
#include "tests/scanner/scanner_fixture.h"
#include "utility/connect_scanner.h"
#include "utility/control_ids.h"

namespace utility {
namespace {

namespace ui = platform::ui;
using scanner::testing::ScannerTest;

std::string L(int id) { return resources::LoadString(id); }

// The main window against an emulated bus, driven in its own modal loop.
class MainWindowTest : public ScannerTest {
 protected:
  void SetUp() override {
    ScannerTest::SetUp();
    ui::UseVirtualTimers(true);
    ui::SetForegroundOverride(nullptr);
  }
  void TearDown() override {
    // The window leaves the chooser installed and its unattended end recorded.
    SetScannerChooser(nullptr);
    ui::ClearUnattendedDialogs();
    ui::SetForegroundOverride(std::nullopt);
    ui::UseVirtualTimers(false);
    ScannerTest::TearDown();
  }

  void OpenBus(const std::function<void(emulator::BusBuilder&)>& build) {
    emulator::BusBuilder builder;
    build(builder);
    Open(builder.Build());
  }

  // Runs the window with the check inside its modal loop.
  void Run(const std::function<void(CServiceUtilityDlg&)>& check, int indicator_mode = 0) {
    ui::ModalActions actions;
    actions.On(102, [&](ui::CDialog& d) { check(static_cast<CServiceUtilityDlg&>(d)); });
    CServiceUtilityDlg dlg(indicator_mode);
    dlg.DoModal();
    EXPECT_EQ(actions.runs(), 1);
  }

  static bool Visible(CServiceUtilityDlg& d, int id) { return d.GetDlgItem(id)->IsWindowVisible(); }
  static ui::CRect ClientRect(CServiceUtilityDlg& d, int id) {
    ui::CRect r;
    d.GetDlgItem(id)->GetWindowRect(&r);
    d.ScreenToClient(&r);
    return r;
  }
  static bool Enabled(CServiceUtilityDlg& d, int id) { return d.GetDlgItem(id)->IsWindowEnabled(); }

  // Writes a screenshot when UI_TEST_SHOTS names a folder.
  static void Shot(CServiceUtilityDlg& d, const std::string& name) {
    if (const char* dir = std::getenv("UI_TEST_SHOTS")) ui::SaveScreenshot(d, std::string(dir) + "/" + name + ".png");
  }
};

TEST_F(MainWindowTest, ACompactScannerOnUsb) {
  OpenBus([](emulator::BusBuilder& b) {
    b.Device("S").Product("DE-T4783Z").OnStiUsb().Status(0).Thresholds(100000, 200000, 0);
  });
  Run([&](CServiceUtilityDlg& d) {
    Shot(d, "model39-usb");
    EXPECT_TRUE(d.context().connected);
    EXPECT_EQ(d.GetWindowText(), L(3141));
    EXPECT_EQ(d.GetDlgItemText(id::kModelValue), "DE-T4783Z       ");
    EXPECT_EQ(d.GetDlgItemText(id::kInterfaceValue), "STI USB (2.0)");
    EXPECT_FALSE(Visible(d, id::kTerminatorLabel));
    EXPECT_EQ(d.GetDlgItemText(id::kStatusBox), L(5073) + "\r\n" + L(5114));
    EXPECT_EQ(d.GetDlgItemText(id::kUserShading), L(3204));
    EXPECT_TRUE(Visible(d, id::kUserShading));
    EXPECT_FALSE(Visible(d, id::kCleanImprinter));
    EXPECT_FALSE(Visible(d, id::kTestGroup));
    EXPECT_TRUE(Enabled(d, id::kSleepMode));
  });
}

TEST_F(MainWindowTest, LayoutsByModel) {
  struct Case {
    const char* product;
    bool usb;
    const char* shot;
    std::vector<int> shown;
    std::vector<int> hidden;
  } const cases[] = {
      {"DE-T2713Z", false, "model12-scsi",
       {id::kMemoryLabel, id::kInterfaceLabel, id::kCompatibleLabel, id::kCleanImprinter, id::kCompatibleMode,
        id::kFlatbedCountLabel, id::kAfterReplaceLabel},
       {id::kBackMemoryLabel, id::kTerminatorLabel, id::kPostImprinterLabel, id::kPaperFeedLabel, id::kSetDefault}},
      {"DE-T2723Z", false, "model13",
       {id::kMemoryLabel, id::kBackMemoryLabel, id::kFlatbedCountLabel, id::kPaperBuzzer},
       {id::kCompatibleMode, id::kPostImprinterLabel, id::kCompatibleLabel}},
      {"DE-T5473Z", false, "model33",
       {id::kSystemLabel, id::kUpdateAllCounters},
       {id::kConditionGroup, id::kSleepMode, id::kAfterCleanLabel, id::kClearAfterClean, id::kMemoryLabel}},
      {"DE-TT767", true, "model44",
       {id::kFlatbedLabel, id::kSleepMode, id::kSelectScanner, id::kClose},
       {id::kFirmwareLabel, id::kCounterGroup, id::kSystemLabel, id::kHelp, id::kAbout, id::kSaveInfo,
        id::kCleanImprinter}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.product);
    OpenBus([&](emulator::BusBuilder& b) {
      auto& d = b.Device("S").Product(c.product).Status(0);
      if (c.usb) d.OnStiUsb();
      else d.OnAspi(0, 2);
    });
    const std::string product = c.product;
    if (product == "DE-TT767" || product == "DE-T5473Z") {
      // Products the search never lists: the simulated scanner stands in.
      WriteIni("[Debug]\nDummyModel=" + product + "\n");
    }
    Run([&](CServiceUtilityDlg& d) {
      Shot(d, c.shot);
      for (int id : c.shown) EXPECT_TRUE(Visible(d, id)) << id;
      for (int id : c.hidden) EXPECT_FALSE(Visible(d, id)) << id;
    });
    TearDown();
    SetUp();
  }
}

TEST_F(MainWindowTest, ModelFortyFourShowsOnlyItsRows) {
  OpenBus([](emulator::BusBuilder&) {});
  WriteIni("[Debug]\nDummyModel=DE-TT767\n");
  Run([&](CServiceUtilityDlg& d) {
    ASSERT_EQ(d.context().model_code, 44);
    EXPECT_EQ(d.GetDlgItem(id::kFlatbedLabel)->IsWindowVisible(), true);
    ui::CRect flatbed, firmware;
    d.GetDlgItem(id::kFlatbedLabel)->GetWindowRect(&flatbed);
    d.GetDlgItem(id::kFirmwareLabel)->GetWindowRect(&firmware);
    EXPECT_EQ(flatbed.top, firmware.top);  // the flatbed row takes the firmware row's place
    // No flatbed error: the field without part 1, its label against part 2.
    EXPECT_FALSE(Visible(d, id::kErrorPart1));
    EXPECT_FALSE(Visible(d, id::kErrorDash));
    EXPECT_FALSE(Enabled(d, id::kErrorPart1));
    EXPECT_EQ(ClientRect(d, id::kErrorLabel).right, ClientRect(d, id::kErrorPart2).left - 2);
  });
}

TEST_F(MainWindowTest, AFlatbedErrorShowsPartOne) {
  OpenBus([](emulator::BusBuilder& b) {
    b.Device("S").Product("DE-T5713ZA").OnAspi(0, 2).Status(0).FlatbedAttached().Thresholds(100000, 100000, 100000).Edit(
        [](emulator::ScannerState& s) { s.flatbed.status.code = 0xB1000002; });
  });
  Run([&](CServiceUtilityDlg& d) {
    EXPECT_TRUE(Visible(d, id::kErrorPart1));
    EXPECT_TRUE(Visible(d, id::kErrorDash));
    EXPECT_TRUE(Enabled(d, id::kErrorPart1));
    EXPECT_EQ(d.GetDlgItemText(id::kErrorPart1), "TT767");
    EXPECT_EQ(d.GetDlgItemText(id::kErrorPart2), "U90");
    EXPECT_EQ(d.GetDlgItemText(id::kErrorPart3), "b1000002");
    EXPECT_EQ(ClientRect(d, id::kErrorLabel).right, ClientRect(d, id::kErrorPart1).left - 2);
  });
}

// The user layout's arithmetic on template 102, in pixels (6 x 13 base units): the
// window narrowed to the status box with its margin of 14, the bottom row 90 up and
// 224 left, the condition buttons stacked under Sleep Mode at a pitch of 23 + 6.
TEST_F(MainWindowTest, UserLayoutGeometryByButtonGroup) {
  struct Case {
    const char* product;
    bool simulated;  // products the search never lists
    std::vector<int> rows;
    int paper_buzzer_caption;
  } const cases[] = {
      {"DE-T2713Z", false, {id::kCleanImprinter, id::kPaperBuzzer, id::kCompatibleMode, id::kUserShading, id::kCautionSetting}, 3237},
      {"TW-4377", true, {id::kCleanImprinter, id::kPaperBuzzer, id::kUserShading, id::kCautionSetting}, 3237},
      {"DE-T2723Z", false, {id::kCleanImprinter, id::kPaperBuzzer, id::kUserShading, id::kCautionSetting}, 3236},
      {"DE-T4783Z", false, {id::kUserShading, id::kCautionSetting}, 3237},
      {"DE-T9786Z", false, {id::kCleanImprinter, id::kUserShading, id::kCautionSetting}, 3237},
      {"DE-T9793", true, {id::kCautionSetting}, 3237},
      {"DE-T5473Z", true, {}, 0},
      {"DE-TT767", true, {}, 0},
  };
  const int condition_buttons[] = {id::kCleanImprinter, id::kPaperBuzzer,    id::kCompatibleMode,
                                   id::kUserShading,    id::kCautionSetting, id::kSetDefault};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.product);
    OpenBus([&](emulator::BusBuilder& b) {
      if (!c.simulated) b.Device("S").Product(c.product).OnAspi(0, 2).Status(0);
    });
    if (c.simulated) WriteIni(std::string("[Debug]\nDummyModel=") + c.product + "\n");
    Run([&](CServiceUtilityDlg& d) {
      ui::CRect window;
      d.GetWindowRect(&window);
      SCOPED_TRACE(static_cast<int>(d.context().model_code));
      EXPECT_EQ(window.Size(), ui::CSize(448, 555));
      EXPECT_EQ(ClientRect(d, id::kClose), ui::CRect(358, 493, 430, 516));
      EXPECT_EQ(ClientRect(d, id::kSelectScanner), ui::CRect(139, 493, 265, 516));
      const ui::CRect sleep = ClientRect(d, id::kSleepMode);
      EXPECT_EQ(sleep, ui::CRect(251, 153, 423, 176));
      EXPECT_EQ(Visible(d, id::kSleepMode), std::string(c.product) != "DE-T5473Z");
      for (int button : condition_buttons) {
        const auto row = std::find(c.rows.begin(), c.rows.end(), button);
        EXPECT_EQ(Visible(d, button), row != c.rows.end()) << button;
        if (row == c.rows.end()) continue;
        const int top = 153 + static_cast<int>(row - c.rows.begin() + 1) * 29;
        const ui::CRect r = ClientRect(d, button);
        EXPECT_EQ(r.TopLeft(), ui::CPoint(251, top)) << button;
        EXPECT_EQ(r.Width(), 172) << button;
      }
      if (c.paper_buzzer_caption) {
        EXPECT_EQ(d.GetDlgItemText(id::kPaperBuzzer), L(c.paper_buzzer_caption));
      }
      const bool compact = std::string(c.product) == "DE-T4783Z";
      if (Visible(d, id::kUserShading)) {
        EXPECT_EQ(d.GetDlgItemText(id::kUserShading), L(compact ? 3204 : 3234));
      }
    });
    TearDown();
    SetUp();
  }
}

TEST_F(MainWindowTest, NotConnected) {
  OpenBus([](emulator::BusBuilder&) {});
  Run([&](CServiceUtilityDlg& d) {
    Shot(d, "not-connected");
    EXPECT_FALSE(d.context().connected);
    EXPECT_EQ(d.GetDlgItemText(id::kStatusBox), L(5078));
    for (int id : {id::kAbout, id::kHelp, id::kSaveInfo, id::kClose}) EXPECT_TRUE(Enabled(d, id)) << id;
    for (int id : {id::kSelectScanner, id::kSleepMode, id::kCleanImprinter, id::kCautionSetting, id::kUpdateAllCounters,
                   id::kClearAfterClean, id::kClearAfterReplace})
      EXPECT_FALSE(Enabled(d, id)) << id;
    EXPECT_EQ(ui::CWnd::GetFocus(), d.GetDlgItem(id::kClose));
  });
}

TEST_F(MainWindowTest, HelpOpensThePageBesideTheBuiltProgram) {
  const std::filesystem::path program_folder = SCANUTIL_PROGRAM_DIR;
  platform::paths::SetProgramFolderForTest(program_folder);
  platform::ForceLangIdsForTest(0x0409, 0x0409);
  OpenBus([](emulator::BusBuilder& b) { b.Device("S").Product("DE-T4783Z").OnStiUsb().Status(0); });
  ui::ShellLog shell;
  Run([&](CServiceUtilityDlg& d) { ui::Click(d.GetDlgItem(id::kHelp)); });
  platform::ForceLangIdsForTest(std::nullopt, std::nullopt);
  EXPECT_TRUE(prompter_.boxes().empty()) << prompter_.boxes()[0].text;
  // Only an existing file reaches the desktop.
  ASSERT_EQ(shell.requests.size(), 1u);
  EXPECT_EQ(shell.requests[0].verb, "open");
  EXPECT_EQ(shell.requests[0].host_path, program_folder / "HTML" / "English" / "scanutil.htm");
}

TEST_F(MainWindowTest, DisplayOnlyWithTheIndicatorSwitchAndWithDispOnly) {
  for (int variant = 0; variant < 3; ++variant) {
    SCOPED_TRACE(variant);
    OpenBus([](emulator::BusBuilder& b) { b.Device("S").Product("DE-T4783Z").OnStiUsb().Status(0x11000001); });
    if (variant == 1) WriteIni("[Setup]\nDispOnly=1\n");
    if (variant == 2) WriteIni("[Setup]\nDispOnly=2\n");
    Run(
        [&](CServiceUtilityDlg& d) {
          const bool display_only = variant != 2;
          if (variant == 0) Shot(d, "display-only-indicator");
          if (variant == 1) Shot(d, "display-only-dispOnly");
          EXPECT_EQ(Visible(d, id::kSleepMode), !display_only);
          EXPECT_EQ(Visible(d, id::kInformationGroup), !display_only);
          EXPECT_EQ((d.GetStyle() & ui::WS_MINIMIZEBOX) != 0, !display_only);
          EXPECT_TRUE(Visible(d, id::kClose));
          EXPECT_EQ(d.GetDlgItemText(id::kErrorPart2), "U11");
        },
        variant == 0 ? 1 : 0);
    TearDown();
    SetUp();
  }
}

TEST_F(MainWindowTest, EnterStaysEscapeCloses) {
  OpenBus([](emulator::BusBuilder& b) { b.Device("S").Product("DE-T4783Z").OnStiUsb(); });
  bool open_after_enter = false;
  ui::ModalActions actions;
  actions.On(102, [&](ui::CDialog& d) {
    ui::PressKey(d, ui::VK_RETURN);
    open_after_enter = d.IsOpen();
    ui::PressKey(d, ui::VK_ESCAPE);
  });
  CServiceUtilityDlg dlg(0);
  EXPECT_EQ(dlg.DoModal(), ui::IDCANCEL);
  EXPECT_TRUE(open_after_enter);
}

TEST_F(MainWindowTest, TypingIntoTheStatusBoxChangesNothing) {
  OpenBus([](emulator::BusBuilder& b) { b.Device("S").Product("DE-T4783Z").OnStiUsb().Status(0); });
  Run([&](CServiceUtilityDlg& d) {
    const std::string before = d.GetDlgItemText(id::kStatusBox);
    ui::TypeKeys(d.GetDlgItem(id::kStatusBox), "typed");
    EXPECT_EQ(d.GetDlgItemText(id::kStatusBox), before);
  });
}

TEST_F(MainWindowTest, CompactModelsOfferVerticalLineReduction) {
  for (const char* product : {"DE-T4793Z", "DE-T4797Z"}) {
    OpenBus([&](emulator::BusBuilder& b) { b.Device("S").Product(product).OnStiUsb(); });
    Run([&](CServiceUtilityDlg& d) {
      EXPECT_EQ(d.GetDlgItemText(id::kUserShading), L(3204));
      EXPECT_TRUE(Enabled(d, id::kUserShading));
    });
    TearDown();
    SetUp();
  }
}

TEST_F(MainWindowTest, PaperFeedCautionZeroHidesTheRow) {
  OpenBus([](emulator::BusBuilder& b) {
    b.Device("S").Product("DE-T4793Z").OnStiUsb().Status(0).Thresholds(100000, 100000, 0);
  });
  Run([&](CServiceUtilityDlg& d) {
    EXPECT_FALSE(Visible(d, id::kPaperFeedLabel));
    EXPECT_FALSE(Enabled(d, id::kClearPaperFeed));
    EXPECT_EQ(d.GetDlgItemText(id::kAfterReplaceLabel), L(3227));
  });
}

TEST_F(MainWindowTest, ClearingAZeroCountWritesNoRecord) {
  OpenBus([](emulator::BusBuilder& b) { b.Device("S").Product("DE-T4783Z").OnStiUsb().RollerCounts(0, 500, 0); });
  struct Record {
    CounterResetKind kind;
    uint32_t after_clean;
    uint32_t after_replace;
  };
  std::vector<Record> records;
  ui::ModalActions actions;
  actions.On(102, [&](ui::CDialog& dialog) {
    auto& d = static_cast<CServiceUtilityDlg&>(dialog);
    d.SetCounterResetHook([&](const scanner::ScannerContext&, const settings::CCounterRecord& counters, CounterResetKind kind) {
      records.push_back({kind, counters.after_clean, counters.after_replace});
    });
    prompter_.Answer(platform::IDOK);
    ui::Click(d.GetDlgItem(id::kClearAfterClean));  // already 0
    prompter_.Answer(platform::IDOK);
    ui::Click(d.GetDlgItem(id::kClearAfterReplace));
  });
  CServiceUtilityDlg dlg(0);
  dlg.DoModal();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].kind, CounterResetKind::kReplace);
  EXPECT_EQ(records[0].after_clean, 0u);
  EXPECT_EQ(records[0].after_replace, 0u);
}

TEST_F(MainWindowTest, PanelSummaries) {
  OpenBus([](emulator::BusBuilder& b) { b.Device("S").Product("DE-T4783Z").OnStiUsb(); });
  Run([&](CServiceUtilityDlg& d) {
    ui::Click(d.GetDlgItem(id::kInformationGroup));
    ui::Click(d.GetDlgItem(id::kCounterGroup));
  });
  ASSERT_EQ(prompter_.boxes().size(), 2u);
  const std::string info = prompter_.boxes()[0].text;
  EXPECT_EQ(info.rfind("Scanner Information\r\nModel:\t", 0), 0u) << info;
  EXPECT_EQ(info.find("Terminator"), std::string::npos);  // USB: no terminator row
  EXPECT_NE(info.find("Interface:\tSTI USB (2.0)\r\n"), std::string::npos);
  const std::string counters = prompter_.boxes()[1].text;
  EXPECT_NE(counters.find("After Clean Roller:\t\t"), std::string::npos) << counters;
  EXPECT_EQ(prompter_.boxes()[0].type, platform::MB_ICONINFORMATION);
}

TEST_F(MainWindowTest, UnpluggingAUsbScannerSchedulesAnAttempt) {
  OpenBus([](emulator::BusBuilder& b) {
    b.Device("S").Product("DE-T4783Z").OnStiUsb().Status(0).Thresholds(100000, 200000, 0);
  });
  Run([&](CServiceUtilityDlg& d) {
    ASSERT_TRUE(d.context().connected);
    bus_->Find("S")->Unplug();  // the bus tells every window that devices changed
    ui::ProcessPendingEvents();
    EXPECT_EQ(d.monitor().pending_attempts, 1);
    ui::AdvanceTimers(kStatusInterval);
    EXPECT_FALSE(d.context().connected);
    EXPECT_EQ(d.GetDlgItemText(id::kStatusBox), L(5078));
    bus_->Find("S")->Plug();
    ui::ProcessPendingEvents();
    ui::AdvanceTimers(kStatusInterval);
    EXPECT_TRUE(d.context().connected);
    EXPECT_EQ(d.GetDlgItemText(id::kStatusBox), L(5073) + "\r\n" + L(5114));
  });
}

TEST_F(MainWindowTest, SelectScannerSwitchesToTheChosenOne) {
  OpenBus([](emulator::BusBuilder& b) {
    b.Device("S").Product("DE-T4783Z").OnStiUsb().Status(0);
    b.Device("T").Product("DE-T2723Z").OnAspi(0, 4).Status(0);
  });
  std::vector<std::string> lines;
  ui::ModalActions actions;
  // The first connection finds two scanners and no saved one: the user picks the first.
  actions.Once(161, [&](ui::CDialog& d) { ui::Click(d.GetDlgItem(ui::IDOK)); });
  actions.On(102, [&](ui::CDialog& dialog) {
    auto& d = static_cast<CServiceUtilityDlg&>(dialog);
    EXPECT_EQ(d.context().model_code, 39);
    actions.Once(161, [&](ui::CDialog& select) {
      auto* combo = static_cast<ui::CComboBox*>(select.GetDlgItem(1098));
      for (int i = 0; i < combo->GetCount(); ++i) lines.push_back(combo->GetItemText(i));
      if (const char* dir = std::getenv("UI_TEST_SHOTS")) ui::SaveScreenshot(select, std::string(dir) + "/select-scanner.png");
      ui::Select(combo, 1);
      ui::Click(select.GetDlgItem(ui::IDOK));
    });
    ui::Click(d.GetDlgItem(id::kSelectScanner));
    EXPECT_EQ(d.context().model_code, 13);
    EXPECT_EQ(d.GetDlgItemText(id::kModelValue), "DE-T2723Z       ");
    EXPECT_TRUE(Visible(d, id::kBackMemoryLabel));
  });
  CServiceUtilityDlg dlg(0);
  dlg.DoModal();
  EXPECT_EQ(lines, (std::vector<std::string>{"DE-T4783Z        USB", "DE-T2723Z        SCSI"}));
}

}  // namespace
}  // namespace utility
