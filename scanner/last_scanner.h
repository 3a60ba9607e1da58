// The last scanner the user worked with, kept in the registry as its device record.
#pragma once
#include "device/device_record.h"

namespace scanner {

// HKEY_CURRENT_USER key of the record.
extern const char* const kLastScannerKey;

// Writes the six values in order, creating the key; stops at the first failure.
bool SaveLastScanner(const device::DeviceRecord& record);
// True when all six values could be read with their sizes.
bool LoadLastScanner(device::DeviceRecord& record);

}  // namespace scanner
