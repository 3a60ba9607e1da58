// The registry keys a still-image driver installation writes for a device.
#pragma once
#include <string>

#include "emulator/bus.h"

namespace emulator {

// "SYSTEM\CurrentControlSet\Control\Class\<internal name>" under HKEY_LOCAL_MACHINE.
std::string DriverKeyPath(const StiDriver& driver);

// Writes "DeviceData" with "DisableNotifications" and "Events\StartStopButton" and
// "Events\FeederLoaded" with "LaunchApplications", leaving out values the driver
// settings do not have. False when a key cannot be written; ASPI-only devices have none.
bool InstallDriverKeys(const EmulatedDevice& device);
bool InstallDriverKeys(const Bus& bus);
// Removes the device's key with everything below it.
void RemoveDriverKeys(const EmulatedDevice& device);

}  // namespace emulator
