// The lines of the Select Scanner list: each record's model as the user knows it and
// its bus.
#pragma once
#include <string>
#include <vector>

#include "device/device_record.h"

namespace utility {

// Probes the models that may present themselves as another model (selecting each),
// then selects current again when given.
std::vector<std::string> SelectScannerLines(const std::vector<device::DeviceRecord>& list,
                                            const device::DeviceRecord* current);
// The line to select first: the first record equal to current, else 0.
int InitialSelection(const std::vector<device::DeviceRecord>& list, const device::DeviceRecord* current);

}  // namespace utility
