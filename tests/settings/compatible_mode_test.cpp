#include <gtest/gtest.h>

#include "device/device_library.h"
#include "emulator/device_builder.h"
#include "settings/compatible_choices.h"
#include "settings/compatible_mode_dlg.h"
#include "settings/setting_commands.h"
#include "tests/settings/settings_fixture.h"

namespace settings {
namespace {

using testing::Sent;
using testing::SettingsTest;
namespace ui = platform::ui;

class CompatibleModeTest : public SettingsTest {
 protected:
  std::vector<std::string> Items(ui::CDialog& d) {
    auto* list = static_cast<ui::CComboBox*>(d.GetDlgItem(kIdcCompatibleList));
    std::vector<std::string> items;
    for (int i = 0; i < list->GetCount(); ++i) items.push_back(list->GetItemText(i));
    return items;
  }
  ui::CComboBox* List(ui::CDialog& d) { return static_cast<ui::CComboBox*>(d.GetDlgItem(kIdcCompatibleList)); }
};

TEST_F(CompatibleModeTest, ChoicesByOwnTypeCode) {
  auto codes = [](uint8_t own) {
    std::vector<int> list;
    for (const CompatibleChoice& c : CompatibleChoices(own)) list.push_back(c.code);
    return list;
  };
  EXPECT_EQ(codes(16), (std::vector<int>{5, 9, 16}));
  EXPECT_EQ(codes(17), (std::vector<int>{2, 6, 16, 17}));
  EXPECT_EQ(codes(18), (std::vector<int>{3, 7, 16, 17, 18}));
  EXPECT_TRUE(codes(0).empty());
  EXPECT_TRUE(codes(19).empty());
}

TEST_F(CompatibleModeTest, TypeEighteenPresentingSeventeenSwitchesToTheFirstEntry) {
  Connect("DE-T5713ZA", [](emulator::DeviceBuilder& d) { d.CompatibleMode(18, 17); });
  actions_.Once<CDlgCompatibleMode>([&](CDlgCompatibleMode& d) {
    Shot(d, "compatible-mode");
    EXPECT_EQ(Items(d), (std::vector<std::string>{"DE-T9733A", "DE-T9713A", "DE-T2713Z", "DE-T5713ZP", "DE-T5713ZA"}));
    EXPECT_EQ(List(d)->GetItemText(List(d)->GetCurSel()), "DE-T5713ZP");
    ui::Select(List(d), 0);
    ui::Click(d.GetDlgItem(ui::IDOK));
  });
  EXPECT_EQ(RunCompatibleMode(context_, nullptr), SettingOutcome::kWritten);
  EXPECT_EQ(Settings(), (std::vector<Sent>{{0xE0, 0xA2, 2, {}}, {0xE1, 0xA2, 2, {0, 3}}}));
  EXPECT_EQ(context_.compatible_code, 18);
  EXPECT_EQ(context_.compatible_second, 3);
}

TEST_F(CompatibleModeTest, AnUnknownTypeCodeShowsAnEmptyListAndWritesTheCodeBack) {
  Connect("DE-T5713ZA", [](emulator::DeviceBuilder& d) { d.CompatibleMode(21, 9); });
  actions_.Once<CDlgCompatibleMode>([&](CDlgCompatibleMode& d) {
    Shot(d, "compatible-mode-empty");
    EXPECT_TRUE(Items(d).empty());
    ui::Click(d.GetDlgItem(ui::IDOK));
  });
  EXPECT_EQ(RunCompatibleMode(context_, nullptr), SettingOutcome::kWritten);
  EXPECT_EQ(Writes(), (std::vector<Sent>{{0xE1, 0xA2, 2, {0, 9}}}));
  EXPECT_EQ(context_.compatible_code, 21);
  EXPECT_EQ(context_.compatible_second, 9);
}

TEST_F(CompatibleModeTest, TheSimulatedScannerStandsInWithItsModelsPair) {
  struct Case {
    uint8_t model_code;
    size_t entries;
    const char* selected;
  } const cases[] = {{12, 3, "DE-T2713Z"}, {14, 4, "DE-T5713ZP"}, {16, 5, "DE-T5713ZA"}, {13, 0, ""}};
  device::SetSimulatedScanner(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.model_code));
    context_.model_code = c.model_code;
    actions_.Once<CDlgCompatibleMode>([&](CDlgCompatibleMode& d) {
      EXPECT_EQ(Items(d).size(), c.entries);
      EXPECT_EQ(List(d)->GetItemText(List(d)->GetCurSel()), c.selected);
      ui::Click(d.GetDlgItem(ui::IDCANCEL));
    });
    EXPECT_EQ(RunCompatibleMode(context_, nullptr), SettingOutcome::kCancelled);
  }
  device::SetSimulatedScanner(false);
}

TEST_F(CompatibleModeTest, CancelAndFailuresLeaveTheContext) {
  struct Case {
    const char* name;
    std::optional<uint8_t> failing_opcode;
    bool ok;
    SettingOutcome outcome;
    size_t writes;
  } const cases[] = {
      {"cancel", std::nullopt, false, SettingOutcome::kCancelled, 0},
      {"read fails", 0xE0, true, SettingOutcome::kFailed, 0},
      {"write fails", 0xE1, true, SettingOutcome::kFailed, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Connect("DE-T5713ZA", [](emulator::DeviceBuilder& d) { d.CompatibleMode(16, 16); });
    // After identification, which reads the pair too.
    if (c.failing_opcode)
      scanner_->AddFault(emulator::TransportErrorFault(emulator::CommandMatch::Command(*c.failing_opcode, 0xA2)));
    context_.compatible_code = 16;
    context_.compatible_second = 16;
    actions_.Once<CDlgCompatibleMode>([&](CDlgCompatibleMode& d) {
      ui::Select(List(d), 0);
      ui::Click(d.GetDlgItem(c.ok ? ui::IDOK : ui::IDCANCEL));
    });
    EXPECT_EQ(RunCompatibleMode(context_, nullptr), c.outcome);
    EXPECT_EQ(Writes().size(), c.writes);
    EXPECT_EQ(context_.compatible_code, 16);
    EXPECT_EQ(context_.compatible_second, 16);
    EXPECT_EQ(prompter_.boxes().size(), c.failing_opcode ? 1u : 0u);
    TearDown();
    SetUp();
  }
}

}  // namespace
}  // namespace settings
