#include "scanner/identify.h"

#include <gtest/gtest.h>

#include <cstring>

#include "scanner/last_scanner.h"
#include "scanner/sense_message.h"
#include "tests/scanner/scanner_fixture.h"

namespace scanner::testing {
namespace {

class IdentifyTest : public ScannerTest {};

bool ReadsCompatibleMode(const std::vector<emulator::Exchange>& exchanges) {
  for (const auto& e : exchanges) {
    const auto cdb = e.Cdb();
    if (cdb[0] == 0xE0 && cdb[2] == 0xA2) return true;
  }
  return false;
}

TEST_F(IdentifyTest, CompatibleModeRenamesTheModel) {
  struct Case {
    const char* product;
    uint8_t compatible;
    uint8_t code;
    const char* name;
  } const cases[] = {
      {"DE-T9733A", 17, 14, "DE-T5713ZP"},
      {"DE-T9733A", 22, 16, "DE-T9733A"},
      {"DE-T2713Z", 19, 34, "DE-T5763"},
      {"DE-T2713Z", 21, 33, "DE-T5473Z"},
      {"DFWQD 5947", 0, 28, "DFWQD 5947"},
      {"DFWQD 5947", 32, 29, "DFWQD 5147"},
      {"DFWQD 5147", 31, 28, "DFWQD 5947"},
      {"JJN 5177HWI", 25, 27, "JJN 5177HWI"},
      {"JJN 5977", 31, 28, "JJN 5947"},
      {"JJN 5977", 17, 25, "JJN 5977"},  // the production rows only know their own codes
      {"WfzsLqcy 8200", 16, 21, "WfzsLqcy 8200"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.product);
    AttachAspi(c.product, c.compatible, 7);
    ASSERT_EQ(Identify(), 1);
    EXPECT_TRUE(context_.connected);
    EXPECT_EQ(context_.model_code, c.code);
    EXPECT_STREQ(std::string(context_.model_name).substr(0, std::strlen(c.name)).c_str(), c.name);
    EXPECT_EQ(context_.compatible_code, c.compatible);
    EXPECT_EQ(context_.compatible_second, 7);
    EXPECT_EQ(SenseModelCode(), c.code);
    TearDown();
    SetUp();
  }
}

TEST_F(IdentifyTest, ANewNameIsZeroFilled) {
  AttachAspi("DE-T9733A", 17);
  ASSERT_EQ(Identify(), 1);
  EXPECT_EQ(std::memcmp(context_.model_name, "DE-T5713ZP\0\0\0\0\0\0\0", 17), 0);
}

TEST_F(IdentifyTest, CompactModelsReadNoCompatibleMode) {
  AttachAspi("DE-T4783Z", 17);
  scanner_->ClearLog();
  ASSERT_EQ(Identify(), 1);
  EXPECT_EQ(context_.model_code, 39);
  EXPECT_FALSE(ReadsCompatibleMode(scanner_->Commands()));
  EXPECT_EQ(context_.compatible_code, 0);
}

TEST_F(IdentifyTest, AFailedCompatibleModeReadLeavesTheTableCode) {
  AttachAspi("DE-T9733A", 17);
  scanner_->AddFault(emulator::SenseFault(emulator::CommandMatch::Command(0xE0, 0xA2), {5, 0x24, 0}));
  ASSERT_EQ(Identify(), 1);
  EXPECT_EQ(context_.model_code, 16);
  EXPECT_TRUE(prompter_.boxes().empty());
}

TEST_F(IdentifyTest, ModelsThirtyAndThirtyOneNeverSurviveIdentification) {
  AttachAspi("DFWQD 5147", 31);
  scanner_->AddFault(emulator::SenseFault(emulator::CommandMatch::Command(0xE0, 0xA2), {5, 0x24, 0}));
  ASSERT_EQ(Identify(), 1);
  EXPECT_EQ(context_.model_code, 29);
}

TEST_F(IdentifyTest, AnUnknownProductIsRefusedWithABox) {
  emulator::BusBuilder builder;
  builder.Device("S").Product("ZZ-1000").OnAspi(0, 2);
  Open(builder.Build());
  device::DeviceRecord record{};
  std::memcpy(record.Inquiry + 16, "ZZ-1000         ", 16);
  record.kind = device::kKindAspi;
  EXPECT_EQ(IdentifyScanner(context_, record, false), 0);
  EXPECT_FALSE(context_.connected);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Target_Table is incorrect"});
}

TEST_F(IdentifyTest, InterfaceKindAndAddressComeFromTheRecord) {
  struct Case {
    uint8_t kind;
    uint8_t usb_speed;
    uint8_t interface_kind;
    uint8_t ha;
  } const cases[] = {{1, 0, kInterfaceAspiScsi, 3}, {2, 0, kInterfaceStiScsi, 0}, {3, 0, kInterfaceStiUsbHigh, 0},
                     {3, 1, kInterfaceStiUsbFull, 0}, {9, 0, kInterfaceAspiScsi, 3}};
  AttachAspi("DE-T4783Z");
  for (const Case& c : cases) {
    device::DeviceRecord record = records_.front();
    record.kind = c.kind;
    record.UsbSpeed = c.usb_speed;
    record.hostID = 3;
    record.TargetID = 4;
    ASSERT_EQ(IdentifyScanner(context_, record, false), 1);
    EXPECT_EQ(context_.interface_kind, c.interface_kind) << int(c.kind);
    EXPECT_EQ(context_.host_adapter, c.ha);
    EXPECT_EQ(context_.target, c.ha ? 4 : 0);
    EXPECT_TRUE(context_.record == record);
  }
}

TEST_F(IdentifyTest, IdentityComesFromTheInquiry) {
  emulator::BusBuilder builder;
  builder.Device("S").Vendor("VORANTEK").Product("DE-T4783Z").Revision("2.05").OnAspi(0, 2);
  Attach(builder);
  ASSERT_EQ(Identify(), 1);
  EXPECT_STREQ(context_.vendor, "VORANTEK");
  EXPECT_STREQ(context_.model_name, "DE-T4783Z       ");
  EXPECT_STREQ(context_.revision, "2.05");
}

TEST_F(IdentifyTest, StoreKeepsTheRecordAsTheLastScanner) {
  AttachAspi("DE-T4783Z");
  device::DeviceRecord loaded{};
  ASSERT_EQ(Identify(false), 1);
  EXPECT_FALSE(LoadLastScanner(loaded));
  ASSERT_EQ(Identify(true), 1);
  ASSERT_TRUE(LoadLastScanner(loaded));
  EXPECT_TRUE(loaded == records_.front());
}

TEST_F(IdentifyTest, GarbageShortAndZeroAnswersNeverBreakIdentification) {
  for (int kind = 0; kind < 3; ++kind) {
    SCOPED_TRACE(kind);
    AttachAspi("DE-T2723Z", 17);
    const auto any = emulator::CommandMatch::Any();
    scanner_->AddFault(kind == 0   ? emulator::GarbageAnswerFault(any, emulator::kAlways)
                       : kind == 1 ? emulator::ShortAnswerFault(any, 1, emulator::kAlways)
                                   : emulator::ZeroAnswerFault(any, emulator::kAlways));
    EXPECT_EQ(Identify(), 1);
    EXPECT_TRUE(context_.connected);
    EXPECT_LE(std::strlen(context_.firmware_version), 4u);
    EXPECT_LE(std::strlen(context_.identity_text), 16u);
    TearDown();
    SetUp();
  }
}

}  // namespace
}  // namespace scanner::testing
