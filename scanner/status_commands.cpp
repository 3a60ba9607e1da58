#include "scanner/status_commands.h"

#include <string>

#include "platform/bytes.h"
#include "scanner/cdb.h"
#include "scanner/command_support.h"

namespace scanner {
using namespace cdb;
namespace {

using namespace detail;

// Decodes the block; in simulated mode a status byte the scanner left 0 takes the
// key's non-zero value.
void DecodeStatus(const uint8_t* block, const char* key_prefix, ScannerStatus& status) {
  status.state = block[0];
  for (int i = 0; i < 4; ++i) {
    status.bytes[i] = block[4 + i];
    if (Simulated() && status.bytes[i] == 0) {
      const int value = SimValue(key_prefix + std::to_string(i), 0);
      if (value != 0) status.bytes[i] = static_cast<uint8_t>(value);
    }
  }
  status.code = platform::bytes::GetBE32(block + 8);
}

int ReadStatus(uint16_t result, const uint8_t* block, const char* key_prefix, ScannerStatus& status, bool quiet) {
  status.result = result;
  if (!Judge(result, quiet)) return 0;
  DecodeStatus(block, key_prefix, status);
  return 1;
}

}  // namespace

int ReadScannerStatus(uint8_t ha, uint8_t target, ScannerStatus& status, bool quiet) {
  SendReady(ha, target);
  uint8_t block[kStatusBlockLength] = {};
  const uint16_t result = VendorRead(ha, target, 0x01, block, sizeof(block));
  return ReadStatus(result, block, "DummySts", status, quiet);
}

int ReadFlatbedStatus(uint8_t ha, uint8_t target, ScannerStatus& status, bool quiet) {
  SendReady(ha, target);
  uint8_t block[kStatusBlockLength] = {};
  const uint16_t result = FlatbedRead(ha, target, 0x00, block, sizeof(block));
  return ReadStatus(result, block, "DummyTT767Sts", status, quiet);
}

int ReadCautionReport(uint8_t ha, uint8_t target, CautionReport& report, bool quiet) {
  SendReady(ha, target);
  uint8_t block[kCautionReportLength] = {};
  if (!Judge(VendorRead(ha, target, 0x90, block, sizeof(block)), quiet)) return 0;
  if (Simulated()) {
    struct Key {
      const char* name;
      int index;
      uint8_t value;
    };
    static constexpr Key kKeys[] = {
        {"DummyCleanRollerCaution", 0, 100},      {"DummyReplaceRollerCaution", 1, 100},
        {"DummyReplaceFrontLampCaution", 2, 255}, {"DummyReplaceBackLampCaution", 3, 255},
        {"DummyCleanFrontPlateCaution", 4, 255},  {"DummyCleanBackPlateCaution", 5, 255},
    };
    for (const Key& key : kKeys) {
      if (SimValue(key.name, 0) != 0) block[key.index] = key.value;
    }
  }
  report = {block[0], block[1], block[2], block[3], block[4], block[5]};
  return 1;
}

}  // namespace scanner
