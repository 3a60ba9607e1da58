#include "report/work_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/platform/test_env.h"

namespace report {
namespace {

namespace fs = std::filesystem;
using platform::testing::ScopedEnv;

// A current folder for the lifetime of the object.
class ScopedCurrentFolder {
 public:
  explicit ScopedCurrentFolder(const fs::path& folder) : old_(fs::current_path()) { fs::current_path(folder); }
  ~ScopedCurrentFolder() { fs::current_path(old_); }

 private:
  fs::path old_;
};

class WorkFolderTest : public ::testing::Test {
 protected:
  fs::path C(const char* relative) const { return prefix.drive_c() / relative; }
  void File(const char* relative) const { platform::testing::WriteAll(C(relative), "x"); }

  platform::testing::ScopedPrefix prefix;
  ScopedEnv tmpdir{"TMPDIR", (prefix.drive_c() / "tmp").string()};
  ScopedEnv documents{"XDG_DOCUMENTS_DIR", (prefix.drive_c() / "docs").string()};
};

TEST_F(WorkFolderTest, CandidatesInOrderEachUsedWhenTheOnesBeforeFail) {
  fs::create_directories(C("tmp"));
  fs::create_directories(C("cwd"));
  ScopedCurrentFolder current(C("cwd"));

  EXPECT_EQ(WorkFolder("ScanInfo"), "C:\\TEMP\\ScanInfo");
  EXPECT_TRUE(fs::is_directory(C("TEMP/ScanInfo")));
  EXPECT_EQ(WorkFolder("ScanInfo"), "C:\\TEMP\\ScanInfo");  // it exists now
  EXPECT_EQ(WorkFolder("ScanLog"), "C:\\TEMP\\ScanLog");

  fs::remove_all(C("TEMP"));
  File("TEMP");  // C:\TEMP cannot be a folder
  EXPECT_EQ(WorkFolder("ScanInfo"), "C:\\tmp\\ScanInfo");

  fs::remove_all(C("tmp"));  // the temporary folder is not created
  EXPECT_EQ(WorkFolder("ScanInfo"), "C:\\docs\\ScanInfo");
  EXPECT_TRUE(fs::is_directory(C("docs/ScanInfo")));

  fs::remove_all(C("docs"));
  File("docs");
  EXPECT_EQ(WorkFolder("ScanInfo"), "C:\\cwd\\ScanInfo");

  fs::remove_all(C("cwd/ScanInfo"));
  File("cwd/ScanInfo");
  EXPECT_EQ(WorkFolder("ScanInfo"), "");
  EXPECT_FALSE(fs::exists(C("tmp")));
}

TEST_F(WorkFolderTest, ALinkAtACandidateIsNotFollowed) {
  fs::create_directories(C("TEMP"));
  fs::create_directories(C("elsewhere"));
  fs::create_directories(C("tmp"));
  fs::create_directory_symlink(C("elsewhere"), C("TEMP/ScanInfo"));
  EXPECT_EQ(WorkFolder("ScanInfo"), "C:\\tmp\\ScanInfo");
  EXPECT_TRUE(fs::is_empty(C("elsewhere")));
}

}  // namespace
}  // namespace report
