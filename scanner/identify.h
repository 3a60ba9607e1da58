// Identification: the model code from the product identification, the compatible
// mode's renaming, then everything the scanner reports about itself.
#pragma once
#include "device/device_record.h"
#include "scanner/scanner_context.h"

namespace scanner {

// 1 identified, 0 when no model table row matches ("Target_Table is incorrect").
// With store set the record becomes the last-used scanner.
int IdentifyScanner(ScannerContext& context, const device::DeviceRecord& record, bool store);

}  // namespace scanner
