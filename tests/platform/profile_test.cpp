#include "platform/profile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>

#include "tests/platform/test_env.h"

namespace platform {
namespace {

using testing::ReadAll;
using testing::ScopedPrefix;
using testing::WriteAll;

const char kSample[] =
    "\xEF\xBB\xBF"
    "orphan=before any section\r\n"
    "[Setup]\r\n"
    "  DispOnly  =  1  \r\n"
    "Quoted=\"  spaced  \"\r\n"
    "HalfQuoted=\"open\n"
    "Lone=\"\n"
    "; Commented=1\n"
    "no equals sign here\n"
    "Empty=\n"
    "dispOnly=2\n"
    "Path=C:\\a=b\n"
    "[ debug ]\n"
    "DummyModel=fi-6130\n"
    "[SETUP]\n"
    "OnlyInSecond=x\n"
    "[Last]\n"
    "NoNewline=end";

TEST(ProfileParseTest, FollowsWindowsReadingRules) {
  const ProfileFile file = ProfileFile::Parse(kSample);
  struct Case {
    const char* section;
    const char* key;
    std::optional<std::string> value;
  } cases[] = {
      {"setup", "DISPONLY", "1"},         // case-insensitive, trimmed, first occurrence wins
      {"Setup", "Quoted", "  spaced  "},  // one pair of quotes goes, inner blanks stay
      {"Setup", "HalfQuoted", "\"open"},
      {"Setup", "Lone", "\""},
      {"Setup", "Commented", std::nullopt},
      {"Setup", "no equals sign here", std::nullopt},
      {"Setup", "Empty", ""},
      {"Setup", "Path", "C:\\a=b"},  // the first '=' splits
      {"Debug", "DummyModel", "fi-6130"},
      {"Setup", "OnlyInSecond", std::nullopt},  // the first section of a name is the one read
      {"Setup", "orphan", std::nullopt},
      {"Last", "NoNewline", "end"},
      {"Missing", "DispOnly", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(file.Get(c.section, c.key), c.value) << c.section << "/" << c.key;
  EXPECT_EQ(file.Sections(), (std::vector<std::string>{"Setup", "debug", "Last"}));
  EXPECT_EQ(file.Keys("SETUP"), (std::vector<std::string>{"DispOnly", "Quoted", "HalfQuoted", "Lone", "Empty", "Path"}));
}

TEST(ProfileParseTest, IntegerIsTheLeadingSignedDecimalNumber) {
  struct Case {
    const char* value;
    int expected;
  } cases[] = {
      {"42", 42},        {"  -7  ", -7}, {"+5", 5},    {"12abc", 12},      {"0x10", 0},
      {"abc", 99},       {"", 99},       {"-", 99},    {"- 3", 99},        {"\"8\"", 8},
      {"4294967297", 1},  // wraps around rather than failing
  };
  for (const Case& c : cases) {
    const ProfileFile file = ProfileFile::Parse(std::string("[s]\nk=") + c.value + "\n");
    EXPECT_EQ(file.GetInt("S", "K", 99), c.expected) << c.value;
  }
  EXPECT_EQ(ProfileFile::Parse("").GetInt("s", "k", -3), -3);
}

TEST(ProfileParseTest, NulByteEndsTheLine) {
  const std::string bytes("[s]\na=12\0junk\nb=3\n", 18);
  const ProfileFile file = ProfileFile::Parse(bytes);
  EXPECT_EQ(file.Get("s", "a"), "12");
  EXPECT_EQ(file.Get("s", "b"), "3");
}

TEST(ProfileParseTest, AnyBytesAreReadWithoutCrashing) {
  std::mt19937 random(7);
  const char alphabet[] = "[]=;\"\r\n\0 \tab";
  for (int round = 0; round < 300; ++round) {
    std::string bytes(random() % 400, '\0');
    for (char& c : bytes) c = round % 2 ? static_cast<char>(random()) : alphabet[random() % (sizeof alphabet - 1)];
    const ProfileFile file = ProfileFile::Parse(bytes);
    for (const std::string& section : file.Sections())
      for (const std::string& key : file.Keys(section)) EXPECT_TRUE(file.Get(section, key).has_value());
  }
}

TEST(ProfileParseTest, HugeFileWithEnormousLineIsReadWhole) {
  std::string bytes = "[big]\nline=" + std::string(4 << 20, 'x') + "\n";
  for (int i = 0; bytes.size() < (10u << 20); ++i) bytes += "[s" + std::to_string(i) + "]\nkey=" + std::to_string(i) + "\n";
  bytes += "[tail]\nlast=yes";
  const ProfileFile file = ProfileFile::Parse(bytes);
  EXPECT_EQ(file.Get("big", "line")->size(), 4u << 20);
  EXPECT_EQ(file.Get("tail", "last"), "yes");
  EXPECT_EQ(file.GetInt("s1000", "key", -1), 1000);
}

// Every lookup goes through the index built once by the parse, so a file with many
// names costs milliseconds; repeated names keep the first-occurrence rules.
TEST(ProfileParseTest, FortyThousandSectionsAndKeysAreReadInMilliseconds) {
  constexpr int kNames = 40000;
  std::string bytes;
  for (int i = 0; i < kNames; ++i) bytes += "[Section" + std::to_string(i) + "]\nKey=" + std::to_string(i) + "\n";
  bytes += "[section7]\nKey=second\nOnlyHere=x\n[Wide]\n";
  for (int i = 0; i < kNames; ++i) bytes += "k" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  bytes += "K7=second\n";

  const auto start = std::chrono::steady_clock::now();
  const ProfileFile file = ProfileFile::Parse(bytes);
  const std::vector<std::string> sections = file.Sections();
  const std::vector<std::string> keys = file.Keys("WIDE");
  ASSERT_EQ(sections.size(), kNames + 1u);
  ASSERT_EQ(keys.size(), size_t{kNames});
  for (int i = 0; i < kNames; ++i) {
    const std::string n = std::to_string(i);
    ASSERT_EQ(sections[i], "Section" + n);
    ASSERT_EQ(keys[i], "k" + n);
    ASSERT_EQ(file.GetInt("SECTION" + n, "key", -1), i);
    ASSERT_EQ(file.Get("wide", "K" + n), n);
  }
  const auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(elapsed, 2.0) << elapsed << " s";
  EXPECT_EQ(file.Get("Section7", "OnlyHere"), std::nullopt);
  EXPECT_EQ(file.Keys("section7"), std::vector<std::string>{"Key"});
}

class ProfileFileTest : public ::testing::Test {
 protected:
  ScopedPrefix prefix_;
  const std::string ini_ = "C:\\Program Files\\Scan\\scUtil.ini";
  std::filesystem::path host_ = prefix_.drive_c() / "Program Files" / "Scan" / "scUtil.ini";
};

TEST_F(ProfileFileTest, ReadsThroughWindowsPathIntoBoundedBuffer) {
  WriteAll(host_, "[Setup]\r\nName=abcdef\r\n");
  char buffer[8];
  struct Case {
    DWORD size;
    const char* def;
    const char* key;
    DWORD count;
    const char* text;
  } cases[] = {
      {8, "", "Name", 6, "abcdef"}, {7, "", "Name", 6, "abcdef"}, {6, "", "Name", 5, "abcde"},
      {1, "", "Name", 0, ""},       {8, "dflt  ", "None", 4, "dflt"}, {3, "dflt", "None", 2, "df"},
  };
  for (const Case& c : cases) {
    std::fill(std::begin(buffer), std::end(buffer), '#');
    EXPECT_EQ(GetPrivateProfileString("setup", c.key, c.def, buffer, c.size, ini_), c.count) << c.size;
    EXPECT_STREQ(buffer, c.text);
    if (c.size < sizeof buffer) {
      EXPECT_EQ(buffer[c.size], '#') << "wrote past the buffer";
    }
  }
  buffer[0] = '#';
  EXPECT_EQ(GetPrivateProfileString("Setup", "Name", "", buffer, 0, ini_), 0u);
  EXPECT_EQ(buffer[0], '#');
  // File names compare ignoring case, as on Windows.
  EXPECT_EQ(GetProfileString("Setup", "Name", "", "c:/program files/SCAN/SCUTIL.INI", 3), "abc");
}

TEST_F(ProfileFileTest, MissingFileOrDriveGivesDefaults) {
  EXPECT_EQ(GetPrivateProfileInt("Setup", "DispOnly", 5, ini_), 5u);
  EXPECT_EQ(GetPrivateProfileInt("Setup", "DispOnly", -1, "Q:\\scUtil.ini"), static_cast<UINT>(-1));
  EXPECT_EQ(GetProfileString("Setup", "Name", "none", "Q:\\scUtil.ini"), "none");
  EXPECT_TRUE(ProfileFile::Load(ini_).Sections().empty());
}

TEST_F(ProfileFileTest, WriteEditsInPlaceKeepingOtherLines) {
  WriteAll(host_,
           "; settings\n"
           "[Setup]\n"
           "dispOnly = 0\n"
           "Other=keep\n"
           "\n"
           "[Debug]\n"
           "DummyModel=x\n"
           "stray line");
  EXPECT_TRUE(WritePrivateProfileString("SETUP", "DispOnly", "1", ini_));
  EXPECT_TRUE(WritePrivateProfileString("Setup", "ShadingDataPath", "C:\\data\\sh.dat", ini_));
  EXPECT_TRUE(WritePrivateProfileString("Debug", "dummymodel", std::nullopt, ini_));
  EXPECT_TRUE(WritePrivateProfileString("errview", "errCode", "\"U11\"", ini_));
  EXPECT_TRUE(WritePrivateProfileString("errview", "msgStr1", "line\r\n[Injected]\r\nx=1", ini_));
  EXPECT_EQ(ReadAll(host_),
            "; settings\r\n"
            "[Setup]\r\n"
            "dispOnly=1\r\n"
            "Other=keep\r\n"
            "ShadingDataPath=C:\\data\\sh.dat\r\n"
            "\r\n"
            "[Debug]\r\n"
            "stray line\r\n"
            "[errview]\r\n"
            "errCode=\"U11\"\r\n"
            "msgStr1=line\r\n");
  EXPECT_EQ(GetProfileString("errview", "errCode", "", ini_), "U11");
  EXPECT_EQ(testing::FolderNames(host_.parent_path()), std::vector<std::string>{"scUtil.ini"});
}

// Only one leading mark is a byte-order mark; a second one is the first line's content,
// which hides a section there. A write keeps every byte before the lines as it was,
// so what it writes is what the next read finds.
TEST_F(ProfileFileTest, AWriteAfterByteOrderMarksReadsBackWhatItWrote) {
  const std::string mark = "\xEF\xBB\xBF";
  struct Case {
    std::string before;
    std::optional<std::string> read_before;
    std::string after;
  } cases[] = {
      {"[Setup]\r\nName=old\r\n", "old", "[Setup]\r\nName=new\r\n"},
      {mark + "[Setup]\r\nName=old\r\n", "old", mark + "[Setup]\r\nName=new\r\n"},
      {mark + mark + "[Setup]\r\nName=old\r\n", std::nullopt,
       mark + mark + "[Setup]\r\nName=old\r\n[Setup]\r\nName=new\r\n"},
      {mark + mark + mark + "[Setup]\nName=old", std::nullopt,
       mark + mark + mark + "[Setup]\r\nName=old\r\n[Setup]\r\nName=new\r\n"},
      {mark, std::nullopt, mark + "[Setup]\r\nName=new\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before);
    WriteAll(host_, c.before);
    EXPECT_EQ(ProfileFile::Load(ini_).Get("Setup", "Name"), c.read_before);
    ASSERT_TRUE(WritePrivateProfileString("Setup", "Name", "new", ini_));
    EXPECT_EQ(GetProfileString("Setup", "Name", "", ini_), "new");
    EXPECT_EQ(ReadAll(host_), c.after);
    ASSERT_TRUE(WritePrivateProfileString("setup", "name", "newer", ini_));
    EXPECT_EQ(GetProfileString("Setup", "Name", "", ini_), "newer");
  }
}

TEST_F(ProfileFileTest, DeletingWhatIsAbsentCreatesNothing) {
  EXPECT_TRUE(WritePrivateProfileString("Setup", "DispOnly", std::nullopt, "C:\\scUtil.ini"));
  EXPECT_FALSE(std::filesystem::exists(prefix_.drive_c() / "scUtil.ini"));
  EXPECT_TRUE(WritePrivateProfileString("Setup", "DispOnly", "1", "C:\\scUtil.ini"));
  EXPECT_EQ(ReadAll(prefix_.drive_c() / "scUtil.ini"), "[Setup]\r\nDispOnly=1\r\n");
}

TEST_F(ProfileFileTest, WriteFailsWithoutTouchingAnUnreadableFileOrMissingDrive) {
  std::filesystem::create_directories(host_);  // a folder where the file should be
  EXPECT_FALSE(WritePrivateProfileString("Setup", "DispOnly", "1", ini_));
  EXPECT_TRUE(std::filesystem::is_directory(host_));
  EXPECT_FALSE(WritePrivateProfileString("Setup", "DispOnly", "1", "Q:\\scUtil.ini"));
  EXPECT_FALSE(WritePrivateProfileString("Setup", "DispOnly", "1", "C:\\no such folder\\scUtil.ini"));
}

}  // namespace
}  // namespace platform
