// Status block and caution report of the scanner and of an attached flatbed unit.
#pragma once
#include <cstdint>

namespace scanner {

struct ScannerStatus {
  uint32_t code = 0;           // block bytes 8-11
  uint8_t bytes[4] = {};       // block bytes 4-7
  uint8_t state = 0;           // block byte 0
  uint16_t result = 0;         // the raw result code of the read
};

struct CautionReport {
  uint8_t clean_roller = 0;
  uint8_t replace_roller = 0;
  uint8_t front_lamp = 0;
  uint8_t back_lamp = 0;
  uint8_t front_plate = 0;
  uint8_t back_plate = 0;
};

constexpr uint32_t kStatusBlockLength = 12;
constexpr uint32_t kCautionReportLength = 12;

// The result code is kept in status.result even when the read fails.
int ReadScannerStatus(uint8_t ha, uint8_t target, ScannerStatus& status, bool quiet);
int ReadFlatbedStatus(uint8_t ha, uint8_t target, ScannerStatus& status, bool quiet);
int ReadCautionReport(uint8_t ha, uint8_t target, CautionReport& report, bool quiet);

}  // namespace scanner
