#include "resources/language_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <new>

#include "platform/debug.h"
#include "platform/language.h"
#include "platform/paths.h"

// The largest single allocation while a test watches: what a read costs in memory.
namespace {
std::atomic<bool> g_watch_allocations{false};
std::atomic<size_t> g_largest_allocation{0};
}  // namespace

void* operator new(std::size_t size) {
  if (g_watch_allocations.load(std::memory_order_relaxed)) {
    size_t seen = g_largest_allocation.load();
    while (size > seen && !g_largest_allocation.compare_exchange_weak(seen, size)) {
    }
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
// The memory came from malloc above.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace resources {
namespace {

TEST(SelectLanguageFileTest, FileByUserLanguageWithChineseAndPortugueseConditions) {
  const struct {
    platform::LANGID user;
    platform::LANGID system;
    std::optional<std::string> file;
  } cases[] = {
      {0x040C, 0x0409, "ResFRA.dll"},
      {0x0C0C, 0x0409, "ResFRA.dll"},  // any French
      {0x0407, 0x0409, "ResDEU.dll"},
      {0x0807, 0x0407, "ResDEU.dll"},
      {0x0C0A, 0x0409, "ResESP.dll"},
      {0x080A, 0x0409, "ResESP.dll"},
      {0x0410, 0x0409, "ResITA.dll"},
      {0x0411, 0x0411, "ResJPN.dll"},
      {0x0412, 0x0409, "ResKOR.dll"},
      {0x0419, 0x0409, "ResRUS.dll"},
      // Chinese: only a simplified (sublanguage bits 0x0800) Chinese system.
      {0x0804, 0x0804, "ResCH.dll"},
      {0x0404, 0x0404, std::nullopt},
      {0x0404, 0x0804, "ResCH.dll"},  // the user's own sublanguage is not looked at
      {0x0804, 0x0404, std::nullopt},
      {0x0804, 0x0409, std::nullopt},
      {0x0804, 0x0C04, std::nullopt},  // Hong Kong: bits 0x0C00
      {0x0804, 0x1004, std::nullopt},  // Singapore: bits 0x1000
      {0x0804, 0x0809, std::nullopt},  // bits 0x0800 but English
      // Portuguese: only the user's Brazilian (bits 0x0400).
      {0x0416, 0x0409, "ResPTB.dll"},
      {0x0816, 0x0816, std::nullopt},
      {0x0816, 0x0416, std::nullopt},
      {0x0409, 0x040C, std::nullopt},
      {0x0809, 0x0409, std::nullopt},
      {0x0413, 0x0409, std::nullopt},  // Dutch has no file
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SelectLanguageFile(c.user, c.system), c.file) << std::hex << c.user << " " << c.system;
  }
  EXPECT_EQ(SelectLanguageFile(0x0411, 0x0409, "errview"), "errviewResJPN.dll");
  EXPECT_EQ(SelectLanguageFile(0x0404, 0x0404, "errview"), std::nullopt);
}

constexpr std::string_view kBuiltin = R"(
STRINGTABLE BEGIN
  3141, "User Utility"
  5077, "No Target Device!!"
END
161 DIALOG 0, 0, 186, 62 CAPTION "Select Scanner" BEGIN END
)";

// A temporary folder with language files, and the debug output gathered meanwhile.
class LanguageFileFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::path(::testing::TempDir()) /
              (std::string("lang_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_ / "program");
    platform::SetDebugSinkForTest([this](std::string_view text) { debug_ += text; });
    if (const char* prefix = std::getenv("SCANUTIL_PREFIX")) saved_prefix_ = prefix;
  }
  void TearDown() override {
    platform::SetDebugSinkForTest(nullptr);
    platform::ForceLangIdsForTest(std::nullopt, std::nullopt);
    platform::paths::SetProgramFolderForTest(std::nullopt);
    if (saved_prefix_) {
      setenv("SCANUTIL_PREFIX", saved_prefix_->c_str(), 1);
    } else {
      unsetenv("SCANUTIL_PREFIX");
    }
  }
  std::filesystem::path Write(const std::string& name, std::string_view content) {
    const std::filesystem::path file = folder_ / "program" / name;
    std::ofstream(file, std::ios::binary) << content;
    return file;
  }
  static void ExpectEnglish(const Resources& resources) {
    EXPECT_EQ(resources.LoadString(3141), "User Utility");
    EXPECT_EQ(resources.LoadString(5077), "No Target Device!!");
    ASSERT_NE(resources.FindDialog(161), nullptr);
    EXPECT_EQ(resources.FindDialog(161)->caption, "Select Scanner");
    EXPECT_EQ(resources.Script().strings.size(), 2u);
  }

  std::filesystem::path folder_;
  std::string debug_;
  std::optional<std::string> saved_prefix_;
};

TEST_F(LanguageFileFolder, LanguageFileOverridesAndTheRestStaysEnglish) {
  const auto file = Write("ResFRA.dll", "STRINGTABLE BEGIN 3141, \"Utilitaire\" END\n"
                                        "161 DIALOG 0, 0, 200, 62 CAPTION \"Choisir\" BEGIN END\n");
  const Resources resources = LoadResources(kBuiltin, file);
  EXPECT_EQ(resources.LoadString(3141), "Utilitaire");
  EXPECT_EQ(resources.LoadString(5077), "No Target Device!!");
  ASSERT_NE(resources.FindDialog(161), nullptr);
  EXPECT_EQ(resources.FindDialog(161)->caption, "Choisir");
}

// A read holds what the file holds, not a buffer of the largest size a file may have.
TEST_F(LanguageFileFolder, ReadingASmallFileTakesNoLargeBuffer) {
  const auto file = Write("ResFRA.dll", "STRINGTABLE BEGIN 3141, \"Utilitaire\" END\n");
  g_largest_allocation = 0;
  g_watch_allocations = true;
  const Resources resources = LoadResources(kBuiltin, file);
  g_watch_allocations = false;
  EXPECT_EQ(resources.LoadString(3141), "Utilitaire");
  EXPECT_LT(g_largest_allocation.load(), size_t{64 * 1024});
}

TEST_F(LanguageFileFolder, MissingUnreadableOrMalformedFileMeansEnglish) {
  ExpectEnglish(LoadResources(kBuiltin, std::nullopt));
  ExpectEnglish(LoadResources(kBuiltin, folder_ / "program" / "ResDEU.dll"));
  // A folder of that name cannot be read as a file.
  std::filesystem::create_directory(folder_ / "program" / "ResESP.dll");
  ExpectEnglish(LoadResources(kBuiltin, folder_ / "program" / "ResESP.dll"));
  // Nothing before the fault is used either.
  ExpectEnglish(LoadResources(kBuiltin, Write("ResITA.dll", "STRINGTABLE BEGIN\n3141, \"Utilità\"\n5077 \"open\nEND\n")));
  EXPECT_NE(debug_.find("ResITA.dll: line 3: unterminated string"), std::string::npos) << debug_;
  ExpectEnglish(LoadResources(kBuiltin, Write("ResJPN.dll", std::string("STRINGTABLE BEGIN 3141, \"\x93\xfa\" END"))));
  // Far too large for a language file.
  std::string huge = "STRINGTABLE BEGIN 3141, \"Huge\" END\n";
  huge.resize(16 * 1024 * 1024 + 1, '#');
  ExpectEnglish(LoadResources(kBuiltin, Write("ResKOR.dll", huge)));
}

TEST_F(LanguageFileFolder, ProgramResourcesComeFromTheLocaleAndTheProgramFolder) {
  setenv("SCANUTIL_PREFIX", (folder_ / "prefix").c_str(), 1);
  platform::paths::SetProgramFolderForTest(folder_ / "program");
  Write("ResFRA.dll", "STRINGTABLE BEGIN 3141, \"Utilitaire\" END\n");
  Write("ResCH.dll", "STRINGTABLE BEGIN 3141, \"Chinese\" END\n");
  Write("errviewResFRA.dll", "STRINGTABLE BEGIN 3141, \"Affichage\" END\n");
  const std::string program_folder = platform::paths::ProgramFolder();

  platform::ForceLangIdsForTest(0x040C, 0x0409);
  EXPECT_EQ(LoadProgramResources(kBuiltin, program_folder).LoadString(3141), "Utilitaire");
  EXPECT_EQ(LoadProgramResources(kBuiltin, program_folder, "errview").LoadString(3141), "Affichage");

  platform::ForceLangIdsForTest(0x0404, 0x0404);
  ExpectEnglish(LoadProgramResources(kBuiltin, program_folder));
  platform::ForceLangIdsForTest(0x0804, 0x0804);
  EXPECT_EQ(LoadProgramResources(kBuiltin, program_folder).LoadString(3141), "Chinese");

  platform::ForceLangIdsForTest(0x0407, 0x0407);  // no ResDEU.dll beside the program
  ExpectEnglish(LoadProgramResources(kBuiltin, program_folder));
  EXPECT_TRUE(debug_.empty()) << debug_;
}

}  // namespace
}  // namespace resources
