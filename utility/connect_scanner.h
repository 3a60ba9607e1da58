// Connecting the utility to a scanner: the search, the simulated scanner, the choice
// among several, and opening the chosen one.
#pragma once
#include <functional>
#include <optional>
#include <vector>

#include "device/device_record.h"
#include "scanner/scanner_context.h"

namespace utility {

// Shows the Select Scanner dialog: the chosen index, or -1 when it did not end with OK.
using ScannerChooser =
    std::function<int(const std::vector<device::DeviceRecord>& list, const device::DeviceRecord* current, bool must_choose)>;
// The window installs the dialog; without one no choice is made.
void SetScannerChooser(ScannerChooser chooser);
int ChooseScanner(const std::vector<device::DeviceRecord>& list, const device::DeviceRecord* current, bool must_choose);

// 1 connected, 0 not.
int ConnectScanner(scanner::ScannerContext& context);
// Select, start event forwarding, identify and keep as the last scanner.
int ConnectToRecord(scanner::ScannerContext& context, const device::DeviceRecord& record);
// With DummyModel set: the simulated scanner's record, and simulated mode on.
std::optional<device::DeviceRecord> SimulatedScannerRecord();

}  // namespace utility
