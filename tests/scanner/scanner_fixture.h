// The command layer against an emulated bus: a fresh prefix and program folder, the
// fake clock and a scripted prompter that records every box.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/paths.h"
#include "scanner/check_result.h"
#include "scanner/identify.h"
#include "scanner/scanner_context.h"
#include "scanner/sense_message.h"
#include "tests/device/device_fixture.h"
#include "tests/platform/scripted_prompter.h"
#include "tests/platform/test_env.h"

namespace scanner::testing {

class ScannerTest : public device::testing::DeviceLibraryTest {
 protected:
  void SetUp() override { platform::paths::SetProgramFolderForTest(program_.path()); }
  void TearDown() override {
    platform::paths::SetProgramFolderForTest(std::nullopt);
    SetSenseModelCode(0);
    SetIgnoreScannerErrors(false);
    DeviceLibraryTest::TearDown();
  }

  // Opens the bus and selects its first device, whatever its product; the device
  // named "S" is the scanner.
  void Attach(emulator::BusBuilder& builder) {
    Open(builder.Build());
    const device::InquiryFilter any = device::MakeInquiryFilter("", "");
    device::SetInquiryFilters(1, &any);
    records_ = Enumerate();
    ASSERT_FALSE(records_.empty());
    scanner_ = bus_->Find("S");
  }

  // One scanner of that product on ASPI adapter 0, target 2.
  void AttachAspi(const std::string& product, uint8_t compatible = 0, uint8_t second = 0) {
    emulator::BusBuilder builder;
    builder.Device("S").Product(product).OnAspi(0, 2).CompatibleMode(compatible, second);
    Attach(builder);
  }

  using DeviceSetup = std::function<void(emulator::DeviceBuilder&)>;

  // One scanner of that product on ASPI adapter 0, target 2, identified. The log and
  // the boxes then start empty, or keep what identification did.
  void Connect(const char* product, const DeviceSetup& setup = {}, bool keep_identification = false) {
    emulator::BusBuilder builder;
    emulator::DeviceBuilder& device = builder.Device("S").Product(product).OnAspi(0, 2);
    if (setup) setup(device);
    Attach(builder);
    scanner_->ClearLog();
    ASSERT_EQ(Identify(), 1);
    if (keep_identification) return;
    scanner_->ClearLog();
    prompter_.Clear();
  }

  int Identify(bool store = false) { return IdentifyScanner(context_, records_.front(), store); }

  void WriteIni(const std::string& text) { platform::testing::WriteAll(program_.path() / "scUtil.ini", text); }

  // The CDBs the scanner received since the log was last cleared.
  std::vector<std::vector<uint8_t>> Cdbs() const {
    std::vector<std::vector<uint8_t>> cdbs;
    for (const auto& exchange : scanner_->Commands()) cdbs.push_back(exchange.Cdb());
    return cdbs;
  }
  // The exchanges that were not TEST UNIT READY.
  std::vector<emulator::Exchange> Exchanges() const {
    std::vector<emulator::Exchange> kept;
    for (const auto& exchange : scanner_->Commands()) {
      if (exchange.Cdb().empty() || exchange.Cdb()[0] != 0x00) kept.push_back(exchange);
    }
    return kept;
  }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : prompter_.boxes()) texts.push_back(box.text);
    return texts;
  }

  platform::testing::TempDir program_;
  // Named objects and desktop windows of their own, apart from tests running beside.
  platform::testing::TempDir runtime_;
  platform::testing::ScopedEnv runtime_env_{"XDG_RUNTIME_DIR", runtime_.path().string()};
  platform::testing::ScriptedPrompter prompter_;
  std::vector<device::DeviceRecord> records_;
  std::shared_ptr<emulator::EmulatedDevice> scanner_;
  ScannerContext context_;
};

}  // namespace scanner::testing
