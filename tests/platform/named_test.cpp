#include "platform/named.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/clock.h"
#include "platform/handles.h"
#include "tests/platform/test_env.h"

namespace platform {
namespace {

using testing::FolderNames;
using testing::ScopedEnv;
using testing::TempDir;

// CreateMutex that also returns the last error it left.
std::pair<HANDLE, DWORD> Create(std::string_view name) {
  SetLastError(12345);  // must be overwritten either way
  HANDLE handle = CreateMutex(false, name);
  return {handle, GetLastError()};
}

class NamedMutexTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(OpenHandleCount(), handles_before_); }
  std::filesystem::path Folder() const { return runtime_.path() / "scanutil-objects"; }
  TempDir runtime_;
  ScopedEnv env_{"XDG_RUNTIME_DIR", runtime_.path().string()};
  const size_t handles_before_ = OpenHandleCount();
};

TEST_F(NamedMutexTest, SecondCreateInThisProcessFindsItUntilTheLastHandleCloses) {
  const auto [first, first_error] = Create("QMXUUtilityMultiCheckMutex");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first_error, 0u);
  const auto [second, second_error] = Create("QMXUUtilityMultiCheckMutex");
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(second_error, ERROR_ALREADY_EXISTS);
  const auto [other, other_error] = Create("QMXUDtilityMultiCheckMutex");
  EXPECT_EQ(other_error, 0u);  // another name is another object
  EXPECT_TRUE(CloseHandle(first));
  const auto [third, third_error] = Create("QMXUUtilityMultiCheckMutex");
  EXPECT_EQ(third_error, ERROR_ALREADY_EXISTS);  // the second handle still holds it
  EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(CloseHandle(second));
  EXPECT_TRUE(CloseHandle(third));
  const auto [fresh, fresh_error] = Create("QMXUUtilityMultiCheckMutex");
  EXPECT_EQ(fresh_error, 0u);
  EXPECT_TRUE(CloseHandle(fresh));
  EXPECT_TRUE(CloseHandle(other));
}

TEST_F(NamedMutexTest, EveryNameGetsItsOwnFileInsideTheFolder) {
  const std::string long_name(300, 'n');
  const std::string names[] = {"Global\\Lock", "../../escape", "a b", "a_b", "a%20b", ".hidden", "/abs",
                               long_name + "1", long_name + "2", std::string("nul\0byte", 8)};
  std::vector<HANDLE> handles;
  for (const std::string& name : names) {
    const auto [handle, error] = Create(name);
    ASSERT_NE(handle, nullptr) << name;
    EXPECT_EQ(error, 0u) << name;
    handles.push_back(handle);
  }
  const std::vector<std::string> files = FolderNames(Folder());
  EXPECT_EQ(files.size(), std::size(names));
  for (const std::string& file : files) {
    EXPECT_LE(file.size(), 200u);
    EXPECT_NE(file.front(), '.');
  }
  EXPECT_EQ(FolderNames(runtime_.path()), std::vector<std::string>{"scanutil-objects"});
  for (HANDLE h : handles) CloseHandle(h);
}

TEST_F(NamedMutexTest, WithoutRuntimeFolderTheTemporaryFolderIsUsed) {
  TempDir tmp;
  ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
  ScopedEnv tmpdir("TMPDIR", tmp.path().string());
  const auto [handle, error] = Create("Fallback");
  EXPECT_EQ(error, 0u);
  EXPECT_EQ(FolderNames(tmp.path() / ("scanutil-objects-" + std::to_string(::getuid()))),
            std::vector<std::string>{"Fallback"});
  CloseHandle(handle);
}

TEST_F(NamedMutexTest, NoFolderMeansNoObject) {
  testing::WriteAll(runtime_.path() / "file", "");
  ScopedEnv runtime("XDG_RUNTIME_DIR", (runtime_.path() / "file").string());
  const auto [handle, error] = Create("Nowhere");
  EXPECT_EQ(handle, nullptr);
  EXPECT_NE(error, 0u);
}

TEST_F(NamedMutexTest, UnnamedMutexesAreAlwaysNew) {
  const auto [a, a_error] = Create("");
  const auto [b, b_error] = Create("");
  EXPECT_EQ(a_error, 0u);
  EXPECT_EQ(b_error, 0u);
  EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_OBJECT_0);
  CloseHandle(a);
  CloseHandle(b);
}

// A child process that creates the mutex, reports whether it was new, and waits.
class Holder {
 public:
  explicit Holder(const char* name) {
    int up[2], down[2];
    EXPECT_EQ(::pipe(up), 0);
    EXPECT_EQ(::pipe(down), 0);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(up[0]);
      ::close(down[1]);
      const char created = CreateMutex(false, name) && GetLastError() == 0 ? 'y' : 'n';
      char ignored;
      if (::write(up[1], &created, 1) == 1) (void)!::read(down[0], &ignored, 1);
      ::_exit(0);
    }
    ::close(up[1]);
    ::close(down[0]);
    release_ = down[1];
    char created = 0;
    EXPECT_EQ(::read(up[0], &created, 1), 1);
    ::close(up[0]);
    created_ = created == 'y';
  }
  bool created() const { return created_; }
  // Ends the child, by letting it exit or by killing it, and waits until it is gone.
  void End(bool kill) {
    if (kill) ::kill(pid_, SIGKILL);
    ::close(release_);
    int status = 0;
    EXPECT_EQ(::waitpid(pid_, &status, 0), pid_);
  }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  bool created_ = false;
};

TEST_F(NamedMutexTest, NameHeldByAnotherProcessExistsUntilThatProcessEnds) {
  ScopedFakeClock clock;
  for (bool kill : {false, true}) {
    Holder holder("QMXUtilityDeviceLockMutex");
    ASSERT_TRUE(holder.created()) << kill;
    const auto [opened, error] = Create("QMXUtilityDeviceLockMutex");
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(error, ERROR_ALREADY_EXISTS);
    EXPECT_EQ(WaitForSingleObject(opened, 0), WAIT_TIMEOUT);
    const DWORD before = GetTickCount();
    EXPECT_EQ(WaitForSingleObject(opened, 50), WAIT_TIMEOUT);
    EXPECT_EQ(GetTickCount() - before, 50u);
    EXPECT_TRUE(CloseHandle(opened));

    holder.End(kill);
    const auto [fresh, fresh_error] = Create("QMXUtilityDeviceLockMutex");
    EXPECT_EQ(fresh_error, 0u) << kill;
    EXPECT_TRUE(CloseHandle(fresh));
  }
}

TEST_F(NamedMutexTest, WaitingOpenerTakesTheNameOnceTheHolderIsGone) {
  ScopedFakeClock clock;
  Holder holder("Handover");
  ASSERT_TRUE(holder.created());
  const auto [opened, error] = Create("Handover");
  EXPECT_EQ(error, ERROR_ALREADY_EXISTS);
  holder.End(true);
  EXPECT_EQ(WaitForSingleObject(opened, 0), WAIT_OBJECT_0);
  const auto [again, again_error] = Create("Handover");
  EXPECT_EQ(again_error, ERROR_ALREADY_EXISTS);  // now this process holds it
  CloseHandle(again);
  CloseHandle(opened);
}

}  // namespace
}  // namespace platform
