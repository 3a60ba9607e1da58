#include "scanner/check_result.h"

#include <gtest/gtest.h>

#include "device/device_library.h"
#include "emulator/faults.h"
#include "platform/message_box.h"
#include "resources/app_resources.h"
#include "scanner/sense_message.h"
#include "tests/device/device_fixture.h"
#include "tests/platform/scripted_prompter.h"

namespace scanner {
namespace {

using platform::IDCANCEL;
using platform::IDOK;
using platform::MB_ICONQUESTION;
using platform::MB_OK;
using platform::MB_OKCANCEL;

std::string L(int id) { return resources::LoadString(id); }

const std::string kNoPaper = "No Paper! Please set the paper.";

// One ASPI scanner whose next TEST UNIT READY fails with the given sense.
class CheckResultTest : public device::testing::DeviceLibraryTest {
 protected:
  void SetUp() override {
    platform::SetAppName("User Utility");
    emulator::BusBuilder builder;
    builder.Device("S").OnAspi(0, 2);
    Open(builder.Build());
    ASSERT_EQ(Enumerate().size(), 1u);
  }
  void TearDown() override {
    SetSenseModelCode(0);
    SetIgnoreScannerErrors(false);
    platform::SetAppName("");
    DeviceLibraryTest::TearDown();
  }

  // The result of a request that failed with this sense; the sense record holds it.
  uint16_t FailWith(uint8_t key, uint8_t asc, uint8_t ascq) {
    bus_->Find("S")->AddFault(emulator::SenseFault(emulator::CommandMatch::Opcode(0x00), {key, asc, ascq}));
    device::ScsiRequestBlock block = device::testing::TestUnitReadyBlock();
    const uint16_t result = device::ExecuteRequest(block);
    EXPECT_TRUE(device::HasSense(result)) << std::hex << result;
    return result;
  }

  // The one box shown since the last call.
  platform::MessageBoxRequest OnlyBox() {
    EXPECT_EQ(prompter_.boxes().size(), 1u);
    platform::MessageBoxRequest box = prompter_.boxes().empty() ? platform::MessageBoxRequest{} : prompter_.boxes()[0];
    EXPECT_EQ(box.caption, "User Utility");
    prompter_.Clear();
    return box;
  }

  platform::testing::ScriptedPrompter prompter_;
};

TEST_F(CheckResultTest, GoodResultsShowNothing) {
  int retry = 7;
  EXPECT_TRUE(CheckScannerResult(0, &retry));
  EXPECT_EQ(retry, 0);

  const uint16_t result = FailWith(0, 0, 0);
  retry = 7;
  EXPECT_TRUE(CheckScannerResult(result, &retry));
  EXPECT_EQ(retry, 0);
  EXPECT_TRUE(prompter_.boxes().empty());
}

TEST_F(CheckResultTest, NoPaperOffersARetryOnlyWhenAskedFor) {
  const uint16_t result = FailWith(3, 0x3A, 0);
  EXPECT_EQ(result, 0x0204);

  int retry = 7;
  prompter_.Answer(IDOK);
  EXPECT_FALSE(CheckScannerResult(result, &retry));
  EXPECT_EQ(retry, 1);
  platform::MessageBoxRequest box = OnlyBox();
  EXPECT_EQ(box.text, kNoPaper);
  EXPECT_EQ(box.type, MB_OKCANCEL | MB_ICONQUESTION);

  prompter_.Answer(IDCANCEL);
  EXPECT_FALSE(CheckScannerResult(result, &retry));
  EXPECT_EQ(retry, 0);
  EXPECT_EQ(OnlyBox().type, MB_OKCANCEL | MB_ICONQUESTION);

  EXPECT_FALSE(CheckScannerResult(result));
  box = OnlyBox();
  EXPECT_EQ(box.text, kNoPaper);
  EXPECT_EQ(box.type, MB_OK);
}

TEST_F(CheckResultTest, OtherSenseShowsItsExplanation) {
  struct Case {
    uint8_t model;
    uint8_t key, asc, ascq;
    std::string text;
  } cases[] = {
      {12, 2, 0xF0, 0x9E, L(5153) + "\r\n(158)"},
      {12, 2, 0xF0, 0x55, L(5147) + "\r\n(085)"},
      {12, 2, 0xF1, 0x05, L(5152) + "\r\n(261)"},
      {12, 3, 0x80, 0x0D, L(5028)},
      {7, 3, 0x80, 0x0D, L(5137)},
      {37, 3, 0x80, 0x0D, L(5125)},
      {12, 5, 0x99, 0x01, "Scanner Error occurred! \r\nError Code(SenseKey,ASC,ASCQ) =(5,991)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "model " << int(c.model) << std::hex << " sense " << int(c.key) << " "
                                    << int(c.asc) << " " << int(c.ascq));
    SetSenseModelCode(c.model);
    int retry = 7;
    prompter_.Answer(IDOK);
    EXPECT_FALSE(CheckScannerResult(FailWith(c.key, c.asc, c.ascq), &retry));
    EXPECT_EQ(retry, 0);
    const platform::MessageBoxRequest box = OnlyBox();
    EXPECT_EQ(box.text, c.text);
    EXPECT_EQ(box.type, MB_OK);
  }
}

TEST_F(CheckResultTest, FailuresWithoutSenseShowTheResultCode) {
  const std::string failed = "Scanner request failed! \r\nError code=";
  struct Case {
    uint16_t result;
    std::string text;
  } cases[] = {
      {0x0008, failed + "8"},
      {0x0104, L(5076) + "\n\n" + failed + "104"},
      {0x0182, failed + "182"},
      {0x01E5, L(5117)},
  };
  for (const Case& c : cases) {
    int retry = 7;
    EXPECT_FALSE(CheckScannerResult(c.result, &retry)) << std::hex << c.result;
    EXPECT_EQ(retry, 0);
    const platform::MessageBoxRequest box = OnlyBox();
    EXPECT_EQ(box.text, c.text) << std::hex << c.result;
    EXPECT_EQ(box.type, MB_OK);
  }
}

TEST_F(CheckResultTest, RealBusyAndTransportFailuresReachTheirMessages) {
  auto device = bus_->Find("S");
  device->AddFault(emulator::BusyFault(emulator::CommandMatch::Opcode(0x00)));
  device->AddFault(emulator::TransportErrorFault(emulator::CommandMatch::Opcode(0x00)));
  device::ScsiRequestBlock block = device::testing::TestUnitReadyBlock();
  EXPECT_FALSE(CheckScannerResult(device::ExecuteRequest(block)));
  EXPECT_EQ(OnlyBox().text, "Scanner request failed! \r\nError code=8");
  block = device::testing::TestUnitReadyBlock();
  EXPECT_FALSE(CheckScannerResult(device::ExecuteRequest(block)));
  EXPECT_EQ(OnlyBox().text, L(5076) + "\n\nScanner request failed! \r\nError code=104");
}

TEST_F(CheckResultTest, IgnoredErrorsCountAsGoodAndShowNothing) {
  const uint16_t sense_result = FailWith(3, 0x80, 0x0D);
  {
    ScopedIgnoreScannerErrors quiet;
    EXPECT_TRUE(IgnoreScannerErrors());
    EXPECT_TRUE(CheckScannerResult(sense_result));
    EXPECT_TRUE(CheckScannerResult(0x0104));
    EXPECT_TRUE(CheckScannerResult(0x01E5));
    EXPECT_TRUE(prompter_.boxes().empty());
  }
  EXPECT_FALSE(IgnoreScannerErrors());
  EXPECT_FALSE(CheckScannerResult(0x0104));
  EXPECT_EQ(prompter_.boxes().size(), 1u);
}

}  // namespace
}  // namespace scanner
