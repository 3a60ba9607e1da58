// How the driver sections describe a device key and a driver's service.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "report/report_context.h"
#include "report/report_file.h"

namespace report {

// A string value; nullopt when it is missing.
std::optional<std::string> QueryString(const platform::RegKey& key, std::string_view name);

// "Service, ..." and, when the service's image file has a version, its file name and
// version.
bool WriteServiceLines(ReportFile& file, std::string_view service);

// The device's driver or description, its service lines, key name and parent id
// prefix, then an empty line; nothing for a device that cannot be described.
// `name` is the device key's own name.
bool WriteDeviceDescription(ReportFile& file, ReportContext& context, const platform::RegKey& device,
                            std::string_view name);

}  // namespace report
