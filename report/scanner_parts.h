// The writers behind WriteScannerReport, one per section. Each returns false when
// the run must end; a section that is left out returns true.
#pragma once
#include "report/report_file.h"
#include "scanner/model_codes.h"
#include "scanner/scanner_context.h"

namespace report::parts {

// The imprinter lines of the identity and of the test mode.
inline constexpr scanner::ModelSet kPreImprinterModels =
    scanner::ModelSet{3, 4, 5, 9, 10, 32} | scanner::ModelSet::Range(12, 29);
inline constexpr scanner::ModelSet kPostImprinterModels =
    scanner::ModelSet::Range(14, 21) | scanner::ModelSet{24, 33, 34};
// Front and back post-imprinters in place of the two above.
inline constexpr uint8_t kTwoImprinterModel = 35;

// "ON" or "OFF" from one bit.
inline const char* OnOffBit(uint8_t byte, int bit) { return (byte >> bit & 1) ? "ON" : "OFF"; }

// Never ends the run: it stops where a read or a write failed.
void WriteIdentity(ReportFile& file, const scanner::ScannerContext& c);
bool WriteSensorLevelsOffsets(ReportFile& file, const scanner::ScannerContext& c);
bool WriteSensorLevelsIllumination(ReportFile& file, const scanner::ScannerContext& c);
// Left out at 0; true only when the run goes on.
bool WriteFeedSpeed(ReportFile& file, const scanner::ScannerContext& c);
bool WriteCounters(ReportFile& file, scanner::ScannerContext& c);
bool WriteSleepMode(ReportFile& file, const scanner::ScannerContext& c);
bool WriteAdjustValues(ReportFile& file, const scanner::ScannerContext& c);
bool WriteTestMode(ReportFile& file, const scanner::ScannerContext& c);
bool WriteScannerStatus(ReportFile& file, const scanner::ScannerContext& c);
bool WriteSpd(ReportFile& file, const scanner::ScannerContext& c);
bool WriteSpecialFunction(ReportFile& file, const scanner::ScannerContext& c);
bool WriteShadingSource(ReportFile& file, const scanner::ScannerContext& c);
bool WriteFlatbedStatus(ReportFile& file, const scanner::ScannerContext& c);

}  // namespace report::parts
