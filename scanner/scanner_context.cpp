#include "scanner/scanner_context.h"

namespace scanner {

void ResetContext(ScannerContext& context) { context = ScannerContext{}; }

}  // namespace scanner
