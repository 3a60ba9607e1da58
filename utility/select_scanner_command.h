// The main window's "Select Scanner(&X)..." command: search, let the user pick a
// scanner, open and identify it, and tell the scanner indicator.
#pragma once
#include "scanner/scanner_context.h"

namespace utility {

// True when the context now holds the picked scanner and the window must refresh its
// information. Whatever happens, the context's own scanner is the current device again
// afterwards (the search probes the others).
bool SelectScannerCommand(scanner::ScannerContext& context);

}  // namespace utility
