// The PC's sections of the report, one writer each; false only when a write to the
// file failed (a missing source writes nothing or its error line).
#pragma once
#include "report/report_context.h"
#include "report/report_file.h"

namespace report {

bool WriteDateSection(ReportFile& file, ReportContext& context);
bool WriteCpuSection(ReportFile& file, ReportContext& context);
bool WriteOsSection(ReportFile& file, ReportContext& context);
bool WriteDriveSection(ReportFile& file, ReportContext& context);
bool WriteMemorySection(ReportFile& file, ReportContext& context);
bool WriteScsiDriverSection(ReportFile& file, ReportContext& context);
bool WriteAdapterList(ReportFile& file, ReportContext& context);
bool WriteUsbDriverSection(ReportFile& file, ReportContext& context);
bool WriteRelatedFiles(ReportFile& file, ReportContext& context);

}  // namespace report
