// What one report run carries from section to section.
#pragma once
#include "scanner/scanner_context.h"

namespace report {

struct ReportContext {
  scanner::ScannerContext& window_scanner;  // the main window's scanner
  // Set when the run starts; the OS section clears it for systems without USB.
  bool usb_section = true;
  // The registry layout the driver sections found (NT or the older one).
  bool nt_layout = true;
};

}  // namespace report
