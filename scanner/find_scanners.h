// The supported scanners among the attached devices.
#pragma once
#include <vector>

#include "device/device_record.h"

namespace scanner {

// 0 with the kept records in table order, non-zero when a filter list cannot be set.
// Leaves whichever device it probed last as the current device.
int FindScanners(std::vector<device::DeviceRecord>& records);

}  // namespace scanner
