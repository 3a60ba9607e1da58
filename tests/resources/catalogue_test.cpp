#include <gtest/gtest.h>

#include "resources/app_resources.h"
#include "resources/builtin_scripts.h"
#include "resources/script_parser.h"

namespace resources {
namespace {

class CatalogueTest : public ::testing::Test {
 protected:
  void TearDown() override { ResetAppResources(); }
};

TEST_F(CatalogueTest, ScannerMessagesKeepTheirExactBytes) {
  struct Case {
    int id;
    const char* text;
  } cases[] = {
      {5003, "Please clean the rollers.\x0D\x0APlease select \x22" "Clear Counter\x22 button after cleaning the rollers."},
      {5076, "An unexpected communications error occurred.\x0D\x0APlease check cable and power.\x0D\x0A"
             "If the error continues, reboot and try again."},
      {5097, "Scanner request failed! \x0D\x0A" "Error code=%x"},
      {5114, " "},
      {5115, "Scanner Error occurred! \x0D\x0A" "Error Code(SenseKey,ASC,ASCQ) =(%x,%x%x)"},
      {5132, "To insure reliable operation, please replace these rollers with Roller Exchange Kit for your "
             "specific scanner.\x0D\x0A" "After replacing the roller, select the \x22" "Clear Counter\x22 button."},
      {5142, "The front imprinter firmware version is different from \x22" "A.xx\x22."},
      {5147, "An unexpected communications error occurred.\x0D\x0APlease check cable andpower.\x0D\x0A"
             "If the error continues, reboot and try again.\x0D\x0A(Flatbed Scanner)"},
      {5149, "Flatbed scanner is being used by another program.  Please close the other application before proceeding."},
      {5000, "The lamp and/or scanning sensor need to be replaced."},
      {5156, "Ionizer error."},
      {2003, "%d min"},
      {2041, "Enable"},
      {2042, "Disable"},
      {3125, "DE-TT633"},
      {3132, "DE-Z9781Z"},
      {3181, "DE-T5763Z"},
      {3198, " Color"},
      {3141, "User Utility"},
  };
  for (const Case& c : cases) EXPECT_EQ(LoadString(c.id), c.text) << c.id;
}

TEST_F(CatalogueTest, EveryScannerMessageIsPresentExceptTheTwoGaps) {
  const auto resources = AppResources();
  for (int id = 5000; id <= 5156; ++id) {
    const bool gap = id == 5002 || id == 5008;
    EXPECT_EQ(resources->HasString(id), !gap) << id;
    if (!gap) {
      EXPECT_FALSE(resources->LoadString(id).empty()) << id;
    }
  }
  EXPECT_FALSE(resources->HasString(4999));
  EXPECT_FALSE(resources->HasString(5157));
  for (int id : {3116, 3117, 3118, 3119, 3120, 3121, 3123, 3125, 3126, 3127, 3128, 3129, 3130, 3131, 3132,
                 3133, 3137, 3138, 3179, 3180, 3181})
    EXPECT_EQ(resources->LoadString(id).rfind("DE-", 0), 0u) << id;
}

TEST_F(CatalogueTest, ApplicationResourcesReplaceTheBuiltInOnes) {
  EXPECT_EQ(LoadString(5077), "No Target Device!!");
  ScriptParseResult parsed = ParseResourceScript("STRINGTABLE BEGIN 5077, \"Pas de cible\" END");
  ASSERT_TRUE(parsed.script);
  SetAppResources(Resources(*parsed.script));
  EXPECT_EQ(LoadString(5077), "Pas de cible");
  EXPECT_EQ(LoadString(5075), "");
  ResetAppResources();
  EXPECT_EQ(LoadString(5075), "No Paper!");
}

TEST(FormatIntegersTest, ConvertsOnlyTheIntegerConversionsItHasValuesFor) {
  struct Case {
    const char* format;
    std::initializer_list<unsigned> values;
    const char* expected;
  } cases[] = {
      {"Error code=%x", {0x104}, "Error code=104"},
      {"=(%x,%x%x)", {5, 0x99, 1}, "=(5,991)"},
      {"(%03d)", {85}, "(085)"},
      {"%d min, %u%%", {15, 7}, "15 min, 7%"},
      {"%-4X|%#o|%c", {0xab, 8, 'Q'}, "AB  |010|Q"},
      {"%hhx %hx", {0x1ff, 0x1ffff}, "ff ffff"},
      {"%s and %n", {1, 2}, "%s and %n"},
      {"%x %x", {1}, "1 %x"},
      {"%ld %lld %*d %1$d", {1, 2, 3, 4}, "%ld %lld %*d %1$d"},
      {"%9999d|%5.9999x", {1, 2}, "%9999d|%5.9999x"},
      {"%999d", {1}, nullptr},
      {"trailing %", {1}, "trailing %"},
      {"", {1}, ""},
  };
  for (const Case& c : cases) {
    const std::string out = FormatIntegers(c.format, c.values);
    if (c.expected)
      EXPECT_EQ(out, c.expected) << c.format;
    else
      EXPECT_EQ(out, std::string(998, ' ') + "1") << c.format;
  }
}

TEST_F(CatalogueTest, FormatStringUsesTheProgramsText) {
  EXPECT_EQ(FormatString(5097, {0x8}), "Scanner request failed! \x0D\x0A" "Error code=8");
  EXPECT_EQ(FormatString(2003, {30}), "30 min");
}

}  // namespace
}  // namespace resources
