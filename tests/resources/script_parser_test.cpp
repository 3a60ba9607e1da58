#include "resources/script_parser.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace resources {
namespace {

ResourceScript Parse(std::string_view text) {
  ScriptParseResult result = ParseResourceScript(text);
  EXPECT_TRUE(result.script) << "line " << result.error.line << ": " << result.error.reason;
  return result.script.value_or(ResourceScript{});
}

TEST(ScriptParserTest, StringTableEntriesWithAndWithoutCommaAcrossTables) {
  const ResourceScript script = Parse(
      "STRINGTABLE\nBEGIN\n  3141, \"User Utility\"\n  5077 \"No Target Device!!\"\nEND\n"
      "stringtable { 0x10, \"hex\" 7 \"\" }\n");
  const std::map<int, std::string> expected{{3141, "User Utility"}, {5077, "No Target Device!!"}, {16, "hex"}, {7, ""}};
  EXPECT_EQ(script.strings, expected);
}

TEST(ScriptParserTest, EscapesGiveExactBytes) {
  const ResourceScript script = Parse(
      "STRINGTABLE BEGIN\n"
      "1, \"a\\r\\nb\"\n"
      "2, \"tab\\there\"\n"
      "3, \"say \\\"hi\\\" and \"\"bye\"\"\"\n"
      "4, \"back\\\\slash\\\\\"\n"
      "5, \"caf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80 // # not comments\"\n"
      "END\n");
  EXPECT_EQ(script.strings.at(1), std::string("a\r\nb"));
  EXPECT_EQ(script.strings.at(2), "tab\there");
  EXPECT_EQ(script.strings.at(3), "say \"hi\" and \"bye\"");
  EXPECT_EQ(script.strings.at(4), "back\\slash\\");
  EXPECT_EQ(script.strings.at(5), "caf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80 // # not comments");
}

TEST(ScriptParserTest, DialogWithEveryControlKind) {
  const ResourceScript script = Parse(R"(
// Select Scanner
161 DIALOG 0, 0, 186, 62
STYLE DS_MODALFRAME | WS_POPUP
CAPTION "Select Scanner"
FONT 8, "DejaVu Sans"
BEGIN
  LTEXT "Left", IDC_STATIC, 1, 2, 3, 4
  RTEXT "Right", 10, 5, 6, 7, 8, SS_NOTIFY
  CTEXT "Centre", -1, 0, 0, 1, 1
  PUSHBUTTON "&Push", 11, 0, 0, 1, 1
  DEFPUSHBUTTON "OK", IDOK, 75, 41, 50, 14
  EDITTEXT 12, 0, 0, 1, 1, ES_AUTOHSCROLL | NOT WS_TABSTOP
  GROUPBOX "Group", IDC_STATIC, 0, 0, 1, 1
  CHECKBOX "Check", 13, 0, 0, 1, 1
  AUTOCHECKBOX "Auto check", 14, 0, 0, 1, 1
  RADIOBUTTON "Radio", 15, 0, 0, 1, 1
  AUTORADIOBUTTON "Auto radio", 16, 0, 0, 1, 1, WS_GROUP
  COMBOBOX 1098, 7, 18, 172, 60, CBS_DROPDOWNLIST | WS_VSCROLL
  LISTBOX 17, 0, 0, 1, 1
  ICON 130, 1166, 0, 0, 20, 20
  CONTROL "", 1050, "msctls_updown32", UDS_ARROWKEYS | 0x0020, -10, -20, 10, 14
  PUSHBUTTON "Cancel", IDCANCEL, 129, 41, 50, 14
END
)");
  ASSERT_EQ(script.dialogs.size(), 1u);
  const DialogTemplate& dialog = script.dialogs[0];
  EXPECT_EQ(dialog.id, ResourceId(161));
  EXPECT_EQ(dialog.caption, "Select Scanner");
  EXPECT_EQ((std::vector<int>{dialog.x, dialog.y, dialog.cx, dialog.cy}), (std::vector<int>{0, 0, 186, 62}));
  EXPECT_EQ(dialog.style, (std::vector<std::string>{"DS_MODALFRAME", "WS_POPUP"}));
  EXPECT_EQ(dialog.font, (DialogFont{8, "DejaVu Sans"}));

  const struct {
    ControlKind kind;
    const char* class_name;
    int id;
    const char* text;
  } expected[] = {
      {ControlKind::LText, "Static", IDC_STATIC, "Left"},
      {ControlKind::RText, "Static", 10, "Right"},
      {ControlKind::CText, "Static", -1, "Centre"},
      {ControlKind::PushButton, "Button", 11, "&Push"},
      {ControlKind::DefPushButton, "Button", 1, "OK"},
      {ControlKind::EditText, "Edit", 12, ""},
      {ControlKind::GroupBox, "Button", IDC_STATIC, "Group"},
      {ControlKind::CheckBox, "Button", 13, "Check"},
      {ControlKind::AutoCheckBox, "Button", 14, "Auto check"},
      {ControlKind::RadioButton, "Button", 15, "Radio"},
      {ControlKind::AutoRadioButton, "Button", 16, "Auto radio"},
      {ControlKind::ComboBox, "ComboBox", 1098, ""},
      {ControlKind::ListBox, "ListBox", 17, ""},
      {ControlKind::Icon, "Static", 1166, "130"},
      {ControlKind::Control, "msctls_updown32", 1050, ""},
      {ControlKind::PushButton, "Button", 2, "Cancel"},
  };
  ASSERT_EQ(dialog.controls.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const ControlTemplate& control = dialog.controls[i];
    EXPECT_EQ(control.kind, expected[i].kind) << i;
    EXPECT_EQ(control.class_name, expected[i].class_name) << i;
    EXPECT_EQ(control.id, expected[i].id) << i;
    EXPECT_EQ(control.text, expected[i].text) << i;
  }
  const ControlTemplate& left = dialog.controls[0];
  EXPECT_EQ((std::vector<int>{left.x, left.y, left.cx, left.cy}), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_TRUE(left.style.empty());
  EXPECT_EQ(dialog.controls[5].style, (std::vector<std::string>{"ES_AUTOHSCROLL", "NOT WS_TABSTOP"}));
  const ControlTemplate& spin = dialog.controls[14];
  EXPECT_EQ(spin.style, (std::vector<std::string>{"UDS_ARROWKEYS", "0x0020"}));
  EXPECT_EQ((std::vector<int>{spin.x, spin.y, spin.cx, spin.cy}), (std::vector<int>{-10, -20, 10, 14}));
  EXPECT_EQ(dialog.FindControl(1098), &dialog.controls[11]);
  EXPECT_EQ(dialog.FindControl(999), nullptr);
}

TEST(ScriptParserTest, NamedDialogWithoutOptionalStatementsIconsAndBitmaps) {
  const ResourceScript script = Parse(
      "\xEF\xBB\xBFIdd_About dialog 1, 2, 3, 4 { }\n"
      "128 ICON \"scanutil.ico\"\nIDI_WARN ICON \"warn.ico\"\n130 BITMAP \"banner.bmp\"\n");
  ASSERT_EQ(script.dialogs.size(), 1u);
  EXPECT_EQ(script.dialogs[0].id, ResourceId("IDD_ABOUT"));
  EXPECT_EQ(script.dialogs[0].caption, "");
  EXPECT_FALSE(script.dialogs[0].font);
  EXPECT_TRUE(script.dialogs[0].controls.empty());
  EXPECT_EQ(script.icons,
            (std::vector<FileResource>{{ResourceId(128), "scanutil.ico"}, {ResourceId("idi_warn"), "warn.ico"}}));
  EXPECT_EQ(script.bitmaps, (std::vector<FileResource>{{ResourceId(130), "banner.bmp"}}));
}

TEST(ScriptParserTest, CommentsAndEmptyScript) {
  EXPECT_EQ(Parse(""), ResourceScript{});
  EXPECT_EQ(Parse("# only\n// comments\n   \r\n"), ResourceScript{});
  const ResourceScript script = Parse("#include \"x.h\"\nSTRINGTABLE BEGIN // open\n 1 \"a\" # one\nEND");
  EXPECT_EQ(script.strings, (std::map<int, std::string>{{1, "a"}}));
}

TEST(ScriptParserTest, MalformedScriptsGiveLineAndReasonAndNoScript) {
  const struct {
    const char* text;
    int line;
    const char* reason;
  } cases[] = {
      {"STRINGTABLE\nBEGIN\n1, \"a\"\n1, \"b\"\nEND", 4, "duplicate string id 1"},
      {"STRINGTABLE\nBEGIN\n1, \"open\nEND", 3, "unterminated string"},
      {"STRINGTABLE\nBEGIN\n1, \"open", 3, "unterminated string"},
      {"STRINGTABLE BEGIN\n\n1, \"bad \\q\"\nEND", 3, "unknown escape '\\q'"},
      {"STRINGTABLE BEGIN 1, \"\xC3\" END", 1, "invalid UTF-8 in string"},
      {"STRINGTABLE BEGIN 1, \"\xED\xA0\x80\" END", 1, "invalid UTF-8 in string"},
      {"STRINGTABLE BEGIN 1, \"\xC0\xAF\" END", 1, "invalid UTF-8 in string"},
      {"STRINGTABLE BEGIN\n1, \"a\"\n", 3, "expected string id, found end of text"},
      {"STRINGTABLE BEGIN\n70000, \"a\"\nEND", 2, "string id 70000 out of range"},
      {"STRINGTABLE BEGIN\n-1, \"a\"\nEND", 2, "string id -1 out of range"},
      {"STRINGTABLE BEGIN 1, 2 END", 1, "expected a string, found '2'"},
      {"STRINGTABLE\n1, \"a\"", 2, "expected BEGIN, found '1'"},
      {"STRINGTABLE BEGIN 99999999999 \"a\" END", 1, "number out of range"},
      {"STRINGTABLE BEGIN 12ab \"a\" END", 1, "malformed number"},
      {"\n\n  @", 3, "unexpected character '@'"},
      {"\x01", 1, "unexpected byte 0x01"},
      {"\"text\"", 1, "expected STRINGTABLE or a resource id, found a string"},
      {"100 MENU", 1, "expected DIALOG, ICON, BITMAP or VERSIONINFO, found 'MENU'"},
      {"1 VERSIONINFO BEGIN END\n2 VERSIONINFO BEGIN END", 2, "more than one VERSIONINFO"},
      {"1 VERSIONINFO FILEVERSION 1,0,0 BEGIN END", 1, "expected ',', found 'BEGIN'"},
      {"1 VERSIONINFO FILEVERSION 1,0,0,70000 BEGIN END", 1, "version part 70000 out of range"},
      {"1 VERSIONINFO FILEFLAGS 0 BEGIN END", 1, "expected FILEVERSION, PRODUCTVERSION or BEGIN, found 'FILEFLAGS'"},
      {"1 VERSIONINFO BEGIN\nVALUE \"a\", \"1\"\nvalue \"A\", \"2\"\nEND", 3, "duplicate value \\A"},
      {"1 VERSIONINFO BEGIN\nBLOCK \"x\" BEGIN\nEND", 3, "expected BLOCK, VALUE or END, found end of text"},
      {"1 VERSIONINFO BEGIN\nSTRING \"x\"\nEND", 2, "expected BLOCK, VALUE or END, found 'STRING'"},
      {"100 DIALOG 0, 0, 10\nBEGIN END", 2, "expected ',', found 'BEGIN'"},
      {"100 DIALOG 0, 0, 10, 40000 BEGIN END", 1, "height 40000 out of range"},
      {"100 DIALOG 0, 0, 10, 10\nTITLE \"x\"\nBEGIN END", 2, "expected CAPTION, STYLE, FONT or BEGIN, found 'TITLE'"},
      {"100 DIALOG 0, 0, 10, 10\nFONT 0, \"x\"\nBEGIN END", 2, "font size 0 out of range"},
      {"100 DIALOG 0, 0, 10, 10\nSTYLE WS_POPUP |\nBEGIN END", 3, "expected a style flag, found 'BEGIN'"},
      {"100 DIALOG 0, 0, 10, 10 BEGIN\nBUTTON \"x\", 1, 0, 0, 1, 1\nEND", 2, "expected a control or END, found 'BUTTON'"},
      {"100 DIALOG 0, 0, 10, 10 BEGIN\nEDITTEXT \"x\", 1, 0, 0, 1, 1\nEND", 2, "expected control id, found a string"},
      {"100 DIALOG 0, 0, 10, 10 BEGIN\nLTEXT \"x\", IDC_NAME, 0, 0, 1, 1\nEND", 2, "unknown control id IDC_NAME"},
      {"100 DIALOG 0, 0, 10, 10 BEGIN\nLTEXT \"x\", -2, 0, 0, 1, 1\nEND", 2, "control id -2 out of range"},
      {"100 DIALOG 0, 0, 10, 10 BEGIN\nCONTROL \"\", 1, Static, 0, 0, 0, 1, 1\nEND", 2,
       "expected a class name, found 'Static'"},
      {"100 DIALOG 0, 0, 10, 10 BEGIN\nLTEXT \"x\", 1, 0, 0, 1, 1\n", 3, "expected a control or END, found end of text"},
      {"100 DIALOG 0,0,1,1 BEGIN END\n\nX DIALOG 0,0,1,1 BEGIN END\n100 DIALOG 0,0,1,1 BEGIN END", 4,
       "duplicate dialog id 100"},
      {"a ICON \"x.ico\"\nA ICON \"y.ico\"", 2, "duplicate icon id A"},
      {"1 BITMAP \"x.bmp\"\n1 BITMAP \"y.bmp\"", 2, "duplicate bitmap id 1"},
      {"1 ICON x", 1, "expected a file name, found 'x'"},
  };
  for (const auto& c : cases) {
    const ScriptParseResult result = ParseResourceScript(c.text);
    EXPECT_FALSE(result.script) << c.text;
    EXPECT_EQ(result.error, (ScriptError{c.line, c.reason})) << c.text;
  }
}

// A script with every construct, to cut and damage.
constexpr std::string_view kSample = R"(# sample
STRINGTABLE
BEGIN
  3141, "User Utility"
  5117, "The scanner is being used by another program.\r\nPlease close the other application before proceeding."
  7 "quote "" and \"escaped\" \\ \t"
END
161 DIALOG 0, 0, 186, 62
STYLE DS_MODALFRAME | WS_POPUP | NOT WS_VISIBLE
CAPTION "Select Scanner"
FONT 8, "DejaVu Sans"
BEGIN
  LTEXT "Scanner:", IDC_STATIC, 7, 7, 40, 8
  COMBOBOX 1098, 7, 18, 172, 60, CBS_DROPDOWNLIST | WS_VSCROLL
  DEFPUSHBUTTON "OK", IDOK, 75, 41, 50, 14
  CONTROL "", 1050, "msctls_updown32", UDS_ARROWKEYS, 60, 18, 10, 14
  ICON 130, 1166, 0, 0, 20, 20
END
IDD_NAMED DIALOG 1, 2, 3, 4 { EDITTEXT 5, 1, 1, 1, 1 }
128 ICON "scanutil.ico"
130 BITMAP "banner.bmp"
1 VERSIONINFO FILEVERSION 1,0,0,1
BEGIN BLOCK "StringFileInfo" BEGIN BLOCK "040904B0" BEGIN VALUE "FileVersion", "1.0.0.1" END END
BLOCK "VarFileInfo" BEGIN VALUE "Translation", 0x409, 1200 END END
)";

TEST(ScriptParserTest, VersionResourceKeepsValuesByBlockPath) {
  const ResourceScript script = Parse(R"(
VS_VERSION_INFO VERSIONINFO
FILEVERSION 2,10,300,0x4000
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040904B0"
    BEGIN
      VALUE "FileVersion", "2.10", ".300"
      VALUE "Empty"
    END
  END
  BLOCK "VarFileInfo" { VALUE "Translation", 0x409, 1200, 0x411, 932 }
END)");
  ASSERT_TRUE(script.version);
  EXPECT_EQ(script.version->id, ResourceId("vs_version_info"));
  EXPECT_EQ(script.version->file_version, (std::array<uint16_t, 4>{2, 10, 300, 0x4000}));
  EXPECT_EQ(script.version->product_version, (std::array<uint16_t, 4>{}));
  EXPECT_EQ(script.version->values.size(), 3u);
  const VersionValue* file_version = script.version->Find("\\stringfileinfo\\040904b0\\fileversion");
  ASSERT_TRUE(file_version);
  EXPECT_EQ(file_version->text, "2.10.300");
  EXPECT_EQ(script.version->Find("\\StringFileInfo\\040904B0\\Empty")->text, "");
  EXPECT_EQ(script.version->Find("\\VarFileInfo\\Translation")->numbers, (std::vector<int>{0x409, 1200, 0x411, 932}));
  EXPECT_FALSE(script.version->Find("\\FileVersion"));
}

int LineCount(std::string_view text) { return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

void ExpectSane(std::string_view text) {
  const ScriptParseResult result = ParseResourceScript(text);
  if (result.script) {
    EXPECT_EQ(result.error, ScriptError{});
  } else {
    EXPECT_GE(result.error.line, 1);
    EXPECT_LE(result.error.line, LineCount(text));
    EXPECT_FALSE(result.error.reason.empty());
  }
}

TEST(ScriptParserFuzzTest, EveryTruncationOfAValidScriptIsHandled) {
  ASSERT_TRUE(ParseResourceScript(kSample).script);
  for (size_t length = 0; length < kSample.size(); ++length) ExpectSane(kSample.substr(0, length));
}

TEST(ScriptParserFuzzTest, RandomBytesAndDamagedScriptsAreHandled) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> byte(0, 255);
  // Bytes the grammar cares about, so damage reaches past the tokenizer.
  constexpr std::string_view kSpecial = "\"\\,|{}-0x9 \n\r#/BEGINEND\xC3\xA9";
  for (int round = 0; round < 2000; ++round) {
    std::string noise(static_cast<size_t>(byte(random)), '\0');
    for (char& c : noise) c = static_cast<char>(byte(random));
    ExpectSane(noise);

    std::string damaged(kSample);
    for (int edit = 0; edit < 1 + round % 4; ++edit) {
      const size_t at = random() % damaged.size();
      if (random() % 2) {
        damaged[at] = kSpecial[random() % kSpecial.size()];
      } else {
        damaged[at] = static_cast<char>(byte(random));
      }
    }
    ExpectSane(damaged.substr(0, random() % (damaged.size() + 1)));
  }
}

}  // namespace
}  // namespace resources
