// A device library running against an emulated bus, with a fresh prefix and the fake clock.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string_view>
#include <memory>
#include <vector>

#include "device/device_library.h"
#include "emulator/device_builder.h"
#include "emulator/driver_keys.h"
#include "emulator/install.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "tests/platform/test_env.h"

namespace device::testing {

class DeviceLibraryTest : public ::testing::Test {
 protected:
  void TearDown() override {
    CloseDeviceLibrary();
    emulator::Uninstall();
    platform::system::ForceWow64ForTest(std::nullopt);
    SetSimulatedScanner(false);
  }

  // Installs the bus and opens both transports. With DEVICE_TESTS_ASPI=sg the ASPI side
  // is the SCSI generic provider over the bus standing in for the kernel.
  uint32_t Open(std::shared_ptr<emulator::Bus> bus, emulator::InstallOptions options = {}) {
    bus_ = bus;
    if (OverScsiGeneric()) options.provider = emulator::AspiProvider::kScsiGeneric;
    emulator::InstallDriverKeys(*bus);
    emulator::Install(bus, options);
    return OpenDeviceLibrary(kOpenAspi | kOpenStillImage);
  }

  static bool OverScsiGeneric() {
    const char* provider = std::getenv("DEVICE_TESTS_ASPI");
    return provider && std::string_view(provider) == "sg";
  }

  std::vector<DeviceRecord> Enumerate() {
    std::vector<DeviceRecord> records;
    EXPECT_EQ(EnumerateDevices(records), 0);
    return records;
  }

  static std::string Product(const DeviceRecord& r) {
    std::string s(reinterpret_cast<const char*>(r.Inquiry + 16), 16);
    return s.substr(0, s.find_last_not_of(' ') + 1);
  }

  platform::testing::ScopedPrefix prefix_;
  platform::ScopedFakeClock clock_;
  std::shared_ptr<emulator::Bus> bus_;
};

// A 10-byte block with the vendor read or write of data type `type`.
inline ScsiRequestBlock VendorBlock(uint8_t opcode, uint8_t type, uint8_t* data, uint32_t length) {
  ScsiRequestBlock block{};
  block.SRB_Flags = opcode == 0xE1 ? platform::aspi::SRB_DIR_OUT : platform::aspi::SRB_DIR_IN;
  block.SRB_BufLen = length;
  block.SRB_BufPointer = data;
  block.SRB_SenseLen = kSenseLength;
  block.SRB_CDBLen = 10;
  block.CDBByte[0] = opcode;
  block.CDBByte[2] = type;
  block.CDBByte[6] = static_cast<uint8_t>(length >> 16);
  block.CDBByte[7] = static_cast<uint8_t>(length >> 8);
  block.CDBByte[8] = static_cast<uint8_t>(length);
  return block;
}

inline ScsiRequestBlock TestUnitReadyBlock() {
  ScsiRequestBlock block{};
  block.SRB_Flags = platform::aspi::SRB_DIR_OUT;
  block.SRB_SenseLen = kSenseLength;
  block.SRB_CDBLen = 6;
  return block;
}

}  // namespace device::testing
