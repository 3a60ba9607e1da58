#include "report/report_run.h"

#include <string>

#include "platform/ui/file_dialog.h"
#include "report/scanner_sections.h"
#include "report/system_sections.h"
#include "report/work_folder.h"
#include "resources/app_resources.h"
#include "scanner/service_mode.h"

namespace report {
namespace {

namespace ui = platform::ui;

constexpr int kIdsTextFileFilter = 2033;
constexpr uint8_t kNoPreparationModel = 36;

std::string ReportFolder() { return WorkFolder("ScanInfo"); }

using SectionWriter = bool (*)(ReportFile&, ReportContext&);

constexpr SectionWriter kSections[] = {
    WriteDateSection,      WriteCpuSection,        WriteOsSection,
    WriteDriveSection,     WriteMemorySection,     WriteScsiDriverSection,
    WriteAdapterList,      WriteUsbDriverSection,  WriteScannerSections,
    WriteRelatedFiles,
};

}  // namespace

bool RunReport(ReportContext& context) {
  ui::CFileDialog dialog(false, "txt", "Scanner.txt", ui::OFN_OVERWRITEPROMPT | ui::OFN_HIDEREADONLY | ui::OFN_NOCHANGEDIR,
                         resources::LoadString(kIdsTextFileFilter));
  dialog.m_ofn.initial_dir = ReportFolder();
  if (dialog.DoModal() != ui::IDOK) return false;
  ReportFile file;
  if (!file.Create(dialog.GetPathName())) return false;
  context.usb_section = true;
  const scanner::ScannerContext& own = context.window_scanner;
  if (own.connected && own.model_code != kNoPreparationModel)
    scanner::SetServiceMode(own.host_adapter, own.target, scanner::kPrepareMode, true);
  for (SectionWriter write : kSections) {
    if (!write(file, context)) return false;
  }
  file.Close();
  return true;
}

}  // namespace report
