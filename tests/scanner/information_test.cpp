// What identification reads about the scanner: options, memory, versions, boards,
// paper mode, buzzer, identity text and the individual settings, in their order.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "scanner/information.h"
#include "scanner/text_forms.h"
#include "tests/scanner/scanner_fixture.h"

namespace scanner::testing {
namespace {

using Bytes = std::vector<uint8_t>;

class InformationTest : public ScannerTest {
 protected:
  // Identification's own exchanges stay in the log.
  void Connect(const char* product, const DeviceSetup& setup = {}) {
    ScannerTest::Connect(product, setup, true);
  }
  // Opcode and data type of every command but TEST UNIT READY, in order.
  std::vector<std::pair<uint8_t, uint8_t>> Reads() const {
    std::vector<std::pair<uint8_t, uint8_t>> reads;
    for (const auto& e : Exchanges()) reads.emplace_back(e.Cdb()[0], e.Cdb()[2]);
    return reads;
  }
};

TEST_F(InformationTest, ReadsComeInTheirOrder) {
  using R = std::vector<std::pair<uint8_t, uint8_t>>;
  Connect("DE-T2723Z");  // wide-body: both memory blocks, buzzer only, the 4-byte individual read
  EXPECT_EQ(Reads(), (R{{0xE0, 0xA2}, {0xE8, 0x04}, {0x28, 0x93}, {0xE0, 0xA3}, {0xE0, 0xA3}, {0xE0, 0x83},
                        {0xE0, 0x81}, {0xE0, 0xA1}, {0xE0, 0x92}, {0xE0, 0xAA}}));
  TearDown();
  SetUp();
  Connect("DE-T2713Z");  // production: front memory block, paper mode and buzzer, 2-byte individual read
  EXPECT_EQ(Reads(), (R{{0xE0, 0xA2}, {0xE8, 0x04}, {0x28, 0x93}, {0xE0, 0xA3}, {0xE0, 0x83}, {0xE0, 0x81},
                        {0xE0, 0x8A}, {0xE0, 0xA1}, {0xE0, 0x92}, {0xE0, 0xAA}}));
  TearDown();
  SetUp();
  Connect("DE-T4783Z");  // compact: no compatible mode, no memory blocks, no individual read
  EXPECT_EQ(Reads(), (R{{0xE8, 0x04}, {0x28, 0x93}, {0xE0, 0x83}, {0xE0, 0x81}, {0xE0, 0x92}}));
  EXPECT_TRUE(prompter_.boxes().empty());
}

TEST_F(InformationTest, MemoryByFamily) {
  struct Case {
    const char* product;
    uint16_t memory, back;
    uint16_t shown_memory, shown_back;
  } const cases[] = {
      {"DE-T2723Z", 0x0400, 0x0100, 768, 256},  // 13: the back memory is part of the total
      {"DE-T8713ZP", 0x0400, 0, 512, 512},      // 17: halves
      {"DE-T2713Z", 0x0200, 0x0100, 512, 0},    // production: no back memory
      {"DE-T4783Z", 0x0100, 0x0100, 256, 0},
      {"DE-T2723Z", 0x0100, 0x0400, 0, 1024},   // a back larger than the total does not wrap
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.product);
    Connect(c.product, [&](emulator::DeviceBuilder& d) { d.Memory(c.memory, c.back); });
    EXPECT_EQ(context_.memory_mb, c.shown_memory);
    EXPECT_EQ(context_.back_memory_mb, c.shown_back);
    TearDown();
    SetUp();
  }
  Connect("DE-T2723Z", [](emulator::DeviceBuilder& d) { d.Memory(0x0400, 0x0100); });
  EXPECT_EQ(MemoryText(context_), "768 MB");
  EXPECT_EQ(BackMemoryText(context_), "256 MB");
}

TEST_F(InformationTest, MemoryModuleDataComesFromBehindTheHeader) {
  Connect("DE-T2723Z", [](emulator::DeviceBuilder& d) {
    d.Edit([](emulator::ScannerState& s) {
      for (size_t i = 0; i < s.spd_front.size(); ++i) {
        s.spd_front[i] = static_cast<uint8_t>(i);
        s.spd_back[i] = static_cast<uint8_t>(0xFF - i);
      }
    });
  });
  EXPECT_EQ(context_.spd_front[0], 0);
  EXPECT_EQ(context_.spd_front[127], 127);
  EXPECT_EQ(context_.spd_back[0], 0xFF);
  std::vector<Bytes> qualifiers;
  for (const auto& e : Exchanges())
    if (e.Cdb()[2] == 0xA3) qualifiers.push_back(e.Cdb());
  ASSERT_EQ(qualifiers.size(), 2u);
  EXPECT_EQ(qualifiers[0], (Bytes{0xE0, 0, 0xA3, 0, 0x80, 0, 0, 0, 130, 0}));
  EXPECT_EQ(qualifiers[1], (Bytes{0xE0, 0, 0xA3, 0, 0x00, 0, 0, 0, 130, 0}));
}

TEST_F(InformationTest, OptionsAndCapabilitiesFromTheConfiguration) {
  Connect("DE-T5713ZA", [](emulator::DeviceBuilder& d) {
    d.Imprinters(true, false).OneSided().PowerOffCapability().FlatbedAttached().Edit(
        [](emulator::ScannerState& s) {
          s.config.no_color_option = true;
          s.config.counter_setting = true;
        });
  });
  EXPECT_TRUE(context_.pre_imprinter);
  EXPECT_FALSE(context_.post_imprinter);
  EXPECT_EQ(context_.sides, 1);
  EXPECT_FALSE(context_.color_option);
  EXPECT_TRUE(context_.power_off);
  EXPECT_TRUE(context_.counter_setting);
  EXPECT_TRUE(context_.flatbed_connected);
  EXPECT_TRUE(context_.flatbed_usable);
  TearDown();
  SetUp();
  Connect("DE-T4783Z");
  EXPECT_EQ(context_.sides, 2);
  EXPECT_TRUE(context_.color_option);
}

TEST_F(InformationTest, SomeModelsAlwaysHaveTheCounterSetting) {
  struct Case {
    const char* product;
    bool bit;             // configuration byte 24 bit 2
    bool config_fails;
    bool counter_setting;
  } const cases[] = {
      {"DE-T4783Z", false, false, true},  {"DE-T4783Z", false, true, true},   // 39
      {"DE-T4793Z", false, true, true},                                       // 37
      {"DE-T9786Z", false, true, true},                                       // 5
      {"DE-T2713Z", false, false, false}, {"DE-T2713Z", true, false, true},   // 12 follows the bit
      {"DE-T2713Z", true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.product) + (c.bit ? " bit" : "") + (c.config_fails ? " no config" : ""));
    Connect(c.product, [&](emulator::DeviceBuilder& d) {
      d.Edit([&](emulator::ScannerState& s) { s.config.counter_setting = c.bit; });
      if (c.config_fails)
        d.Fault(emulator::SenseFault(emulator::CommandMatch::Command(0x28, 0x93), {5, 0x24, 0}, emulator::kAlways));
    });
    EXPECT_EQ(context_.counter_setting, c.counter_setting);
    TearDown();
    SetUp();
  }
  // Also when the scanner is simulated and its key says otherwise.
  device::SetSimulatedScanner(true);
  WriteIni("[Debug]\nDummyCounterSettinEnable=0\n");
  device::DeviceRecord record{};
  std::memcpy(record.Inquiry + 16, "DE-T4793Z       ", 16);
  ASSERT_EQ(IdentifyScanner(context_, record, false), 1);
  EXPECT_TRUE(context_.counter_setting);
}

TEST_F(InformationTest, VersionsTakeOnlyTheirPresentFields) {
  Connect("DE-T2713Z", [](emulator::DeviceBuilder& d) {
    d.Edit([](emulator::ScannerState& s) {
      s.versions = {"2.05", "1.10", "", "0.30", "9.99"};
      s.board.firmware_revision = 'C';
    });
  });
  EXPECT_STREQ(context_.firmware_version, "2.05");
  EXPECT_STREQ(context_.second_version, "1.10");
  EXPECT_STREQ(context_.third_version, "");
  EXPECT_STREQ(context_.fourth_version, "0.30");
  EXPECT_STREQ(context_.fifth_version, "9.99");
  EXPECT_EQ(FirmwareVersionText(context_, true), "2.05.C");
}

TEST_F(InformationTest, BoardInformationByLayout) {
  const auto board = [](emulator::ScannerState& s) {
    s.board = {};
    s.board.terminator = 1;
    s.board.control = 11;
    s.board.interface_board = 12;
    s.board.drive = 13;
    s.board.extra1 = 14;
    s.board.gate_array1 = 21;
    s.board.gate_array1_second = 22;
    s.board.gate_array2 = 23;
    s.board.gate_array2_second = 24;
    s.board.gate_array3 = 25;
    s.board.firmware_revision = 'A';
  };
  Connect("DE-T2713Z", [&](emulator::DeviceBuilder& d) { d.Edit(board); });  // production
  EXPECT_TRUE(context_.terminator);
  EXPECT_EQ(context_.control_board, 11);
  EXPECT_EQ(context_.interface_board, 12);
  EXPECT_EQ(context_.drive_board, 13);
  EXPECT_EQ(GateArrayText(context_, 0), "21");
  EXPECT_EQ(context_.firmware_revision, 'A');
  TearDown();
  SetUp();
  Connect("DE-T3733Z", [&](emulator::DeviceBuilder& d) { d.Edit(board); });  // wide-body 22
  EXPECT_FALSE(context_.terminator);
  EXPECT_EQ(context_.interface_board, 0);  // only 13, 28 and 29 report it
  EXPECT_EQ(context_.extra_board[0], 14);
  EXPECT_EQ(GateArrayText(context_, 0), "21-22");
  EXPECT_EQ(GateArrayText(context_, 1), "23-24");
  EXPECT_EQ(GateArrayText(context_, 2), "25");
  TearDown();
  SetUp();
  Connect("DE-T4783Z", [&](emulator::DeviceBuilder& d) {
    d.Edit([&](emulator::ScannerState& s) {
      board(s);
      s.board.terminator = 0;
    });
  });
  EXPECT_TRUE(context_.terminator);  // always set for the compact family
  EXPECT_EQ(context_.gate_array[0], 21);
}

TEST_F(InformationTest, TheFourByteBoardGroupTakesTheGateArraysHighNibble) {
  struct Case {
    uint8_t byte2;
    uint8_t gate_array;
  } const cases[] = {{0x30, 3}, {0x35, 5}, {0x07, 7}, {0x00, 0}};
  for (const Case& c : cases) {
    Connect("DE-T9793", [&](emulator::DeviceBuilder& d) { d.VendorRead(0x81, {1, 6, c.byte2, 'B'}); });
    EXPECT_EQ(context_.gate_array[0], c.gate_array) << int(c.byte2);
    EXPECT_EQ(context_.control_board, 6);
    EXPECT_TRUE(context_.terminator);
    EXPECT_EQ(context_.firmware_revision, 'B');
    TearDown();
    SetUp();
  }
}

TEST_F(InformationTest, IdentityTextAndIndividualSettings) {
  Connect("DE-T2723Z", [](emulator::DeviceBuilder& d) {
    d.IdentityText("ABCDEFGHIJKLMNOP").Edit([](emulator::ScannerState& s) { s.individual_settings = {0, 0, 0x20, 0}; });
  });
  EXPECT_STREQ(context_.identity_text, "ABCDEFGHIJKLMNOP");
  EXPECT_TRUE(context_.individual_settings);
  EXPECT_TRUE(context_.individual_extension);
  TearDown();
  SetUp();
  Connect("DE-T2713Z");
  EXPECT_TRUE(context_.individual_settings);
  EXPECT_FALSE(context_.individual_extension);
  TearDown();
  SetUp();
  Connect("DE-T2713Z", [](emulator::DeviceBuilder& d) {
    d.Fault(emulator::SenseFault(emulator::CommandMatch::Command(0xE0, 0xAA), {5, 0x24, 0}));
  });
  EXPECT_FALSE(context_.individual_settings);
  EXPECT_TRUE(prompter_.boxes().empty());
}

TEST_F(InformationTest, AFailedReadLeavesTheResetValues) {
  Connect("DE-T2723Z", [](emulator::DeviceBuilder& d) {
    d.Memory(0x400, 0x100).Firmware("2.05").Fault(
        emulator::SenseFault(emulator::CommandMatch::Opcode(0x28), {5, 0x24, 0}, emulator::kAlways));
    d.Fault(emulator::SenseFault(emulator::CommandMatch::Command(0xE0, 0x83), {5, 0x24, 0}));
  });
  EXPECT_EQ(context_.memory_mb, 0);
  EXPECT_FALSE(context_.pre_imprinter);
  EXPECT_TRUE(context_.color_option);
  EXPECT_STREQ(context_.firmware_version, "");
  EXPECT_TRUE(context_.connected);
  EXPECT_TRUE(prompter_.boxes().empty());
  EXPECT_EQ(ReadConfiguration(context_), 0);
}

}  // namespace
}  // namespace scanner::testing
