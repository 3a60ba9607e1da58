// The run around the scanner sections: file choice, creation, preparation, the
// scanner list's edge cases and the failures that end the run.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "device/device_library.h"
#include "platform/ui/file_dialog.h"
#include "report/report_run.h"
#include "scanner/setting_commands.h"
#include "tests/report/report_fixture.h"

namespace report::testing {
namespace {

namespace ui = platform::ui;
using emulator::CommandFault;
using emulator::CommandMatch;
using emulator::DeviceBuilder;
using emulator::FaultKind;
using emulator::ScannerState;

constexpr uint8_t kVendorRead = 0xE0;
constexpr uint8_t kVendorWrite = 0xE1;

CommandFault Fails(uint8_t opcode, uint8_t data_type) {
  return {CommandMatch::Command(opcode, data_type), FaultKind::kTransportError, {}, 0, emulator::kAlways};
}

CommandFault AnswersZero(uint8_t data_type) {
  return {CommandMatch::Command(kVendorRead, data_type), FaultKind::kZeroAnswer, {}, 0, emulator::kAlways};
}

class ReportRunTest : public ReportTest {
 protected:
  void TearDown() override {
    ui::SetFileDialogAnswerer(nullptr);
    ReportTest::TearDown();
  }

  // The file dialog answers with the path (nullopt: Cancel) and keeps what it was asked.
  void AnswerFileDialog(std::optional<std::string> path) {
    ui::SetFileDialogAnswerer([this, path](const ui::FileDialogRequest& request) {
      requests_.push_back(request);
      return path;
    });
  }

  std::vector<ui::FileDialogRequest> requests_;
};

TEST_F(ReportRunTest, TheSaveAsDialogAsksForScannerTxt) {
  emulator::BusBuilder empty;
  OpenBus(empty);
  AnswerFileDialog(std::nullopt);
  ReportContext context{window_};
  EXPECT_FALSE(RunReport(context));
  ASSERT_EQ(requests_.size(), 1u);
  const ui::FileDialogRequest& r = requests_[0];
  EXPECT_FALSE(r.open);
  EXPECT_EQ(r.default_ext, "txt");
  EXPECT_EQ(r.file_name, "Scanner.txt");
  EXPECT_EQ(r.filter, "Text file (*.txt)|*.*||");
  EXPECT_EQ(r.flags, ui::OFN_OVERWRITEPROMPT | ui::OFN_HIDEREADONLY | ui::OFN_NOCHANGEDIR);
}

// Cancel and a file that cannot be created end the run quietly, before any exchange.
TEST_F(ReportRunTest, CancelAndAnUncreatableFileEndQuietly) {
  struct Case {
    const char* name;
    std::optional<std::string> answer;
  } const cases[] = {
      {"cancel", std::nullopt},
      {"no such folder", "C:\\missing\\Scanner.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    emulator::BusBuilder builder;
    builder.Device("S").Product("DE-T2713Z").OnAspi(0, 2);
    Attach(builder);
    ASSERT_EQ(Identify(), 1);
    scanner_->ClearLog();
    prompter_.Clear();
    AnswerFileDialog(c.answer);
    ReportContext context{context_};
    EXPECT_FALSE(RunReport(context));
    EXPECT_TRUE(prompter_.boxes().empty());
    EXPECT_TRUE(Exchanges().empty());
    EXPECT_FALSE(std::filesystem::exists(prefix_.drive_c() / "missing"));
    device::CloseDeviceLibrary();
    emulator::Uninstall();
  }
}

// The window's connected scanner is prepared with service mode 5 before anything
// else is written; the file replaces one that was there.
TEST_F(ReportRunTest, TheWindowsScannerIsPreparedFirstAndTheFileReplaced) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T2713Z").OnAspi(0, 2);
  Attach(builder);
  ASSERT_EQ(Identify(), 1);
  scanner_->ClearLog();
  platform::testing::WriteAll(prefix_.drive_c() / "Scanner.txt", std::string(100000, '~'));
  AnswerFileDialog("C:\\Scanner.txt");
  ReportContext context{context_};
  EXPECT_TRUE(RunReport(context));
  const auto exchanges = Exchanges();
  ASSERT_FALSE(exchanges.empty());
  const auto first = exchanges.front().Cdb();
  EXPECT_EQ(first[0], kVendorWrite);
  EXPECT_EQ(first[2], 0x45);
  const std::string text = platform::testing::ReadAll(prefix_.drive_c() / "Scanner.txt");
  EXPECT_EQ(text.find('~'), std::string::npos);
  EXPECT_TRUE(text.starts_with(Crlf("<< Date >>\n")));
  EXPECT_NE(text.find(Crlf("\n<< Scanner >>\nInterface, ASPI SCSI\n")), std::string::npos);
  EXPECT_TRUE(context_.connected);
}

TEST_F(ReportRunTest, ANotConnectedWindowScannerIsNotPrepared) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T2713Z").OnAspi(0, 2);
  Attach(builder);
  scanner_->ClearLog();
  AnswerFileDialog("C:\\Scanner.txt");
  ReportContext context{window_};
  EXPECT_TRUE(RunReport(context));
  for (const auto& exchange : Exchanges()) {
    const auto cdb = exchange.Cdb();
    if (cdb[0] == kVendorWrite && cdb[2] == 0x45) ADD_FAILURE() << "service mode sent before the sections";
    break;
  }
}

// Whole scanner parts of the edge cases.
TEST_F(ReportRunTest, ScannerListEdgeCases) {
  struct Case {
    const char* name;
    std::function<void(emulator::BusBuilder&)> bus;
    std::string expected;
  } const cases[] = {
      {"no scanner", [](emulator::BusBuilder&) {}, "<< Scanner >>\nNot Connected.\n\n"},
      {"a flatbed unit alone", [](emulator::BusBuilder& b) { b.Device("F").Product("DE-TT767").OnStiUsb(2); },
       "<< Scanner >>\nNot Connected.\n\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    emulator::BusBuilder builder;
    c.bus(builder);
    OpenBus(builder);
    EXPECT_EQ(ScannerPart(), Crlf(c.expected));
    EXPECT_TRUE(written_);
    EXPECT_TRUE(prompter_.boxes().empty());
    device::CloseDeviceLibrary();
    emulator::Uninstall();
  }
}

TEST_F(ReportRunTest, AFailedListingShowsItsMessageAndEndsTheRun) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T2713Z").OnAspi(0, 2);
  OpenBus(builder);
  SetScannerListerForTest([](std::vector<device::DeviceRecord>&) { return 1; });
  const std::string part = ScannerPart();
  SetScannerListerForTest(nullptr);
  EXPECT_EQ(part, "");
  EXPECT_FALSE(written_);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"SDI_GetDeviceList failed."});
}

// Sections left out or ending the run, by model and failed read.
TEST_F(ReportRunTest, FailedAndEmptyReads) {
  struct Case {
    const char* name;
    const char* product;
    std::function<void(DeviceBuilder&)> setup;
    bool written;
    size_t boxes;  // the command layer's, one per failed read with messages allowed
    // Text that must follow directly, and headings that must be absent.
    std::string present;
    std::vector<std::string> absent;
  } const cases[] = {
      {"serial number unreadable", "DE-T2713Z", [](DeviceBuilder& d) { d.Fault(Fails(kVendorRead, 0x92)); }, true, 1,
       "Product, DE-T2713Z\n<< Sensor level >>\n", {"USB ID #"}},
      {"model 12 feed speed 0", "DE-T2713Z", [](DeviceBuilder& d) { d.Fault(AnswersZero(0xA7)); }, true, 0,
       "Ending Sensor(Slice), 121\n\n<< Counter >>\n", {"<< Feed Speed >>"}},
      {"model 33 feed speed 0", "DE-T5473Z", [](DeviceBuilder& d) { d.Fault(AnswersZero(0xA7)); }, false, 0,
       "Compatible, DE-T5473Z\n\n", {"<< Feed Speed >>", "<< Counter >>", "<< Special Function >>"}},
      {"model 35", "TW-9777", [](DeviceBuilder& d) { d.Edit([](ScannerState& s) { s.individual_settings[0] = 0x40; }); },
       true, 0, "<< Special Function >>\nDouble feeding image output, ON\n\n", {"<< Sleep Mode >>", "<< Test Mode >>"}},
      {"sensor levels unreadable", "DE-T2713Z", [](DeviceBuilder& d) { d.Fault(Fails(kVendorRead, 0x33)); }, true, 1,
       "Compatible, DE-T2713Z\n\n<< Feed Speed >>\n", {"<< Sensor level >>"}},
      {"position values unreadable", "DE-T2713Z", [](DeviceBuilder& d) { d.Fault(Fails(kVendorRead, 0x30)); }, false, 1,
       "<< Sleep Mode >>\nSleep Mode, 15 min\n\n", {"<< Adjust value >>", "<< Test Mode >>"}},
      {"bent paper unreadable", "DE-T8713ZP", [](DeviceBuilder& d) { d.Fault(Fails(kVendorRead, 0x4C)); }, true, 1,
       "Bent paper sensor level, L1:0 L2:0 L3:0 R1:0 R2:0 R3:0\n\n<< Test Mode >>", {}},
      {"roller pressure unreadable", "DE-T8713ZP", [](DeviceBuilder& d) { d.Fault(Fails(kVendorRead, 0x4B)); }, true, 1,
       "Jam Sensor(Slice), 120\n\n<< Feed Speed >>", {"Roller pressure level"}},
      {"shading source unreadable", "DE-T2713Z", [](DeviceBuilder& d) { d.Fault(Fails(kVendorRead, 0xA4)); }, true, 1,
       "Double feeding image output, OFF\n\n", {"<< Shading Source >>"}},
      {"test settings unreadable", "DE-T2713Z", [](DeviceBuilder& d) { d.Fault(Fails(kVendorRead, 0x41)); }, false, 1,
       "Double feed sensor frequency, 220\n\n", {"<< Test Mode >>", "<< Scanner status >>"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    emulator::BusBuilder builder;
    c.setup(builder.Device("S").Product(c.product).OnAspi(0, 2));
    Attach(builder);
    ASSERT_EQ(Identify(), 1);
    prompter_.Clear();
    const std::string part = OneScannerPart();
    EXPECT_EQ(written_, c.written);
    EXPECT_EQ(prompter_.boxes().size(), c.boxes) << ::testing::PrintToString(BoxTexts());
    EXPECT_NE(part.find(Crlf(c.present)), std::string::npos) << c.present << "\n---\n" << part;
    for (const std::string& heading : c.absent) EXPECT_EQ(part.find(heading), std::string::npos) << heading;
    if (!c.written) {
      EXPECT_TRUE(part.ends_with(Crlf(c.present))) << part;
    }
    device::CloseDeviceLibrary();
    emulator::Uninstall();
  }
}

// Every box of a run whose sensor-level read fails in the middle: the command
// layer's box for that read, nothing else, and the report goes on.
TEST_F(ReportRunTest, ASensorLevelFailureShowsOneBoxAndTheReportGoesOn) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T2713Z").OnAspi(0, 2).Fault(Fails(kVendorRead, 0x33));
  OpenBus(builder);
  const std::string part = ScannerPart();
  EXPECT_TRUE(written_);
  EXPECT_NE(part.find("<< Shading Source >>"), std::string::npos);
  ASSERT_EQ(prompter_.boxes().size(), 1u) << ::testing::PrintToString(BoxTexts());
  EXPECT_EQ(BoxTexts()[0],
            "An unexpected communications error occurred.\r\nPlease check cable and power.\r\nIf the error "
            "continues, reboot and try again.\n\nScanner request failed! \r\nError code=104");
}

// A write that fails ends the run; what was written stays in the file.
TEST_F(ReportRunTest, AFailedWriteEndsTheRunAndKeepsThePart) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T2713Z").OnStiUsb(2);
  builder.Device("T").Product("DE-T4783Z").OnStiUsb(1);
  OpenBus(builder);
  ReportFile file;
  ASSERT_TRUE(file.Create(kPartPath));
  file.FailAfterForTest(2000);  // inside the first scanner's counters
  ReportContext context{window_};
  EXPECT_FALSE(WriteScannerSections(file, context));
  file.Close();
  const std::string text = platform::testing::ReadAll(prefix_.drive_c() / "part.txt");
  EXPECT_EQ(text.size(), 2000u);
  EXPECT_EQ(text.find("DE-T4783Z"), std::string::npos);
}

// After the list the window's scanner is the current device again; one that can no
// longer be selected leaves the window not connected.
TEST_F(ReportRunTest, TheWindowsScannerIsSelectedAgain) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T2713Z").OnStiUsb(2);
  builder.Device("T").Product("DE-T4783Z").OnStiUsb(1);
  Attach(builder);
  ASSERT_EQ(Identify(), 1);
  ScannerPart();
  EXPECT_TRUE(written_);
  EXPECT_TRUE(window_.connected == false);
  ReportContext own{context_};
  ReportFile file;
  ASSERT_TRUE(file.Create(kPartPath));
  EXPECT_TRUE(WriteScannerSections(file, own));
  EXPECT_TRUE(context_.connected);
  scanner_->ClearLog();
  uint8_t answer[4] = {};
  EXPECT_EQ(scanner::ReadIndividualSettings(0, 0, 2, answer, true), 1);  // current device: S
  EXPECT_FALSE(Exchanges().empty());

  context_.record = device::DeviceRecord{};
  ReportContext lost{context_};
  EXPECT_TRUE(WriteScannerSections(file, lost));
  EXPECT_FALSE(context_.connected);
}

}  // namespace
}  // namespace report::testing
