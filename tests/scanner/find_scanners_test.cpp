#include "scanner/find_scanners.h"

#include <gtest/gtest.h>

#include "tests/scanner/scanner_fixture.h"

namespace scanner::testing {
namespace {

class FindScannersTest : public ScannerTest {
 protected:
  std::vector<std::string> Find(emulator::BusBuilder& builder) {
    Open(builder.Build());
    std::vector<device::DeviceRecord> records;
    EXPECT_EQ(FindScanners(records), 0);
    std::vector<std::string> products;
    for (const auto& r : records) products.push_back(Product(r));
    return products;
  }
};

TEST_F(FindScannersTest, AFlatbedUnitAloneIsNotListed) {
  emulator::BusBuilder builder;
  builder.Device("F").Product("DE-TT767").OnStiUsb();
  EXPECT_TRUE(Find(builder).empty());
}

TEST_F(FindScannersTest, UnlistedProductsNeedASupportedCompatibleMode) {
  emulator::BusBuilder builder;
  builder.Device("a").Product("DE-T2717Z").OnAspi(0, 1).CompatibleMode(17, 0);
  builder.Device("b").Product("DE-T9733A").OnAspi(0, 2).CompatibleMode(20, 0);
  builder.Device("c").Product("DE-T1733A").OnAspi(0, 3).CompatibleMode(22, 0);
  builder.Device("d").Product("DE-T2713Z").OnAspi(0, 4).CompatibleMode(15, 0);
  builder.Device("e").Product("DE-T4783Z").OnAspi(0, 5);
  builder.Device("f").Product("DE-T5473Z").OnAspi(0, 6).CompatibleMode(17, 0);
  EXPECT_EQ(Find(builder), (std::vector<std::string>{"DE-T2717Z", "DE-T2713Z", "DE-T4783Z"}));
}

TEST_F(FindScannersTest, AScannerThatDoesNotAnswerIsDropped) {
  emulator::BusBuilder builder;
  builder.Device("a").Product("DE-T4783Z").OnAspi(0, 1);
  builder.Device("b").Product("DE-T4793Z").OnAspi(0, 2).Fault(
      emulator::TransportErrorFault(emulator::CommandMatch::Opcode(0x00), emulator::kAlways));
  builder.Device("c").Product("DE-T2717Z").OnAspi(0, 3).CompatibleMode(16, 0).Fault(
      emulator::TransportErrorFault(emulator::CommandMatch::Command(0xE0, 0xA2), emulator::kAlways));
  EXPECT_EQ(Find(builder), std::vector<std::string>{"DE-T4783Z"});
}

TEST_F(FindScannersTest, OnlyTheFamilysVendorsAndProductsAreEnumerated) {
  emulator::BusBuilder builder;
  builder.Device("a").Vendor("OTHER").Product("DE-T4783Z").OnAspi(0, 1);
  builder.Device("b").Vendor("Q.M.X.").Product("DE-T9793").OnAspi(0, 2);
  builder.Device("c").Vendor("VORANTEK").Product("DE-T4743Z").OnAspi(0, 3);  // not in the filter list
  EXPECT_EQ(Find(builder), std::vector<std::string>{"DE-T9793"});
}

}  // namespace
}  // namespace scanner::testing
