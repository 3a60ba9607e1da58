// Placeholder bodies until the PC sections are written: each writes nothing.
#include "report/system_sections.h"

namespace report {

bool WriteDateSection(ReportFile&, ReportContext&) { return true; }
bool WriteCpuSection(ReportFile&, ReportContext&) { return true; }
bool WriteOsSection(ReportFile&, ReportContext&) { return true; }
bool WriteDriveSection(ReportFile&, ReportContext&) { return true; }
bool WriteMemorySection(ReportFile&, ReportContext&) { return true; }
bool WriteScsiDriverSection(ReportFile&, ReportContext&) { return true; }
bool WriteAdapterList(ReportFile&, ReportContext&) { return true; }
bool WriteUsbDriverSection(ReportFile&, ReportContext&) { return true; }
bool WriteRelatedFiles(ReportFile&, ReportContext&) { return true; }

}  // namespace report
