// The keys of a device section that set the scanner's model and state: overrides
// of the model's defaults, raw read answers and accepted transfer lengths.
#pragma once
#include <set>
#include <string>
#include <string_view>

#include "emulator/device_builder.h"
#include "emulator/scenario_reader.h"

namespace emulator {

constexpr std::string_view kReadPrefix = "read.";
constexpr std::string_view kReadLengthPrefix = "readlength.";
constexpr std::string_view kWriteLengthPrefix = "writelength.";

void LoadStateKeys(const ScenarioReader& reader, DeviceBuilder& device);
// The plain state keys, lower case (the prefixed ones are not listed).
std::set<std::string> StateKeyNames();

}  // namespace emulator
