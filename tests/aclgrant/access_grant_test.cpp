#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "aclgrant/access_grant.h"
#include "aclgrant/folders.h"
#include "aclgrant/world_group.h"
#include "platform/language.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "tests/platform/test_env.h"

namespace {

namespace fs = std::filesystem;
using platform::testing::ReadAll;
using platform::testing::ScopedEnv;
using platform::testing::ScopedPrefix;
using platform::testing::TempDir;
using Args = std::vector<std::string>;

// The arguments of each run of the recording tool.
std::vector<Args> RecordedRuns(const fs::path& file) {
  std::vector<Args> runs(1);
  const std::string text = ReadAll(file);
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find('\n', pos);
    const std::string line = text.substr(pos, end - pos);
    pos = end == std::string::npos ? text.size() : end + 1;
    if (line == "<end>")
      runs.emplace_back();
    else
      runs.back().push_back(line);
  }
  runs.pop_back();
  return runs;
}

mode_t ModeOf(const fs::path& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

std::vector<std::string> Lines(const fs::path& file) {
  std::vector<std::string> lines;
  const std::string text = ReadAll(file);
  for (size_t pos = 0; pos < text.size();) {
    const size_t end = text.find('\n', pos);
    lines.push_back(text.substr(pos, end - pos));
    pos = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

class AccessGrantTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths::SetProgramFolderForTest(program_.path());
    platform::ForceLangIdsForTest(0x0409, 0x0409);
    fs::create_directories(target_);
    fs::permissions(target_, fs::perms(0700));
  }
  void TearDown() override {
    platform::ForceLangIdsForTest(std::nullopt, std::nullopt);
    platform::paths::SetProgramFolderForTest(std::nullopt);
  }

  // The recording tool as f_cacls.exe in that folder.
  void InstallTool(const fs::path& folder) { fs::copy_file(ARG_RECORDER, folder / "f_cacls.exe"); }
  std::string TargetWindows() const { return platform::paths::ToWindows(target_); }

  int RunLauncher(const Args& args) {
    fs::copy_file(ACLGRANT_PROGRAM, program_.path() / "aclgrant", fs::copy_options::overwrite_existing);
    Args argv{(program_.path() / "aclgrant").string()};
    argv.insert(argv.end(), args.begin(), args.end());
    const auto pid = platform::process::Spawn(argv);
    EXPECT_TRUE(pid);
    return pid ? platform::process::WaitForProcess(*pid) : -1;
  }

  ScopedPrefix prefix_;
  TempDir program_;
  TempDir work_;
  fs::path target_ = work_.path() / "log folder";
  fs::path record_ = work_.path() / "args.txt";
  ScopedEnv record_env_{"ARG_RECORD_FILE", record_.string()};
  fs::path streams_ = work_.path() / "streams.txt";
  ScopedEnv streams_env_{"ARG_RECORD_STREAMS", streams_.string()};
};

TEST_F(AccessGrantTest, UtilityStartsTheToolInItsFolderWithTheQuotedPathAndWaits) {
  InstallTool(program_.path());
  EXPECT_NE(aclgrant::GrantEveryoneFullAccess(TargetWindows()), 0);
  // The tool has finished: its record is complete when the call returns.
  EXPECT_EQ(RecordedRuns(record_), (std::vector<Args>{{TargetWindows(), "/g", "Everyone:F"}}));
}

// The tool's path is not quoted: it is found at the blank that ends it, past a prefix
// that names a folder.
TEST_F(AccessGrantTest, UtilityFindsTheToolInAProgramFolderWithBlanks) {
  const fs::path folder = program_.path() / "log tools  2";
  fs::create_directories(folder);
  fs::create_directories(program_.path() / "log");
  InstallTool(folder);
  platform::paths::SetProgramFolderForTest(folder);
  EXPECT_NE(aclgrant::GrantEveryoneFullAccess(TargetWindows()), 0);
  EXPECT_EQ(RecordedRuns(record_), (std::vector<Args>{{TargetWindows(), "/g", "Everyone:F"}}));
}

// No console: the tool's standard streams are the null device, for the utility and the launcher.
TEST_F(AccessGrantTest, TheToolRunsWithItsStandardStreamsOnTheNullDevice) {
  InstallTool(program_.path());
  ASSERT_NE(aclgrant::GrantEveryoneFullAccess(TargetWindows()), 0);
  EXPECT_EQ(RunLauncher({TargetWindows()}), 0);
  const std::string null = "/dev/null";
  EXPECT_EQ(Lines(streams_), (std::vector<std::string>{null, null, null, null, null, null}));
}

TEST_F(AccessGrantTest, UtilityNamesTheWorldGroupInTheSystemLanguage) {
  InstallTool(program_.path());
  platform::ForceLangIdsForTest(0x0409, 0x0407);  // user English, system German
  EXPECT_NE(aclgrant::GrantEveryoneFullAccess(TargetWindows()), 0);
  EXPECT_EQ(RecordedRuns(record_), (std::vector<Args>{{TargetWindows(), "/g", "Jeder:F"}}));
}

TEST_F(AccessGrantTest, UtilityWithoutPathStartsNothing) {
  InstallTool(program_.path());
  EXPECT_EQ(aclgrant::GrantEveryoneFullAccess(std::nullopt), 0);
  EXPECT_FALSE(fs::exists(record_));
}

// Without the tool no folder it is asked for is changed.
TEST_F(AccessGrantTest, WithoutToolNothingIsChanged) {
  EXPECT_EQ(aclgrant::GrantEveryoneFullAccess(TargetWindows()), 0);
  EXPECT_EQ(RunLauncher({target_.string()}), 0);
  EXPECT_EQ(ModeOf(target_), 0700u);
  const mode_t current = ModeOf(fs::current_path());
  EXPECT_EQ(RunLauncher({}), 0);
  EXPECT_EQ(aclgrant::GrantEveryoneFullAccess(""), 0);
  EXPECT_EQ(ModeOf(fs::current_path()), current);
}

// The launcher's tail keeps the caller's quoting: a path the shell got in quotes is one
// argument to the tool, an unquoted one with a blank is two.
TEST_F(AccessGrantTest, LauncherPassesItsTailAsTypedAndEndsWithZero) {
  InstallTool(program_.path());
  EXPECT_EQ(RunLauncher({"C:\\log", "dir"}), 0);
  EXPECT_EQ(RunLauncher({}), 0);
  EXPECT_EQ(RunLauncher({"C:\\log dir"}), 0);
  EXPECT_EQ(RunLauncher({"\"C:\\log dir\""}), 0);
  // The launcher reads the system language itself.
  const std::string grant = aclgrant::WorldGroupName() + ":F";
  EXPECT_EQ(RecordedRuns(record_), (std::vector<Args>{{"C:\\log", "dir", "/g", grant},
                                                      {"/g", grant},
                                                      {"C:\\log dir", "/g", grant},
                                                      {"C:\\log dir", "/g", grant}}));
}

TEST(ProgramFolder, WithOrWithoutBackslashCutToTheBuffer) {
  TempDir program;
  platform::paths::SetProgramFolderForTest(program.path());
  const std::string with = platform::paths::ProgramFolder();
  char buffer[512];
  EXPECT_EQ(aclgrant::GetProgramFolder(buffer, sizeof buffer, true), with.size());
  EXPECT_EQ(std::string(buffer), with);
  aclgrant::GetProgramFolder(buffer, sizeof buffer, false);
  EXPECT_EQ(std::string(buffer), with.substr(0, with.size() - 1));
  char small[5];
  EXPECT_EQ(aclgrant::GetProgramFolder(small, sizeof small, true), 4u);
  EXPECT_EQ(std::string(small), with.substr(0, 4));
  platform::paths::SetProgramFolderForTest(std::nullopt);
}

TEST(CreateFolderPath, CreatesEveryMissingLevelUnderAnExistingRoot) {
  ScopedPrefix prefix;
  fs::create_directories(prefix.drive_c() / "a");
  std::vector<std::string> created;
  EXPECT_TRUE(aclgrant::CreateFolderPath("C:\\a\\b c\\d", &created));
  EXPECT_TRUE(fs::is_directory(prefix.drive_c() / "a" / "b c" / "d"));
  // Only the levels this call made, outermost first.
  EXPECT_EQ(created, (std::vector<std::string>{"C:\\a\\b c", "C:\\a\\b c\\d"}));
  EXPECT_TRUE(aclgrant::CreateFolderPath("C:\\a\\b c\\d\\"));
  EXPECT_FALSE(aclgrant::CreateFolderPath(""));
  EXPECT_FALSE(aclgrant::CreateFolderPath("Q:\\x"));
  EXPECT_FALSE(aclgrant::CreateFolderPath("nofolder"));
  // A level that is a file cannot become a folder.
  platform::testing::WriteAll(prefix.drive_c() / "file", "x");
  EXPECT_FALSE(aclgrant::CreateFolderPath("C:\\file\\sub"));
}

}  // namespace
