// The device library: transports, the device table and the current device, and the
// request executor. One per process; every call comes from the user-interface thread.
#pragma once
#include <cstdint>
#include <vector>

#include "device/device_record.h"
#include "device/request_block.h"
#include "platform/win_types.h"

namespace device {

// OpenDeviceLibrary flags and result bits.
constexpr uint32_t kOpenAspi = 1;
constexpr uint32_t kOpenStillImage = 2;

// Starts the transports asked for and resets filters, table and current device.
// Returns which transports are usable (kOpenAspi | kOpenStillImage).
uint32_t OpenDeviceLibrary(uint32_t flags);
void CloseDeviceLibrary();

// 0, or 1 when count > 64 (the list stays as it was).
int SetInquiryFilters(int count, const InquiryFilter* entries);
int SetStiFilters(int count, const StiFilter* entries);

// Fills the table (still-image records first, then ASPI records not seen on the
// still-image side) and selects the first record. Returns 0.
int EnumerateDevices(std::vector<DeviceRecord>& records);
// 0, 1 not in the table, 2 table empty or the device does not answer, 3 busy, 4 offline.
int SelectDevice(const DeviceRecord& record);
// 0, 2 without a current device, 4 on failure.
int StartEventForwarding();
bool FindFlatbedUnit(DeviceRecord& record);
int CountDevices();
// The current device's record, or nullptr.
const DeviceRecord* CurrentDevice();

// Runs the block on the current device and decodes its outcome into a result code.
uint16_t ExecuteRequest(ScsiRequestBlock& block);
SenseRecord GetLastSense();
// Hands the block to the current device's transport; returns its status at hand-over.
uint8_t DispatchRequest(ScsiRequestBlock& block);

// 0 locked, 3 busy, 4 error.
int LockScanner(int tries, platform::DWORD interval_ms);
void UnlockScanner();
void SetLockTimeout(platform::DWORD ms);

bool LoadAspi();
bool StartStillImage();
void StopStillImage();

// Simulated-scanner mode: requests answer success without any I/O.
void SetSimulatedScanner(bool on);
bool SimulatedScanner();

}  // namespace device
