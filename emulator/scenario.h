// Scenario files: INI text declaring the devices of a bus, their driver answers,
// state overrides and injected faults (format in SCENARIO.md). Loading takes any
// bytes: what cannot be used is skipped or kept at its default and reported.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/bus.h"
#include "emulator/device_builder.h"

namespace emulator {

struct Scenario {
  std::shared_ptr<Bus> bus;
  std::vector<std::string> warnings;
};

// Adds the scenario's devices and faults to the builder.
void ApplyScenario(std::string_view text, BusBuilder& builder, std::vector<std::string>& warnings);
Scenario LoadScenario(std::string_view text);
// A file by its path on this system; an unreadable file gives an empty bus and a warning.
Scenario LoadScenarioFile(const std::string& path);

}  // namespace emulator
