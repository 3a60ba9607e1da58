#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "aclgrant/access_grant.h"
#include "aclgrant/folders.h"
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
  return st.st_mode & 0777;
}

class AccessGrantTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::paths::SetProgramFolderForTest(program_.path());
    fs::create_directories(target_);
    fs::permissions(target_, fs::perms(0700));
  }
  void TearDown() override { platform::paths::SetProgramFolderForTest(std::nullopt); }

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
};

TEST_F(AccessGrantTest, UtilityStartsTheToolInItsFolderWithTheQuotedPathAndWaits) {
  InstallTool(program_.path());
  EXPECT_NE(aclgrant::GrantEveryoneFullAccess(TargetWindows()), 0);
  // The tool has finished: its record is complete when the call returns.
  EXPECT_EQ(RecordedRuns(record_), (std::vector<Args>{{TargetWindows(), "/g", "Everyone:F"}}));
}

TEST_F(AccessGrantTest, UtilityWithoutPathStartsNothing) {
  InstallTool(program_.path());
  EXPECT_EQ(aclgrant::GrantEveryoneFullAccess(std::nullopt), 0);
  EXPECT_FALSE(fs::exists(record_));
}

TEST_F(AccessGrantTest, UtilityWithoutToolOpensTheFolderToAll) {
  EXPECT_EQ(aclgrant::GrantEveryoneFullAccess(TargetWindows()), 0);
  EXPECT_EQ(ModeOf(target_), 0777u);
  // A missing folder is left alone, quietly.
  EXPECT_EQ(aclgrant::GrantEveryoneFullAccess(TargetWindows() + "\\missing"), 0);
  EXPECT_FALSE(fs::exists(target_ / "missing"));
}

TEST_F(AccessGrantTest, LauncherPassesItsTailUnquotedAndEndsWithZero) {
  InstallTool(program_.path());
  EXPECT_EQ(RunLauncher({"C:\\log", "dir"}), 0);
  EXPECT_EQ(RunLauncher({}), 0);
  EXPECT_EQ(RunLauncher({"\"C:\\log dir\""}), 0);
  EXPECT_EQ(RecordedRuns(record_), (std::vector<Args>{{"C:\\log", "dir", "/g", "Everyone:F"},
                                                      {"/g", "Everyone:F"},
                                                      {"C:\\log dir", "/g", "Everyone:F"}}));
}

TEST_F(AccessGrantTest, LauncherWithoutToolOpensTheFolderToAll) {
  EXPECT_EQ(RunLauncher({target_.string()}), 0);
  EXPECT_EQ(ModeOf(target_), 0777u);
  // No path opens nothing, not even the current folder.
  const mode_t current = ModeOf(fs::current_path());
  EXPECT_EQ(RunLauncher({}), 0);
  EXPECT_EQ(aclgrant::GrantEveryoneFullAccess(""), 0);
  EXPECT_EQ(ModeOf(fs::current_path()), current);
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
  EXPECT_TRUE(aclgrant::CreateFolderPath("C:\\a\\b c\\d"));
  EXPECT_TRUE(fs::is_directory(prefix.drive_c() / "a" / "b c" / "d"));
  EXPECT_TRUE(aclgrant::CreateFolderPath("C:\\a\\b c\\d\\"));
  EXPECT_FALSE(aclgrant::CreateFolderPath(""));
  EXPECT_FALSE(aclgrant::CreateFolderPath("Q:\\x"));
  EXPECT_FALSE(aclgrant::CreateFolderPath("nofolder"));
  // A level that is a file cannot become a folder.
  platform::testing::WriteAll(prefix.drive_c() / "file", "x");
  EXPECT_FALSE(aclgrant::CreateFolderPath("C:\\file\\sub"));
}

}  // namespace
