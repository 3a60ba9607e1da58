#include "platform/paths.h"
#include "report/file_version.h"
#include "report/system_sections.h"
#include "resources/builtin_scripts.h"
#include "resources/script_parser.h"
#include "tests/report/pc_section_fixture.h"
#include "utility/about_dlg.h"
#include "utility/version.h"

namespace report {
namespace {

using testing::Crlf;

constexpr const char* kFrenchScript = R"(STRINGTABLE BEGIN 3141, "Utilitaire" END
1 VERSIONINFO
BEGIN
  BLOCK "StringFileInfo" { BLOCK "040C04B0" { VALUE "FileVersion", "1.0.0.7" } BLOCK "040904B0" { VALUE "FileVersion", "9" } }
  BLOCK "VarFileInfo" { VALUE "Translation", 0x40C, 1200, 0x409, 1200 }
END
)";

class RelatedFilesTest : public testing::PcSectionTest {
 protected:
  RelatedFilesTest() {
    std::filesystem::create_directories(program_folder());
    platform::paths::SetProgramFolderForTest(program_folder());
  }
  ~RelatedFilesTest() override { platform::paths::SetProgramFolderForTest(std::nullopt); }

  std::filesystem::path program_folder() const { return prefix.drive_c() / "Program Files/Scanner"; }
  std::string Module() const { return platform::paths::GetModuleFileName(); }
  void PutProgram() const {
    platform::testing::WriteAll(*platform::paths::ToHost(Module()), "\x7f" "ELF");
  }
};

TEST_F(RelatedFilesTest, TheProgramsVersionIsTheOneItsScriptAndAboutBoxGive) {
  PutProgram();
  const auto script = resources::ParseResourceScript(resources::ScanutilScript()).script;
  ASSERT_TRUE(script && script->version);
  const utility::FileVersion about = utility::kProgramVersion;
  EXPECT_EQ(script->version->file_version, (std::array<uint16_t, 4>{about.major, about.minor, about.build, about.revision}));
  EXPECT_EQ(FileVersion(Module()), utility::VersionLabel(about));
}

TEST_F(RelatedFilesTest, FileVersionOfScriptsOtherFilesAndMissingOnes) {
  const struct {
    const char* name;
    const char* content;  // null: no file
    const char* version;
  } cases[] = {
      {"ResFRA.dll", kFrenchScript, "1.0.0.7"},  // the first translation's block
      {"plain.dll", "MZ\x90\x00", " does not exist"},
      {"strings.dll", "STRINGTABLE BEGIN 1, \"a\" END", " does not exist"},
      {"untranslated.dll", "1 VERSIONINFO BEGIN BLOCK \"StringFileInfo\" { BLOCK \"040904B0\" { VALUE \"FileVersion\", \"2\" } } END",
       " does not exist"},
      {"missing.dll", nullptr, " does not exist"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.content) platform::testing::WriteAll(program_folder() / c.name, c.content);
    EXPECT_EQ(FileVersion(platform::paths::ProgramFolder() + c.name), c.version);
  }
  std::filesystem::create_directories(prefix.drive_c() / "folder.dll");
  EXPECT_EQ(FileVersion("C:\\folder.dll"), " does not exist");
  EXPECT_EQ(FileVersion("Q:\\x.dll"), " does not exist");
}

TEST_F(RelatedFilesTest, FoundFilesInOrderWithTheirVersions) {
  EXPECT_EQ(Written(WriteRelatedFiles), Crlf("<< Related files >>\n"));

  const auto windows = prefix.drive_c() / "windows";
  platform::testing::WriteAll(windows / "system32/drivers/usbscan.sys", "MZ");
  platform::testing::WriteAll(windows / "system32/wnaspi32.dll", "MZ");
  platform::testing::WriteAll(windows / "twain_32.dll", "MZ");  // file names ignore case
  platform::testing::WriteAll(windows / "Twain.dll", "MZ");
  platform::testing::WriteAll(windows / "system/iosubsys/aspienum.vxd", "MZ");
  platform::testing::WriteAll(program_folder() / "ResJPN.dll", kFrenchScript);
  platform::testing::WriteAll(program_folder() / "ResDEU.dll", "STRINGTABLE BEGIN END");
  PutProgram();
  const std::string folder = platform::paths::ProgramFolder();
  EXPECT_EQ(Written(WriteRelatedFiles),
            Crlf("<< Related files >>\n"
                 "Name, C:\\windows\\system32\\wnaspi32.dll\nVersion,  does not exist\n\n"
                 "Name, C:\\windows\\system\\iosubsys\\aspienum.vxd\nVersion,  does not exist\n\n"
                 "Name, C:\\windows\\Twain_32.dll\nVersion,  does not exist\n\n"
                 "Name, C:\\windows\\Twain.dll\nVersion,  does not exist\n\n"
                 "Name, " + Module() + "\nVersion, 1.0.0.1\n\n"
                 "Name, " + folder + "ResDEU.dll\nVersion,  does not exist\n\n"
                 "Name, " + folder + "ResJPN.dll\nVersion, 1.0.0.7\n\n"
                 "Name, C:\\windows\\system32\\drivers\\usbscan.sys\nVersion,  does not exist\n\n"));
}

TEST_F(RelatedFilesTest, TheFamilysFilesAndTheApplicationsItsKeysName) {
  const auto windows = prefix.drive_c() / "windows";
  platform::testing::WriteAll(windows / "twain_32/Quorvex/QMXTwain.ds", "MZ");
  platform::testing::WriteAll(windows / "system32/drivers/QMXScsi.sys", "MZ");
  platform::testing::WriteAll(windows / "system32/drivers/scsiscan.sys", "MZ");
  platform::testing::WriteAll(program_folder() / "errview", "\x7f" "ELF");
  platform::testing::WriteAll(program_folder() / "errviewResFRA.dll", kFrenchScript);
  platform::testing::WriteAll(prefix.drive_c() / "Apps/Scan/QMXScan.exe", kFrenchScript);
  PutProgram();
  const char* const kIndicatorKey =
      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{6E3A1F52-0C4D-4B8A-9E27-5D1C8B0A7F31}";
  // The indicator's key names a folder without its file; the application's folder has it.
  testing::SetStrings(kIndicatorKey, {{"InstallLocation", "C:\\Apps\\Indicator\\"}});
  testing::SetStrings("SOFTWARE\\Quorvex\\Scanning Application", {{"InstallDir", "C:\\Apps\\Scan"}});
  const std::string folder = platform::paths::ProgramFolder();
  const std::string expected = "<< Related files >>\n"
                               "Name, C:\\windows\\twain_32\\Quorvex\\QMXTwain.ds\nVersion,  does not exist\n\n"
                               "Name, " + Module() + "\nVersion, 1.0.0.1\n\n"
                               "Name, " + folder + "errview\nVersion,  does not exist\n\n"
                               "Name, " + folder + "errviewResFRA.dll\nVersion, 1.0.0.7\n\n"
                               "Name, C:\\windows\\system32\\drivers\\scsiscan.sys\nVersion,  does not exist\n\n"
                               "Name, C:\\windows\\system32\\drivers\\QMXScsi.sys\nVersion,  does not exist\n\n"
                               "Name, C:\\Apps\\Indicator\\QMXIndicator.exe\nVersion, does not exist\n\n"
                               "Name, C:\\Apps\\Scan\\QMXScan.exe\nVersion, 1.0.0.7\n\n";
  EXPECT_EQ(Written(WriteRelatedFiles), Crlf(expected));

  // A key without its value names no folder: no entry.
  ASSERT_TRUE(platform::RegKey::Open(platform::HKEY_LOCAL_MACHINE, kIndicatorKey)->DeleteValue("InstallLocation"));
  EXPECT_EQ(Written(WriteRelatedFiles).find("QMXIndicator"), std::string::npos);
}

}  // namespace
}  // namespace report
