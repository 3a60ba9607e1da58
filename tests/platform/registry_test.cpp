#include "platform/registry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <tuple>

#include "platform/format.h"
#include "platform/registry_hive.h"
#include "tests/platform/test_env.h"

namespace platform {
namespace {

using testing::FolderNames;
using testing::ReadAll;
using testing::ScopedPrefix;
using testing::WriteAll;

// Every value of a hive as (key path, value name, value), in file order.
using Flat = std::vector<std::tuple<std::string, std::string, RegValue>>;

void FlattenInto(const hive::Key& key, const std::string& path, Flat& out) {
  for (const auto& [name, value] : key.values()) out.emplace_back(path, name, value);
  for (const hive::Key& sub : key.subkeys()) FlattenInto(sub, path + "\\" + sub.name(), out);
}

Flat Flatten(const hive::Key& root) {
  Flat out;
  FlattenInto(root, "", out);
  return out;
}

RegValue Typed(DWORD type, std::vector<uint8_t> data) { return RegValue{type, std::move(data)}; }

class RegistryTest : public ::testing::Test {
 protected:
  ~RegistryTest() override { FailHiveWriteAfterForTest(std::nullopt); }
  std::filesystem::path UserHive() const { return prefix_.path() / "user.reg"; }
  RegKey MustCreate(std::string_view path, RegRoot root = HKEY_CURRENT_USER) {
    std::optional<RegKey> key = RegKey::Create(root, path);
    EXPECT_TRUE(key) << path;
    return key ? *key : *RegKey::Open(root, "");
  }
  ScopedPrefix prefix_;
};

TEST_F(RegistryTest, ValuesOfEveryKindRoundTripThroughTheDocumentedTextForm) {
  RegKey key = MustCreate("Software\\Quorvex\\Scanner");
  const std::pair<const char*, RegValue> values[] = {
      {"Text", RegValue::String("a \"q\" \\ b\r\nc\x01 \xC3\xA9")},
      {"", RegValue::String("default")},
      {"Count", RegValue::Dword(0x1a)},
      {"Blob", Typed(REG_BINARY, {0x01, 0x02, 0xff})},
      {"Empty", RegValue::Binary(nullptr, 0)},
      {"NoNul", Typed(REG_SZ, {'a', 'b'})},
      {"Embedded", RegValue::String(std::string("a\0b", 3))},
      {"Short", Typed(REG_DWORD, {1, 2, 3})},
      {"Multi", Typed(7, {'a', 0, 0})},
      {"Odd \"name\"", Typed(0xABCDEF01, {0x10})},
  };
  for (const auto& [name, value] : values) EXPECT_TRUE(key.Set(name, value)) << name;
  EXPECT_EQ(ReadAll(UserHive()),
            "; registry hive\n"
            "[Software]\n"
            "[Software\\\\Quorvex]\n"
            "[Software\\\\Quorvex\\\\Scanner]\n"
            "\"Text\"=\"a \\\"q\\\" \\\\ b\\r\\nc\\x01 \xC3\xA9\"\n"
            "@=\"default\"\n"
            "\"Count\"=dword:0000001a\n"
            "\"Blob\"=hex:01,02,ff\n"
            "\"Empty\"=hex:\n"
            "\"NoNul\"=hex(1):61,62\n"
            "\"Embedded\"=\"a\\0b\"\n"
            "\"Short\"=hex(4):01,02,03\n"
            "\"Multi\"=hex(7):61,00,00\n"
            "\"Odd \\\"name\\\"\"=hex(abcdef01):10\n");
  for (const auto& [name, value] : values) EXPECT_EQ(key.Query(name), value) << name;
  EXPECT_EQ(key.Query("count")->AsDword(), 0x1au);
  EXPECT_EQ(key.Query("Text")->AsString(), "a \"q\" \\ b\r\nc\x01 \xC3\xA9");
  EXPECT_EQ(key.Query("Embedded")->AsString(), "a");
  EXPECT_EQ(key.Query("Blob")->AsDword(), std::nullopt);
}

TEST_F(RegistryTest, KeysCompareIgnoringCaseKeepTheirSpellingAndCreationOrder) {
  MustCreate("Software\\Quorvex\\Service Utility\\Scanner");
  for (const char* name : {"Zeta", "alpha", "ZETA", "Mid"}) MustCreate(std::string("SOFTWARE\\quorvex\\") + name);
  std::optional<RegKey> quorvex = RegKey::Open(HKEY_CURRENT_USER, "\\software\\\\QUORVEX\\");
  ASSERT_TRUE(quorvex);
  EXPECT_EQ(quorvex->SubKeys(), (std::vector<std::string>{"Service Utility", "Zeta", "alpha", "Mid"}));
  std::optional<RegKey> scanner = quorvex->OpenSubKey("service utility\\SCANNER");
  ASSERT_TRUE(scanner);
  EXPECT_EQ(scanner->Path(), "software\\QUORVEX\\service utility\\SCANNER");

  EXPECT_TRUE(scanner->Set("Kind", RegValue::Dword(1)));
  EXPECT_TRUE(scanner->Set("Name", RegValue::String("x")));
  EXPECT_TRUE(scanner->Set("KIND", RegValue::Dword(2)));  // replaced in place, first spelling kept
  EXPECT_EQ(scanner->ValueNames(), (std::vector<std::string>{"Kind", "Name"}));
  EXPECT_EQ(scanner->Query("kind"), RegValue::Dword(2));

  EXPECT_FALSE(RegKey::Open(HKEY_CURRENT_USER, "Software\\Missing"));
  EXPECT_FALSE(quorvex->OpenSubKey("Missing"));
  EXPECT_FALSE(RegKey::Open(HKEY_LOCAL_MACHINE, "Software\\Quorvex"));  // the other hive
  MustCreate("SYSTEM\\CurrentControlSet", HKEY_LOCAL_MACHINE);
  EXPECT_TRUE(RegKey::Open(HKEY_LOCAL_MACHINE, "system\\currentcontrolset"));
  EXPECT_TRUE(std::filesystem::exists(prefix_.path() / "system.reg"));
}

TEST_F(RegistryTest, DeletingValuesAndTrees) {
  RegKey a = MustCreate("A");
  RegKey deep = MustCreate("A\\B\\C");
  MustCreate("A\\Sibling");
  EXPECT_TRUE(a.Set("v", RegValue::Dword(1)));
  EXPECT_TRUE(deep.Set("w", RegValue::Dword(2)));
  EXPECT_TRUE(a.DeleteValue("V"));
  EXPECT_FALSE(a.DeleteValue("v"));
  EXPECT_EQ(a.ValueNames(), std::vector<std::string>{});

  EXPECT_TRUE(RegDeleteTree(HKEY_CURRENT_USER, "a\\b"));
  EXPECT_FALSE(RegDeleteTree(HKEY_CURRENT_USER, "A\\B"));
  EXPECT_EQ(a.SubKeys(), std::vector<std::string>{"Sibling"});
  // A key deleted under an open handle takes no values and does not come back.
  EXPECT_FALSE(deep.Set("w", RegValue::Dword(3)));
  EXPECT_FALSE(deep.Query("w"));
  EXPECT_FALSE(RegKey::Open(HKEY_CURRENT_USER, "A\\B"));

  EXPECT_TRUE(RegDeleteTree(HKEY_CURRENT_USER, ""));
  EXPECT_FALSE(RegKey::Open(HKEY_CURRENT_USER, "A"));
}

TEST_F(RegistryTest, NamesBeyondWindowsLimitsAreRefused) {
  EXPECT_TRUE(RegKey::Create(HKEY_CURRENT_USER, std::string(255, 'k')));
  EXPECT_FALSE(RegKey::Create(HKEY_CURRENT_USER, std::string(256, 'k')));
  std::string deep;
  for (int i = 0; i < 513; ++i) deep += "k\\";
  EXPECT_FALSE(RegKey::Create(HKEY_CURRENT_USER, deep));
  EXPECT_TRUE(RegKey::Create(HKEY_CURRENT_USER, deep.substr(4)));
  RegKey key = MustCreate("V");
  EXPECT_TRUE(key.Set(std::string(16383, 'n'), RegValue::Dword(1)));
  EXPECT_FALSE(key.Set(std::string(16384, 'n'), RegValue::Dword(1)));
}

TEST_F(RegistryTest, EveryReadSeesTheFileAsItIsNow) {
  RegKey key = MustCreate("Software\\Shared");
  EXPECT_TRUE(key.Set("v", RegValue::Dword(1)));
  WriteAll(UserHive(), "[Software\\\\Shared]\n\"v\"=dword:00000002\n");  // another process's write
  EXPECT_EQ(key.Query("v"), RegValue::Dword(2));
}

TEST_F(RegistryTest, WritersInSeveralProcessesLoseNoUpdate) {
  RegKey key = MustCreate("Software\\Shared");
  constexpr int kWrites = 25;
  auto write_values = [&key](const std::string& who) {
    bool all = true;
    for (int i = 0; i < kWrites; ++i) all &= key.Set(who + std::to_string(i), RegValue::Dword(static_cast<DWORD>(i)));
    return all;
  };
  std::vector<pid_t> children;
  for (const char* who : {"first", "second"}) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) ::_exit(write_values(who) ? 0 : 1);
    children.push_back(pid);
  }
  EXPECT_TRUE(write_values("parent"));
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(key.ValueNames().size(), 3u * kWrites);
  for (const char* who : {"first", "second", "parent"})
    EXPECT_EQ(key.Query(who + std::to_string(kWrites - 1)), RegValue::Dword(kWrites - 1)) << who;
}

TEST_F(RegistryTest, FailedWriteAtAnyByteLeavesTheOldHiveExactly) {
  RegKey key = MustCreate("Software\\Quorvex\\Scanner");
  EXPECT_TRUE(key.Set("Name", RegValue::String("old \"name\"")));
  EXPECT_TRUE(key.Set("Count", RegValue::Dword(7)));
  EXPECT_TRUE(MustCreate("Software\\Other").Set("Blob", RegValue::Binary("\x01\x02\x03", 3)));
  const std::string old_bytes = ReadAll(UserHive());
  const std::vector<std::string> folder = FolderNames(prefix_.path());
  EXPECT_EQ(folder, (std::vector<std::string>{"drive_c", "user.reg", "user.reg.lock"}));

  hive::Key expected = hive::Parse(old_bytes);
  hive::Find(expected, {"Software", "Quorvex", "Scanner"})->SetValue("Name", RegValue::String(std::string(300, 'n')));
  const std::string new_bytes = hive::Write(expected);

  for (size_t n = 0; n <= new_bytes.size(); n += 7) {
    FailHiveWriteAfterForTest(n);
    EXPECT_FALSE(key.Set("Name", RegValue::String(std::string(300, 'n')))) << n;
    ASSERT_EQ(ReadAll(UserHive()), old_bytes) << n;
    EXPECT_EQ(key.Query("Name"), RegValue::String("old \"name\"")) << n;
    EXPECT_EQ(FolderNames(prefix_.path()), folder) << n;
  }
  EXPECT_TRUE(key.Set("Name", RegValue::String(std::string(300, 'n'))));
  EXPECT_EQ(ReadAll(UserHive()), new_bytes);
  EXPECT_EQ(key.Query("Name"), RegValue::String(std::string(300, 'n')));
  EXPECT_EQ(FolderNames(prefix_.path()), folder);
}

TEST_F(RegistryTest, UnreadableHiveIsNeverOverwritten) {
  std::filesystem::create_directories(UserHive());  // something that cannot be read as a file
  EXPECT_FALSE(RegKey::Create(HKEY_CURRENT_USER, "Software"));
  EXPECT_TRUE(std::filesystem::is_directory(UserHive()));
}

TEST(HiveDamageTest, TruncationAnywhereKeepsEveryCompleteLine) {
  hive::Key tree;
  hive::FindOrCreate(tree, {"Software", "Quorvex"}).SetValue("Text", RegValue::String("line \"one\"\\"));
  hive::FindOrCreate(tree, {"Software", "Quorvex"}).SetValue("", RegValue::Dword(0xdeadbeef));
  hive::FindOrCreate(tree, {"Software", "Blob"}).SetValue("Bytes", Typed(REG_BINARY, {1, 2, 3, 4, 5}));
  hive::FindOrCreate(tree, {"Software", "Blob"}).SetValue("Odd", Typed(9, {0xAA, 0xBB}));
  const std::string text = hive::Write(tree);
  const Flat full = Flatten(tree);

  for (size_t cut = 0; cut <= text.size(); ++cut) {
    const std::string_view prefix = std::string_view(text).substr(0, cut);
    const std::string_view complete = prefix.substr(0, prefix.rfind('\n') + 1);
    const Flat got = Flatten(hive::Parse(prefix));
    size_t value_lines = 0;
    for (size_t i = 0; i < complete.size(); i = complete.find('\n', i) + 1) value_lines += complete[i] == '"' || complete[i] == '@';
    ASSERT_GE(got.size(), value_lines) << cut;
    for (size_t i = 0; i < got.size(); ++i) {
      const auto& [path, name, value] = got[i];
      const RegValue& original = std::get<2>(full[i]);
      EXPECT_EQ(std::tie(path, name), std::tie(std::get<0>(full[i]), std::get<1>(full[i]))) << cut;
      if (i < value_lines) {
        EXPECT_EQ(value, original) << cut;
      } else {  // the cut line may still read as a shorter byte list, never as other data
        EXPECT_EQ(value.type, original.type) << cut;
        EXPECT_TRUE(std::equal(value.data.begin(), value.data.end(), original.data.begin())) << cut;
      }
    }
  }
}

TEST_F(RegistryTest, DamagedHiveIsReadAsFarAsItMakesSenseAndAWriteKeepsIt) {
  constexpr char kJunk[] = "\0\x01\xff\xfe junk \"Z\"=\n";
  const std::string damaged = std::string("\"orphan\"=dword:00000001\n") +
                              "[Software\\\\Good]\r\n"
                              "\"A\"=\"alpha\"\r\n" +
                              std::string(kJunk, sizeof kJunk - 1) +
                              "\"B\"=dword:123\n"
                              "\"C\"=hex:1,2\n"
                              "\"C2\"=hex:01,02,\n" +
                              std::string(2 << 20, 'x') + "\n" +
                              "\"D\"=hex:0a,0b\n"
                              "[Unterminated\\\\Key\n"
                              "\"E\"=\"belongs to a broken key line\"\n"
                              "[" + std::string(300, 'L') + "]\n"
                              "\"E2\"=\"belongs to a key name too long\"\n"
                              "[software\\\\good]\n"
                              "\"a\"=\"a second A loses\"\n"
                              "\"F\"=dword:0000000F\n"
                              "[Software\\\\Other]\n"
                              "\"G\"=\"cut off";
  WriteAll(UserHive(), damaged);
  const Flat expected = {
      {"\\Software\\Good", "A", RegValue::String("alpha")},
      {"\\Software\\Good", "D", Typed(REG_BINARY, {0x0a, 0x0b})},
      {"\\Software\\Good", "F", RegValue::Dword(15)},
  };
  EXPECT_EQ(Flatten(hive::Parse(damaged)), expected);
  EXPECT_EQ(RegKey::Open(HKEY_CURRENT_USER, "Software")->SubKeys(), (std::vector<std::string>{"Good", "Other"}));

  EXPECT_TRUE(MustCreate("Software\\New").Set("N", RegValue::Dword(1)));
  Flat after = expected;
  after.emplace_back("\\Software\\New", "N", RegValue::Dword(1));
  EXPECT_EQ(Flatten(hive::Parse(ReadAll(UserHive()))), after);
  EXPECT_TRUE(RegKey::Open(HKEY_CURRENT_USER, "Software\\Other"));
}

// Keys and values are found through an index of their case-folded names, kept up to
// date by every edit, so a hive with many names costs milliseconds.
TEST(HiveScaleTest, FortyThousandKeysAndValuesAreFoundInMilliseconds) {
  constexpr int kNames = 40000;
  std::string text;
  for (int i = 0; i < kNames; ++i)
    text += "[Software\\\\Many\\\\Key" + std::to_string(i) + "]\n\"Value\"=" + Format("dword:%08x", i) + "\n";
  text += "[SOFTWARE\\\\many\\\\KEY7]\n\"value\"=\"second\"\n\"Added\"=\"yes\"\n[Software\\\\Wide]\n";
  for (int i = 0; i < kNames; ++i) text += "\"v" + std::to_string(i) + "\"=" + Format("dword:%08x", i) + "\n";
  text += "\"V7\"=\"second\"\n";

  const auto start = std::chrono::steady_clock::now();
  hive::Key root = hive::Parse(text);
  hive::Key* many = hive::Find(root, {"software", "MANY"});
  hive::Key* wide = hive::Find(root, {"SOFTWARE", "wide"});
  ASSERT_TRUE(many && wide);
  ASSERT_EQ(many->subkeys().size(), size_t{kNames});
  ASSERT_EQ(wide->values().size(), size_t{kNames});
  for (int i = 0; i < kNames; ++i) {
    const std::string n = std::to_string(i);
    const hive::Key* key = many->Child("KEY" + n);
    ASSERT_TRUE(key) << n;
    ASSERT_EQ(key->name(), "Key" + n);
    ASSERT_EQ(*key->Value("VALUE"), RegValue::Dword(i));
    ASSERT_EQ(*wide->Value("V" + n), RegValue::Dword(i));
  }
  EXPECT_EQ(*many->Child("key7")->Value("added"), RegValue::String("yes"));

  // Edits move names; every lookup after them still finds the right one.
  EXPECT_TRUE(many->DeleteChild("key0"));
  EXPECT_FALSE(many->Child("Key0"));
  EXPECT_EQ(many->Child("key1")->name(), "Key1");
  EXPECT_EQ(&hive::FindOrCreate(root, {"Software", "Many", "KEY39999"}), many->Child("Key39999"));
  EXPECT_TRUE(wide->DeleteValue("V0"));
  EXPECT_FALSE(wide->Value("v0"));
  wide->SetValue("V0", RegValue::String("back"));
  wide->SetValue("v1", RegValue::String("replaced"));
  EXPECT_EQ(wide->values().back(), std::make_pair(std::string("V0"), RegValue::String("back")));
  EXPECT_EQ(wide->values().front(), std::make_pair(std::string("v1"), RegValue::String("replaced")));
  EXPECT_EQ(*wide->Value("v2"), RegValue::Dword(2));
  hive::FindOrCreate(root, {"Software", "Many", "New"});
  EXPECT_EQ(many->subkeys().back().name(), "New");

  const std::string written = hive::Write(root);
  const auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(elapsed, 2.0) << elapsed << " s";
  EXPECT_EQ(Flatten(hive::Parse(written)), Flatten(root));
}

TEST(HiveDamageTest, AnyBytesParseAndEverythingReadSurvivesAWrite) {
  std::mt19937 random(11);
  const std::string alphabet = std::string("[]\"\\=@:,;#()\n\r\0 xhedword0129af", 31);
  for (int round = 0; round < 400; ++round) {
    std::string bytes(random() % 600, '\0');
    for (char& c : bytes) c = round % 3 ? alphabet[random() % alphabet.size()] : static_cast<char>(random());
    if (round % 2) bytes = "[K]\n\"v\"=" + bytes;
    const hive::Key first = hive::Parse(bytes);
    const std::string written = hive::Write(first);
    EXPECT_EQ(Flatten(hive::Parse(written)), Flatten(first)) << round;
    EXPECT_EQ(hive::Write(hive::Parse(written)), written) << round;
  }
}

}  // namespace
}  // namespace platform
