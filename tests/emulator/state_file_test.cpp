#include "emulator/state_file.h"

#include <gtest/gtest.h>

#include "emulator/scenario.h"
#include "tests/platform/test_env.h"

namespace emulator {
namespace {

constexpr const char* kScenario =
    "[Device.desk]\nProduct=DE-T4783Z\nStillImage=usb\n"
    "[Device.rack]\nProduct=DE-T2713Z\nAspi=0:2\nCompatibleMode=16,0\n";

TEST(StateFileTest, WhatTheUtilityChangedComesBackInTheNextRun) {
  Scenario first = LoadScenario(kScenario);
  first.bus->Find("desk")->EditState([](ScannerState& s) {
    s.sleep.sleep_minutes = 42;
    s.counters.clean_threshold = 1700;
    s.counters.after_clean = 0;
    s.paper_mode = 0;
  });
  first.bus->Find("rack")->EditState([](ScannerState& s) {
    s.compatible_mode[1] = 9;
    s.buzzer = 0;
    s.flatbed.sleep_minutes = 7;
  });
  const std::string text = StateFileText(*first.bus);

  Scenario second = LoadScenario(kScenario);
  std::vector<std::string> warnings;
  ApplyStateFile(text, *second.bus, warnings);
  EXPECT_TRUE(warnings.empty()) << warnings.front();
  const ScannerState desk = second.bus->Find("desk")->State();
  EXPECT_EQ(desk.sleep.sleep_minutes, 42);
  EXPECT_EQ(desk.counters.clean_threshold, 1700u);
  EXPECT_EQ(desk.counters.after_clean, 0u);
  EXPECT_EQ(desk.paper_mode, 0);
  const ScannerState rack = second.bus->Find("rack")->State();
  EXPECT_EQ(rack.compatible_mode[1], 9);
  EXPECT_EQ(rack.buzzer, 0);
  EXPECT_EQ(rack.flatbed.sleep_minutes, 7);
  // A model without the compatible-mode read keeps not answering it.
  EXPECT_EQ(text.find("[Device.desk]\r\nSleepMinutes=42"), text.find("[Device.desk]"));
  EXPECT_FALSE(second.bus->Find("desk")->Profile().Find(0xE0, 0xA2));
  EXPECT_NE(text.find("\r\n"), std::string::npos);
}

TEST(StateFileTest, ADamagedFileChangesOnlyWhatItCanSay) {
  Scenario scenario = LoadScenario(kScenario);
  const auto before = scenario.bus->Find("desk")->State();
  std::vector<std::string> warnings;
  ApplyStateFile("[Device.desk]\nSleepMinutes=999\nBogus=1\n[Device.gone]\nBuzzer=0\n[Other]\n\x01\xff[",
                 *scenario.bus, warnings);
  EXPECT_EQ(scenario.bus->Find("desk")->State().sleep.sleep_minutes, before.sleep.sleep_minutes);
  EXPECT_GE(warnings.size(), 3u);
}

TEST(StateFileTest, SavedBesideTheScenarioAtomically) {
  platform::testing::TempDir dir;
  const auto scenario_path = dir.path() / "demo.ini";
  platform::testing::WriteAll(scenario_path, kScenario);
  Scenario scenario = LoadScenarioFile(scenario_path.string());
  ASSERT_TRUE(SaveStateFile(*scenario.bus, scenario_path));
  EXPECT_EQ(platform::testing::ReadAll(StateFilePath(scenario_path)), StateFileText(*scenario.bus));
  EXPECT_EQ(StateFilePath(scenario_path).filename(), "demo.ini.state");
}

}  // namespace
}  // namespace emulator
