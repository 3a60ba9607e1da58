#include "report/scanner_sections.h"

#include <vector>

#include "device/device_library.h"
#include "platform/message_box.h"
#include "report/scanner_parts.h"
#include "scanner/find_scanners.h"
#include "scanner/identify.h"
#include "scanner/model_codes.h"

namespace report {
namespace {

using scanner::ModelSet;

constexpr const char* kFlatbedUnitProduct = "DE-TT767";
constexpr ModelSet kOffsetSensorModels = ModelSet::Range(12, 29) | ModelSet{32};
constexpr ModelSet kFeedSpeedModels = ModelSet::Range(12, 24) | ModelSet{28, 29, 33, 34, 35};
constexpr ModelSet kIlluminationSensorModels =
    ModelSet::Range(0, 11) | ModelSet{30, 31, 36} | ModelSet::Range(scanner::kFlatbedModelCode, 63);
constexpr ModelSet kShadingSourceModels =
    ModelSet{5, 6, 8, 10, 32} | ModelSet::Range(12, 29) | scanner::kCompactFamily;

ScannerLister lister_for_test = nullptr;

bool WriteOne(ReportFile& file, const device::DeviceRecord& record) {
  if (device::SelectDevice(record) != 0) return true;
  scanner::ScannerContext scanner;
  scanner::ResetContext(scanner);
  scanner::IdentifyScanner(scanner, record, false);
  return WriteScannerReport(file, scanner);
}

// The window's scanner becomes the current device again.
void ReselectWindowScanner(scanner::ScannerContext& own) {
  if (!own.connected) return;
  if (device::SelectDevice(own.record) != 0) {
    own.connected = false;
    return;
  }
  device::StartEventForwarding();
}

}  // namespace

bool WriteScannerReport(ReportFile& file, scanner::ScannerContext& c) {
  const uint8_t code = c.model_code;
  const bool interface_board = scanner::kInterfaceBoardFamily.Has(code);
  parts::WriteIdentity(file, c);
  if (kOffsetSensorModels.Has(code) && !parts::WriteSensorLevelsOffsets(file, c)) return false;
  if (kFeedSpeedModels.Has(code) && !parts::WriteFeedSpeed(file, c)) return false;
  if (kIlluminationSensorModels.Has(code) && !parts::WriteSensorLevelsIllumination(file, c)) return false;
  if (!parts::WriteCounters(file, c)) return false;
  if (!interface_board) {
    if (!parts::WriteSleepMode(file, c) || !parts::WriteAdjustValues(file, c) || !parts::WriteTestMode(file, c) ||
        !parts::WriteScannerStatus(file, c) || !parts::WriteSpd(file, c))
      return false;
  }
  if (!parts::WriteSpecialFunction(file, c)) return false;
  if (kShadingSourceModels.Has(code) && !parts::WriteShadingSource(file, c)) return false;
  if (c.flatbed_usable && !parts::WriteFlatbedStatus(file, c)) return false;
  return true;
}

void SetScannerListerForTest(ScannerLister lister) { lister_for_test = lister; }

bool WriteScannerSections(ReportFile& file, ReportContext& context) {
  std::vector<device::DeviceRecord> records;
  if ((lister_for_test ? lister_for_test : scanner::FindScanners)(records) != 0) {
    platform::AfxMessageBox("SDI_GetDeviceList failed.");
    return false;
  }
  bool written = true;
  if (records.empty()) {
    written = file.Write("<< Scanner >>\nNot Connected.\n\n");
  } else {
    for (const device::DeviceRecord& record : records) {
      if (record.ProductStartsWith(kFlatbedUnitProduct)) continue;
      if (!WriteOne(file, record)) {
        written = false;
        break;
      }
    }
  }
  ReselectWindowScanner(context.window_scanner);
  return written;
}

}  // namespace report
