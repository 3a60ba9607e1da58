#include "scanner/sense_message.h"

#include <gtest/gtest.h>

#include "resources/app_resources.h"
#include "resources/script_parser.h"
#include "scanner/sense_tables.h"

namespace scanner {
namespace {

class SenseMessageTest : public ::testing::Test {
 protected:
  void TearDown() override {
    SetSenseModelCode(0);
    resources::ResetAppResources();
  }
};

std::string L(int id) { return resources::LoadString(id); }

TEST_F(SenseMessageTest, TextsBySenseAndModel) {
  struct Case {
    uint8_t model;
    uint8_t key, asc, ascq;
    std::string expected;
  } cases[] = {
      {12, 0x02, 0xF0, 0x9E, L(5153) + "\r\n(158)"},
      {0, 0x02, 0xF0, 0x55, L(5147) + "\r\n(085)"},    // in no table
      {7, 0x02, 0xF0, 0x9E, L(5147) + "\r\n(158)"},    // table A has no flatbed pairs
      {0, 0x02, 0xF1, 0x05, L(5152) + "\r\n(261)"},
      {0, 0x04, 0xF0, 0x04, L(5146) + "\r\n(004)"},
      {0, 0x00, 0xF0, 0x00, L(5147)},                  // key 0 carries no number
      {12, 0x03, 0x80, 0x0D, "A paper double feed has occurred."},
      {7, 0x03, 0x80, 0x0D, "A multifeed has been detected."},
      {37, 0x03, 0x80, 0x0D, "A paper jam or double feed has occurred."},
      {38, 0x03, 0x80, 0x0F, "Scanner Error occurred! \r\nError Code(SenseKey,ASC,ASCQ) =(3,80f)"},
      {0, 0x05, 0x99, 0x01, "Scanner Error occurred! \r\nError Code(SenseKey,ASC,ASCQ) =(5,991)"},
      {7, 0x02, 0xF1, 0x05, "Scanner Error occurred! \r\nError Code(SenseKey,ASC,ASCQ) =(2,f15)"},
      {37, 0x0B, 0x81, 0x05, "Scanner Error occurred! \r\nError Code(SenseKey,ASC,ASCQ) =(b,815)"},
      {0, 0x0B, 0x81, 0x05, L(5076)},
      {0, 0x03, 0x3A, 0x00, "No Paper!"},
  };
  for (const Case& c : cases) {
    SetSenseModelCode(c.model);
    EXPECT_EQ(SenseMessage(SenseCode(c.key, c.asc, c.ascq)), c.expected)
        << "model " << int(c.model) << std::hex << " sense " << int(c.key) << " " << int(c.asc) << " "
        << int(c.ascq);
  }
}

// A language file without a message falls back to message 5115 in its own words;
// conversions it cannot fill stay as written.
TEST_F(SenseMessageTest, MissingMessageFallsBackToTheGenericText) {
  auto parsed = resources::ParseResourceScript(
      "STRINGTABLE BEGIN 5115, \"Fehler (%x,%x%x)\" 5147, \"Flachbett %s\" END");
  ASSERT_TRUE(parsed.script);
  resources::SetAppResources(resources::Resources(*parsed.script));
  SetSenseModelCode(12);
  EXPECT_EQ(SenseMessage(SenseCode(3, 0x80, 0x0D)), "Fehler (3,80d)");
  EXPECT_EQ(SenseMessage(SenseCode(2, 0xF0, 0x55)), "Flachbett %s\r\n(085)");

  parsed = resources::ParseResourceScript("STRINGTABLE BEGIN 5115, \"Fehler %s%s%n\" END");
  ASSERT_TRUE(parsed.script);
  resources::SetAppResources(resources::Resources(*parsed.script));
  EXPECT_EQ(SenseMessage(SenseCode(5, 0x99, 0x01)), "Fehler %s%s%n");
}

}  // namespace
}  // namespace scanner
