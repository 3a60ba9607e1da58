// The scanner part of the report: every attached scanner of the family in list
// order, each with its sections.
#pragma once
#include <vector>

#include "device/device_record.h"
#include "report/report_context.h"
#include "report/report_file.h"
#include "scanner/scanner_context.h"

namespace report {

// False when listing fails (after its message) or a section fails; the window's
// scanner is made current again either way once the list was read.
bool WriteScannerSections(ReportFile& file, ReportContext& context);
// The sections of one identified scanner, in order; false ends the run.
bool WriteScannerReport(ReportFile& file, scanner::ScannerContext& scanner);

// Tests: the listing in place of FindScanners (null: FindScanners again).
using ScannerLister = int (*)(std::vector<device::DeviceRecord>&);
void SetScannerListerForTest(ScannerLister lister);

}  // namespace report
