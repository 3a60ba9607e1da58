// What the utility changes in the emulated scanners (settings, thresholds, counters),
// kept in a state file beside the scenario so a restarted utility finds it again. The
// file is a scenario file of device sections with state keys only.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/bus.h"

namespace emulator {

// The state file of a scenario file: the same path with ".state" appended.
std::filesystem::path StateFilePath(const std::filesystem::path& scenario);
// One [Device.<name>] section a device.
std::string StateFileText(const Bus& bus);
// Applies each section to the device of its name; what cannot be used is reported.
void ApplyStateFile(std::string_view text, Bus& bus, std::vector<std::string>& warnings);
// Writes the bus's state file atomically; false when it could not be written.
bool SaveStateFile(const Bus& bus, const std::filesystem::path& scenario);

}  // namespace emulator
