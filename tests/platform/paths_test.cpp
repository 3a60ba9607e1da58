#include "platform/paths.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/platform/test_env.h"

namespace platform::paths {
namespace {

namespace fs = std::filesystem;
using testing::ScopedEnv;
using testing::ScopedPrefix;
using testing::TempDir;

class ScopedCwd {
 public:
  explicit ScopedCwd(const fs::path& dir) : old_(fs::current_path()) { fs::current_path(dir); }
  ~ScopedCwd() { fs::current_path(old_); }

 private:
  fs::path old_;
};

TEST(PrefixTest, ComesFromTheFirstVariableThatIsSetAndIsCreated) {
  TempDir home;
  ScopedEnv home_env("HOME", home.path().string());
  struct Case {
    std::optional<std::string> own, xdg;
    fs::path expected;
  } cases[] = {
      {(home.path() / "own").string(), (home.path() / "xdg").string(), home.path() / "own"},
      {"", (home.path() / "xdg").string(), home.path() / "xdg" / "scanutil"},
      {std::nullopt, (home.path() / "xdg").string(), home.path() / "xdg" / "scanutil"},
      {std::nullopt, "relative/xdg", home.path() / ".local/share/scanutil"},  // XDG paths must be absolute
      {std::nullopt, std::nullopt, home.path() / ".local/share/scanutil"},
  };
  for (const Case& c : cases) {
    ScopedEnv own("SCANUTIL_PREFIX", c.own);
    ScopedEnv xdg("XDG_DATA_HOME", c.xdg);
    EXPECT_EQ(Prefix(), c.expected);
    EXPECT_TRUE(fs::is_directory(c.expected / "drive_c"));
  }
}

class PathsTest : public ::testing::Test {
 protected:
  ~PathsTest() override { MapDrive('D', std::nullopt); }
  ScopedPrefix prefix_;
  fs::path c_ = Prefix() / "drive_c";
};

TEST_F(PathsTest, WindowsPathsMapToHostPaths) {
  TempDir work;
  ScopedCwd cwd(work.path());
  const fs::path here = fs::current_path();
  struct Case {
    const char* windows;
    std::optional<fs::path> host;
  } cases[] = {
      {"C:\\x\\y.txt", c_ / "x/y.txt"},
      {"c:/x/y.txt", c_ / "x/y.txt"},
      {"C:\\x\\\\.\\y\\", c_ / "x/y"},
      {"C:", c_},
      {"C:\\..\\..\\etc\\passwd", c_ / "etc/passwd"},  // never above the drive's root
      {"\\usr\\lib", "/usr/lib"},
      {"/usr/../etc", "/etc"},
      {"D:\\x", std::nullopt},
      {"\\\\server\\share", std::nullopt},
      {"a\\b", here / "a/b"},
      {"..\\b", here.parent_path() / "b"},
      {"", here},
  };
  for (const Case& c : cases) EXPECT_EQ(ToHost(c.windows), c.host) << c.windows;
}

TEST_F(PathsTest, ExistingNamesAreFoundIgnoringCase) {
  fs::create_directories(c_ / "Program Files" / "Scan");
  EXPECT_EQ(ToHost("C:\\PROGRAM FILES\\scan\\New\\x.ini"), c_ / "Program Files/Scan/New/x.ini");
  fs::create_directories(c_ / "Program Files" / "scan");  // an exact match wins over others
  EXPECT_EQ(ToHost("C:\\program files\\scan"), c_ / "Program Files/scan");
}

TEST_F(PathsTest, MappedDriveAppearsAndDisappears) {
  TempDir d;
  MapDrive('d', d.path());
  EXPECT_EQ(ToHost("D:\\x"), d.path() / "x");
  EXPECT_EQ(ToWindows(d.path() / "x" / "y"), "D:\\x\\y");
  MapDrive('C', d.path());  // C: stays the prefix's drive
  EXPECT_EQ(ToHost("C:\\x"), c_ / "x");
  MapDrive('D', std::nullopt);
  EXPECT_EQ(ToHost("d:\\x"), std::nullopt);
}

TEST_F(PathsTest, HostPathsMapBackToWindowsForm) {
  ScopedCwd cwd(c_);
  std::string outside = "\\" + (prefix_.path() / "user.reg").relative_path().string();
  std::replace(outside.begin(), outside.end(), '/', '\\');
  struct Case {
    fs::path host;
    std::string windows;
  } cases[] = {
      {c_ / "x" / "y.txt", "C:\\x\\y.txt"},
      {c_, "C:\\"},
      {c_ / "x" / ".." / "z", "C:\\z"},
      {"/usr/lib/", "\\usr\\lib"},
      {"/", "\\"},
      {"rel/file", "C:\\rel\\file"},
      {prefix_.path() / "user.reg", outside},  // the prefix itself is outside every drive
  };
  for (const Case& c : cases) EXPECT_EQ(ToWindows(c.host), c.windows) << c.host;
}

TEST(PathsLinkTest, PrefixReachedThroughSymlinkStillMapsToDriveC) {
  TempDir dir;
  fs::create_directories(dir.path() / "real" / "drive_c" / "x");
  fs::create_directory_symlink(dir.path() / "real", dir.path() / "link");
  ScopedEnv prefix("SCANUTIL_PREFIX", (dir.path() / "link").string());
  EXPECT_EQ(ToWindows(dir.path() / "real" / "drive_c" / "x"), "C:\\x");
  EXPECT_EQ(ToWindows(dir.path() / "link" / "drive_c" / "x"), "C:\\x");
}

TEST_F(PathsTest, ProgramFolderIsTheExecutablesFolderUnlessATestSetsOne) {
  const fs::path exe = fs::read_symlink("/proc/self/exe");
  EXPECT_EQ(ToHost(GetModuleFileName()), exe);
  const std::string folder = ProgramFolder();
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_EQ(folder + exe.filename().string(), GetModuleFileName());

  SetProgramFolderForTest(c_ / "Scan");
  EXPECT_EQ(ProgramFolder(), "C:\\Scan\\");
  EXPECT_EQ(GetModuleFileName(), "C:\\Scan\\" + exe.filename().string());
  SetProgramFolderForTest(std::nullopt);
  EXPECT_EQ(ProgramFolder(), folder);
}

TEST_F(PathsTest, TempAndDocumentsFoldersFollowTheEnvironment) {
  {
    ScopedEnv tmp("TMPDIR", (c_ / "Temp").string());
    EXPECT_EQ(GetTempPath(), "C:\\Temp\\");
  }
  {
    ScopedEnv tmp("TMPDIR", std::nullopt);
    EXPECT_EQ(GetTempPath(), "\\tmp\\");
  }
  {
    ScopedEnv documents("XDG_DOCUMENTS_DIR", (c_ / "My Documents").string());
    EXPECT_EQ(DocumentsFolder(), "C:\\My Documents");
  }
  ScopedEnv documents("XDG_DOCUMENTS_DIR", std::nullopt);
  ScopedEnv home("HOME", c_.string());
  EXPECT_EQ(DocumentsFolder(), "C:\\Documents");
}

}  // namespace
}  // namespace platform::paths
