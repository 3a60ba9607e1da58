#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "errorlog/counter_reset_record.h"
#include "errorlog/log_file.h"
#include "errorlog/log_folder.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "tests/platform/test_env.h"

namespace {

namespace fs = std::filesystem;
using platform::testing::ReadAll;
using platform::testing::ScopedPrefix;
using platform::testing::TempDir;

// A strict umask for one test, so modes the code sets are told apart from those the
// umask lets through.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : old_(::umask(mask)) {}
  ~ScopedUmask() { ::umask(old_); }
  ScopedUmask(const ScopedUmask&) = delete;
  ScopedUmask& operator=(const ScopedUmask&) = delete;

 private:
  mode_t old_;
};

mode_t ModeOf(const fs::path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

// A sparse file of that size, so the large-log cases stay fast.
void MakeFileOfSize(const fs::path& path, uintmax_t size) {
  platform::testing::WriteAll(path, "");
  fs::resize_file(path, size);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) {
      lines.push_back(text.substr(pos));  // a torn last line shows up as one without CR LF
      break;
    }
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

TEST(AppendLine, AppendsLinesWithCrLf) {
  TempDir dir;
  ASSERT_TRUE(errorlog::AppendLine(dir.path(), "one"));
  ASSERT_TRUE(errorlog::AppendLine(dir.path(), "two"));
  EXPECT_EQ(ReadAll(dir.path() / "ScannerErr.log"), "one\r\ntwo\r\n");
  EXPECT_FALSE(fs::exists(dir.path() / "ScannerErr2.log"));
}

TEST(AppendLine, ACreatedLogIsWritableByAllWhateverTheUmask) {
  ScopedUmask mask(077);
  TempDir dir;
  ASSERT_TRUE(errorlog::AppendLine(dir.path(), "one"));
  EXPECT_EQ(ModeOf(dir.path() / "ScannerErr.log"), 0666u);
}

// Another user can put anything at the log's name in a shared folder: a link to a file
// of ours, a second name of one, or a pipe that would block the open. Nothing is
// written through any of them.
TEST(AppendLine, RefusesALogThatIsNotAPlainFileOfItsOwn) {
  enum class Planted { kSymlink, kHardLink, kPipe };
  for (const Planted planted : {Planted::kSymlink, Planted::kHardLink, Planted::kPipe}) {
    TempDir dir;
    TempDir elsewhere;
    const fs::path target = elsewhere.path() / "precious";
    platform::testing::WriteAll(target, "keep me\r\n");
    const fs::path log = dir.path() / "ScannerErr.log";
    if (planted == Planted::kSymlink) fs::create_symlink(target, log);
    if (planted == Planted::kHardLink) fs::create_hard_link(target, log);
    if (planted == Planted::kPipe) {
      ASSERT_EQ(::mkfifo(log.c_str(), 0666), 0);
    }
    EXPECT_FALSE(errorlog::AppendLine(dir.path(), "line")) << static_cast<int>(planted);
    EXPECT_EQ(ReadAll(target), "keep me\r\n");
  }
}

// A link to a large file is not taken for a log due for rotation.
TEST(AppendLine, ALinkIsNotRotated) {
  TempDir dir;
  TempDir elsewhere;
  const fs::path target = elsewhere.path() / "large";
  MakeFileOfSize(target, 31457281);
  fs::create_symlink(target, dir.path() / "ScannerErr.log");
  EXPECT_FALSE(errorlog::AppendLine(dir.path(), "line"));
  EXPECT_TRUE(fs::is_symlink(dir.path() / "ScannerErr.log"));
  EXPECT_FALSE(fs::exists(dir.path() / "ScannerErr2.log"));
}

TEST(AppendLine, RotatesOnlyAboveThirtyMebibytes) {
  struct Case {
    uintmax_t size;
    bool rotated;
  };
  const Case cases[] = {{31457280, false}, {31457281, true}};
  for (const auto& c : cases) {
    TempDir dir;
    const fs::path log = dir.path() / "ScannerErr.log";
    const fs::path old = dir.path() / "ScannerErr2.log";
    MakeFileOfSize(log, c.size);
    platform::testing::WriteAll(old, "older generation\r\n");
    ASSERT_TRUE(errorlog::AppendLine(dir.path(), "line"));
    if (c.rotated) {
      EXPECT_EQ(fs::file_size(old), c.size);
      EXPECT_EQ(ReadAll(log), "line\r\n");
    } else {
      EXPECT_EQ(fs::file_size(log), c.size + 6);
      EXPECT_EQ(ReadAll(old), "older generation\r\n");
    }
  }
}

TEST(AppendLine, FolderNamedLikeTheLogIsNeitherRotatedNorWritten) {
  TempDir dir;
  const fs::path log = dir.path() / "ScannerErr.log";
  fs::create_directory(log);
  MakeFileOfSize(log / "inside", 31457281);
  EXPECT_FALSE(errorlog::AppendLine(dir.path(), "line"));
  EXPECT_TRUE(fs::is_directory(log));
  EXPECT_FALSE(fs::exists(dir.path() / "ScannerErr2.log"));
}

TEST(AppendLine, TwoProcessesAppendingAtOnceLoseNoLine) {
  TempDir dir;
  constexpr int kLines = 10000;
  // Long lines make a torn write likely if the writes were not whole.
  const std::string pad(200, 'x');
  auto write_lines = [&](char who) {
    for (int i = 0; i < kLines; ++i) errorlog::AppendLine(dir.path(), std::string(1, who) + std::to_string(i) + pad);
  };
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    write_lines('B');
    ::_exit(0);
  }
  write_lines('A');
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  const auto lines = Lines(ReadAll(dir.path() / "ScannerErr.log"));
  ASSERT_EQ(lines.size(), 2u * kLines);
  int next[2] = {0, 0};
  for (const auto& line : lines) {
    ASSERT_TRUE(line.size() > pad.size() && (line[0] == 'A' || line[0] == 'B')) << line;
    const int who = line[0] == 'A' ? 0 : 1;
    ASSERT_EQ(line, std::string(1, line[0]) + std::to_string(next[who]) + pad);
    ++next[who];
  }
  EXPECT_EQ(next[0], kLines);
  EXPECT_EQ(next[1], kLines);
}

class LogFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(prefix_.drive_c());
    platform::paths::SetProgramFolderForTest(program_.path());
  }
  void TearDown() override { platform::paths::SetProgramFolderForTest(std::nullopt); }

  fs::path DefaultFolder() const { return prefix_.drive_c() / "Quorvex" / "Document Scanner" / "scanutil"; }
  void SetRegistryFolder(const std::string& folder) {
    auto key = platform::RegKey::Create(platform::HKEY_CURRENT_USER, errorlog::kIndicatorKey);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->Set(errorlog::kFolderValue, platform::RegValue::String(folder)));
  }

  ScopedPrefix prefix_;
  TempDir program_;
};

// The folder made for the log is shared, sticky so no user can remove or replace
// another's files; the levels made above it can only be searched by others.
TEST_F(LogFolderTest, ACreatedDefaultIsASharedStickyFolder) {
  ScopedUmask mask(077);
  EXPECT_EQ(errorlog::LogFolder(), DefaultFolder());
  EXPECT_EQ(ModeOf(DefaultFolder()), 01777u);
  EXPECT_EQ(ModeOf(prefix_.drive_c() / "Quorvex"), 0711u);
  EXPECT_EQ(ModeOf(prefix_.drive_c() / "Quorvex" / "Document Scanner"), 0711u);
  // A later record finds the folder and leaves it so.
  fs::permissions(DefaultFolder(), fs::perms(0700));
  EXPECT_EQ(errorlog::LogFolder(), DefaultFolder());
  EXPECT_EQ(ModeOf(DefaultFolder()), 0700u);
}

TEST_F(LogFolderTest, AFolderThatExistedIsNotChanged) {
  fs::create_directories(DefaultFolder());
  fs::permissions(prefix_.drive_c() / "Quorvex", fs::perms(0750));
  fs::permissions(DefaultFolder(), fs::perms(0700));
  EXPECT_EQ(errorlog::LogFolder(), DefaultFolder());
  EXPECT_EQ(ModeOf(DefaultFolder()), 0700u);
  EXPECT_EQ(ModeOf(prefix_.drive_c() / "Quorvex"), 0750u);
}

TEST_F(LogFolderTest, WhenTheDefaultCannotBeCreatedTheProgramFolderIsUsedUnchanged) {
  fs::permissions(program_.path(), fs::perms(0750));
  platform::testing::WriteAll(prefix_.drive_c() / "Quorvex", "a file in the way");
  EXPECT_EQ(errorlog::LogFolder(), program_.path());
  EXPECT_EQ(ModeOf(program_.path()), 0750u);
}

TEST_F(LogFolderTest, RegistryValueWinsButTheDefaultIsStillPrepared) {
  TempDir configured;
  SetRegistryFolder(platform::paths::ToWindows(configured.path()));
  EXPECT_EQ(errorlog::LogFolder(), configured.path());
  EXPECT_TRUE(fs::is_directory(DefaultFolder()));

  scanner::ScannerContext context;
  context.connected = true;
  std::strcpy(context.model_name, "Q-200");
  std::strcpy(context.identity_text, "0123456789ABCDEF");
  errorlog::AppendCounterResetRecord(context, {5, 0, 0, 9, 0}, errorlog::ResetKind::kReplace);
  const std::string text = ReadAll(configured.path() / "ScannerErr.log");
  EXPECT_TRUE(std::regex_match(
      text, std::regex(R"(\d{4}/\d\d/\d\d,\d\d:\d\d,Q-200,0123456789ABCDEF,0x-,-,5,0,0,9,0,)"
                       R"(Replace Roller Counter was reset to 0\r\n)")))
      << text;
  EXPECT_FALSE(fs::exists(DefaultFolder() / "ScannerErr.log"));
}

}  // namespace
