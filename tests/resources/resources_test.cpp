#include "resources/resources.h"

#include <gtest/gtest.h>

#include "resources/builtin_scripts.h"
#include "resources/script_parser.h"

namespace resources {
namespace {

ResourceScript Parse(std::string_view text) {
  ScriptParseResult result = ParseResourceScript(text);
  EXPECT_TRUE(result.script) << "line " << result.error.line << ": " << result.error.reason;
  return result.script.value_or(ResourceScript{});
}

constexpr std::string_view kEnglish = R"(
STRINGTABLE BEGIN
  1, "One"
  2, "Two"
END
100 DIALOG 0, 0, 50, 20
CAPTION "English dialog"
BEGIN
  PUSHBUTTON "Close", IDCANCEL, 1, 1, 10, 10
  LTEXT "Label", IDC_STATIC, 1, 12, 10, 8
END
101 DIALOG 0, 0, 50, 20 CAPTION "Kept" BEGIN END
IDD_NAMED DIALOG 0, 0, 5, 5 CAPTION "Named" BEGIN END
128 ICON "english.ico"
130 BITMAP "english.bmp"
)";

constexpr std::string_view kFrench = R"(
STRINGTABLE BEGIN
  2, "Deux"
  3, "Trois"
END
100 DIALOG 0, 0, 60, 20
CAPTION "Dialogue"
BEGIN
  PUSHBUTTON "Fermer", IDCANCEL, 1, 1, 12, 10
END
idd_named DIALOG 0, 0, 5, 5 CAPTION "Nommé" BEGIN END
128 ICON "french.ico"
)";

TEST(ResourcesTest, LanguageEntriesReplaceBuiltInOnesById) {
  Resources resources(Parse(kEnglish));
  resources.Override(Parse(kFrench));
  EXPECT_EQ(resources.LoadString(1), "One");
  EXPECT_EQ(resources.LoadString(2), "Deux");
  EXPECT_EQ(resources.LoadString(3), "Trois");

  // A replaced dialog is the language's whole template, not a mix of both.
  const DialogTemplate* replaced = resources.FindDialog(100);
  ASSERT_NE(replaced, nullptr);
  EXPECT_EQ(replaced->caption, "Dialogue");
  EXPECT_EQ(replaced->cx, 60);
  ASSERT_EQ(replaced->controls.size(), 1u);
  EXPECT_EQ(replaced->controls[0].text, "Fermer");

  ASSERT_NE(resources.FindDialog(101), nullptr);
  EXPECT_EQ(resources.FindDialog(101)->caption, "Kept");
  ASSERT_NE(resources.FindDialog("IDD_Named"), nullptr);
  EXPECT_EQ(resources.FindDialog("IDD_Named")->caption, "Nommé");
  EXPECT_EQ(resources.Script().dialogs.size(), 3u);

  EXPECT_EQ(resources.FindIcon(128), "french.ico");
  EXPECT_EQ(resources.FindBitmap(130), "english.bmp");
}

TEST(ResourcesTest, UnknownIdsGiveNothing) {
  const Resources resources(Parse(kEnglish));
  EXPECT_EQ(resources.LoadString(5), "");
  EXPECT_FALSE(resources.HasString(5));
  EXPECT_TRUE(resources.HasString(1));
  EXPECT_EQ(resources.FindDialog(102), nullptr);
  // A number and a name are different ids even when the name reads like the number.
  EXPECT_EQ(resources.FindDialog("100"), nullptr);
  EXPECT_EQ(resources.FindIcon(130), std::nullopt);
  EXPECT_EQ(resources.FindBitmap(128), std::nullopt);
}

TEST(BuiltinScriptTest, ScanutilScriptParsesAndCarriesItsTexts) {
  const Resources resources(Parse(ScanutilScript()));
  EXPECT_EQ(resources.LoadString(3141), "User Utility");
  EXPECT_EQ(resources.LoadString(5077), "No Target Device!!");
  EXPECT_EQ(resources.LoadString(5117),
            "The scanner is being used by another program.\x0D\x0A"
            "Please close the other application before proceeding.");
}

}  // namespace
}  // namespace resources
