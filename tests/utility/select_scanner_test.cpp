#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "device/device_library.h"
#include "platform/desktop.h"
#include "platform/ui/modal_actions.h"
#include "platform/ui/user_input.h"
#include "platform/ui/wait_cursor.h"
#include "scanner/last_scanner.h"
#include "tests/scanner/scanner_fixture.h"
#include "utility/connect_scanner.h"
#include "utility/indicator_handoff.h"
#include "utility/select_scanner_command.h"
#include "utility/select_scanner_dlg.h"

namespace utility {
namespace {

using namespace platform::ui;
using platform::testing::ScopedEnv;
using platform::testing::TempDir;
using scanner::testing::ScannerTest;

constexpr int kIdcScanners = 1098;
constexpr const char* kNoTargetDevice = "No Target Device!!";

std::vector<std::string> Lines(CDialog& dialog) {
  auto* combo = static_cast<CComboBox*>(dialog.GetDlgItem(kIdcScanners));
  std::vector<std::string> lines;
  for (int i = 0; i < combo->GetCount(); ++i) lines.push_back(combo->GetItemText(i));
  return lines;
}
int Selection(CDialog& dialog) { return static_cast<CComboBox*>(dialog.GetDlgItem(kIdcScanners))->GetCurSel(); }

// A window of the scanner indicator in this process: the messages it was posted.
class IndicatorWindow {
 public:
  IndicatorWindow() : window_(Callbacks()) {
    EXPECT_TRUE(platform::SetProp(window_.hwnd(), kIndicatorProperty, reinterpret_cast<platform::HANDLE>(1)));
  }
  // Waits, within bounds, for count messages and returns what has arrived.
  std::vector<std::vector<uintptr_t>> WaitFor(size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait_for(lock, std::chrono::seconds(10), [&] { return messages_.size() >= count; });
    return messages_;
  }
  // What arrived before a message posted now: the posts of the past have all arrived once it has.
  std::vector<std::vector<uintptr_t>> ReceivedSoFar() {
    EXPECT_TRUE(platform::PostMessage(window_.hwnd(), kSentinel, 0, 0));
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait_for(lock, std::chrono::seconds(10), [&] { return sentinels_ > 0; });
    --sentinels_;
    return messages_;
  }

 private:
  static constexpr platform::UINT kSentinel = platform::WM_USER + 99;
  platform::DesktopCallbacks Callbacks() {
    platform::DesktopCallbacks callbacks;
    callbacks.message = [this](platform::UINT message, platform::WPARAM wparam, platform::LPARAM lparam) {
      std::lock_guard<std::mutex> guard(mutex_);
      if (message == kSentinel)
        ++sentinels_;
      else
        messages_.push_back({message, wparam, static_cast<uintptr_t>(lparam)});
      cv_.notify_all();
    };
    return callbacks;
  }
  std::mutex mutex_;
  std::condition_variable cv_;
  std::vector<std::vector<uintptr_t>> messages_;
  int sentinels_ = 0;
  platform::DesktopWindow window_;
};

class SelectScannerTest : public ScannerTest {
 protected:
  // Each test counts the unattended dialogs of its own.
  void SetUp() override {
    ScannerTest::SetUp();
    ClearUnattendedDialogs();
  }

  // A still-image USB scanner and an ASPI one; the context is connected to the first.
  void AttachTwo() {
    emulator::BusBuilder builder;
    builder.Device("A").Product("DE-T4783Z").OnStiUsb();
    builder.Device("S").Product("DE-T4793Z").OnAspi(0, 3);
    Open(builder.Build());
    records_ = Enumerate();
    ASSERT_EQ(records_.size(), 2u);
    ASSERT_EQ(ConnectToRecord(context_, records_[0]), 1);
    prompter_.Clear();
  }

  ModalActions actions_;
};

TEST_F(SelectScannerTest, TheDialogListsTheScannersFromTheCurrentOneAndAnswersTheChosenLine) {
  AttachTwo();
  actions_.Once<CUDlgSelectScanner>([](CUDlgSelectScanner& d) {
    EXPECT_EQ(d.GetWindowText(), "Select Scanner");
    EXPECT_EQ(Lines(d), (std::vector<std::string>{"DE-T4783Z        USB", "DE-T4793Z        SCSI"}));
    EXPECT_EQ(Selection(d), 1);
    EXPECT_TRUE(d.GetDlgItem(IDCANCEL)->IsWindowVisible());
    Select(d.GetDlgItem(kIdcScanners), 0);
    Click(d.GetDlgItem(IDOK));
  });
  EXPECT_EQ(ShowSelectScanner(records_, &records_[1], false), 0);
  actions_.Once<CUDlgSelectScanner>([](CUDlgSelectScanner& d) { PressKey(d, VK_ESCAPE); });
  EXPECT_EQ(ShowSelectScanner(records_, &records_[1], false), -1);
  EXPECT_EQ(actions_.runs(), 2);
}

TEST_F(SelectScannerTest, MustChooseLeavesOnlyOk) {
  AttachTwo();
  actions_.Once<CUDlgSelectScanner>([](CUDlgSelectScanner& d) {
    EXPECT_EQ(Selection(d), 0) << "no current record: the first line";
    EXPECT_FALSE(d.GetDlgItem(IDCANCEL)->IsWindowVisible());
    EXPECT_FALSE(d.GetSystemMenu(false)->IsChoosable(SC_CLOSE));
    PressKey(d, VK_ESCAPE);
    CloseBox(d);
    d.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_EQ(TopDialog(), &d);
    Select(d.GetDlgItem(kIdcScanners), 1);
    PressKey(d, VK_RETURN);
  });
  EXPECT_EQ(ShowSelectScanner(records_, nullptr, true), 1);
  EXPECT_TRUE(UnattendedDialogs().empty());
}

TEST_F(SelectScannerTest, TheCommandOpensThePickedScannerAndTellsTheIndicator) {
  AttachTwo();
  IndicatorWindow indicator;
  actions_.Once<CUDlgSelectScanner>([](CUDlgSelectScanner& d) {
    EXPECT_EQ(Selection(d), 0) << "the context's scanner";
    EXPECT_EQ(WaitCursorDepth(), 0) << "no wait cursor over the dialog";
    Click(d.GetDlgItem(IDCANCEL));
  });
  EXPECT_FALSE(SelectScannerCommand(context_));
  EXPECT_EQ(context_.model_code, 39);
  EXPECT_TRUE(*device::CurrentDevice() == records_[0]) << "the context's scanner is current again";
  EXPECT_TRUE(indicator.ReceivedSoFar().empty()) << "a cancelled choice tells nobody";

  actions_.Once<CUDlgSelectScanner>([](CUDlgSelectScanner& d) {
    Select(d.GetDlgItem(kIdcScanners), 1);
    Click(d.GetDlgItem(IDOK));
  });
  EXPECT_TRUE(SelectScannerCommand(context_));
  EXPECT_TRUE(context_.connected);
  EXPECT_EQ(context_.model_code, 37);
  EXPECT_TRUE(context_.record == records_[1]);
  EXPECT_TRUE(*device::CurrentDevice() == records_[1]);
  device::DeviceRecord last;
  ASSERT_TRUE(scanner::LoadLastScanner(last));
  EXPECT_TRUE(last == records_[1]);
  EXPECT_EQ(indicator.WaitFor(1), (std::vector<std::vector<uintptr_t>>{{kMessageScannerChosen, 0, 0}}));
  EXPECT_TRUE(prompter_.boxes().empty());
  EXPECT_EQ(WaitCursorDepth(), 0);
}

TEST_F(SelectScannerTest, WithoutAnIndicatorThePickWorksTheSame) {
  AttachTwo();
  actions_.Once<CUDlgSelectScanner>([](CUDlgSelectScanner& d) {
    Select(d.GetDlgItem(kIdcScanners), 1);
    Click(d.GetDlgItem(IDOK));
  });
  EXPECT_TRUE(SelectScannerCommand(context_));
  EXPECT_EQ(context_.model_code, 37);
  EXPECT_TRUE(prompter_.boxes().empty());
}

TEST_F(SelectScannerTest, APickedScannerThatIsGoneLeavesTheContextsScanner) {
  AttachTwo();
  actions_.Once<CUDlgSelectScanner>([this](CUDlgSelectScanner& d) {
    bus_->Find("S")->Unplug();
    Select(d.GetDlgItem(kIdcScanners), 1);
    Click(d.GetDlgItem(IDOK));
  });
  EXPECT_FALSE(SelectScannerCommand(context_));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{kNoTargetDevice});
  EXPECT_EQ(context_.model_code, 39);
  ASSERT_TRUE(device::CurrentDevice());
  EXPECT_TRUE(*device::CurrentDevice() == records_[0]);
  device::DeviceRecord last;
  ASSERT_TRUE(scanner::LoadLastScanner(last));
  EXPECT_TRUE(last == records_[0]);
}

TEST_F(SelectScannerTest, WithNoScannerTheDebugModelIsOfferedAndSimulated) {
  emulator::BusBuilder builder;
  Open(builder.Build());
  WriteIni("[Debug]\nDummyModel=DE-T4783Z\nDummyInterface=1\n");
  actions_.Once<CUDlgSelectScanner>([](CUDlgSelectScanner& d) { Click(d.GetDlgItem(IDCANCEL)); });
  EXPECT_FALSE(SelectScannerCommand(context_));
  EXPECT_FALSE(device::SimulatedScanner()) << "a cancelled choice leaves the mode as it was";

  actions_.Once<CUDlgSelectScanner>([](CUDlgSelectScanner& d) {
    const std::vector<std::string> lines = Lines(d);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "DE-T4783Z        USB");
    Click(d.GetDlgItem(IDOK));
  });
  EXPECT_TRUE(SelectScannerCommand(context_));
  EXPECT_TRUE(device::SimulatedScanner());
  EXPECT_TRUE(context_.connected);
  EXPECT_EQ(context_.model_code, 39);
  EXPECT_EQ(context_.interface_kind, scanner::kInterfaceStiUsbFull);
  EXPECT_TRUE(prompter_.boxes().empty());
  device::DeviceRecord last;
  EXPECT_FALSE(scanner::LoadLastScanner(last)) << "the simulated scanner is not the user's last scanner";
}

TEST_F(SelectScannerTest, WithNoScannerAndNoDebugModelTheCommandSaysSo) {
  emulator::BusBuilder builder;
  Open(builder.Build());
  EXPECT_FALSE(SelectScannerCommand(context_));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{kNoTargetDevice});
  EXPECT_EQ(actions_.runs(), 0);
  EXPECT_TRUE(UnattendedDialogs().empty()) << "no dialog";
  EXPECT_EQ(WaitCursorDepth(), 0);
}

}  // namespace
}  // namespace utility
