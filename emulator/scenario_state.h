// The keys of a device section that set the scanner's model and state: overrides
// of the model's defaults, raw read answers and accepted transfer lengths. The state
// keys (all but the model and the lengths) also make the changes of timeline steps.
#pragma once
#include <set>
#include <string>
#include <string_view>

#include "emulator/device_builder.h"
#include "emulator/scenario_reader.h"
#include "emulator/state_change.h"

namespace emulator {

constexpr std::string_view kReadPrefix = "read.";
constexpr std::string_view kReadLengthPrefix = "readlength.";
constexpr std::string_view kWriteLengthPrefix = "writelength.";

void LoadStateKeys(const ScenarioReader& reader, DeviceBuilder& device);
// The state keys of a section, Read.<TT> included, as one change.
StateChange LoadStateChange(const ScenarioReader& reader);
// The plain state keys, lower case (the prefixed ones are not listed).
std::set<std::string> StateKeyNames();
// The same with the model, which only a device section sets.
std::set<std::string> DeviceKeyNames();

}  // namespace emulator
