#include "device/device_library.h"

#include <atomic>
#include <cstring>
#include <optional>

#include "device/aspi_transport.h"
#include "device/sti_transport.h"
#include "platform/clock.h"
#include "platform/handles.h"

namespace device {
namespace {

using namespace platform;
namespace aspi = platform::aspi;

constexpr size_t kTableSize = 16;
constexpr DWORD kLockProbeTimeoutMs = 2000;
constexpr DWORD kDefaultLockTimeoutMs = 30000;

struct Library {
  AspiTransport aspi;
  StiTransport sti;
  bool aspi_usable = false;
  bool sti_usable = false;
  std::vector<InquiryFilter> inquiry_filters;
  std::vector<StiFilter> sti_filters;
  std::vector<DeviceRecord> table;
  std::optional<size_t> current;
  DWORD last_error = 0;
  SenseRecord sense;
  bool locked = false;
};

// Never destroyed: the still-image worker may still run while the process exits.
Library& lib() {
  static Library* library = new Library;
  return *library;
}

std::atomic<bool> simulated{false};

void ResetFiltersAndTable() {
  Library& l = lib();
  l.inquiry_filters = {MakeInquiryFilter("", "DE-T")};
  l.sti_filters = {MakeStiFilter("", "DE-T")};
  l.table.clear();
  l.current.reset();
}

bool IsAspi(const DeviceRecord& record) { return record.kind == kKindAspi; }

// The first table slot holding the record.
std::optional<size_t> SlotOf(const DeviceRecord& record) {
  const std::vector<DeviceRecord>& table = lib().table;
  for (size_t slot = 0; slot < table.size(); ++slot) {
    if (table[slot] == record) return slot;
  }
  return std::nullopt;
}

void FillTestUnitReady(ScsiRequestBlock& block) {
  std::memset(&block, 0, sizeof(block));
  block.SRB_Cmd = aspi::SC_EXEC_SCSI_CMD;
  block.SRB_Flags = aspi::SRB_DIR_OUT;
  block.SRB_SenseLen = kSenseLength;
  block.SRB_CDBLen = 6;
}

// Runs a block to completion on its own event; returns nothing, the block holds the outcome.
void RunToCompletion(ScsiRequestBlock& block) {
  HANDLE event = CreateEvent(true, false);
  block.SRB_Flags |= aspi::SRB_EVENT_NOTIFY;
  block.SRB_PostProc = event;
  DispatchRequest(block);
  if (LoadStatus(block) == aspi::SS_PENDING) WaitForSingleObject(event, INFINITE);
  CloseHandle(event);
}

}  // namespace

uint32_t OpenDeviceLibrary(uint32_t flags) {
  Library& l = lib();
  if (flags & kOpenStillImage) l.sti_usable = StartStillImage();
  if (flags & kOpenAspi) l.aspi_usable = LoadAspi();
  ResetFiltersAndTable();
  l.locked = false;
  return (l.aspi_usable ? kOpenAspi : 0) | (l.sti_usable ? kOpenStillImage : 0);
}

void CloseDeviceLibrary() {
  Library& l = lib();
  StopStillImage();
  l.aspi.Unload();
  l.aspi_usable = l.sti_usable = false;
  l.table.clear();
  l.current.reset();
  l.locked = false;
}

bool LoadAspi() { return lib().aspi.Load(); }
bool StartStillImage() { return lib().sti.Start(); }
void StopStillImage() { lib().sti.Stop(); }

int SetInquiryFilters(int count, const InquiryFilter* entries) {
  if (count < 0 || count > kMaxFilters) return 1;
  lib().inquiry_filters.assign(entries, entries + count);
  return 0;
}

int SetStiFilters(int count, const StiFilter* entries) {
  if (count < 0 || count > kMaxFilters) return 1;
  lib().sti_filters.assign(entries, entries + count);
  return 0;
}

int EnumerateDevices(std::vector<DeviceRecord>& records) {
  Library& l = lib();
  std::vector<DeviceRecord> still_image;
  std::vector<DeviceRecord> scsi;
  if (l.sti_usable) still_image = l.sti.Enumerate(l.sti_filters, l.inquiry_filters);
  if (l.aspi_usable) scsi = l.aspi.Enumerate(l.inquiry_filters);

  const std::optional<DeviceRecord> previous = l.current ? std::optional(l.table[*l.current]) : std::nullopt;
  l.table = still_image;
  for (const DeviceRecord& r : scsi) {
    bool seen = false;
    for (const DeviceRecord& s : still_image) seen = seen || std::memcmp(r.Inquiry, s.Inquiry, 96) == 0;
    if (!seen && l.table.size() < kTableSize) l.table.push_back(r);
  }
  // The open device stays open when the new table holds it again: reopening it would
  // end its event forwarding and drop a lock taken by LockScanner.
  l.current = previous ? SlotOf(*previous) : std::nullopt;
  if (!l.table.empty() && SelectDevice(l.table.front()) != 0) l.table.clear();
  records = l.table;
  SetLastError(l.last_error);
  return 0;
}

int SelectDevice(const DeviceRecord& record) {
  Library& l = lib();
  l.last_error = 0;
  if (l.table.empty()) {
    l.current.reset();
    return 2;
  }
  const std::optional<size_t> slot = SlotOf(record);
  if (!slot) return 1;

  if (l.current != slot && !IsAspi(l.table[*slot])) {
    // Opening releases the lock the previous device held.
    l.locked = false;
    const int opened = l.sti.Open(l.table[*slot]);
    if (opened != 0) {
      l.current.reset();
      return opened;
    }
  }
  l.current = slot;
  ScsiRequestBlock block;
  FillTestUnitReady(block);
  RunToCompletion(block);
  if (block.SRB_Status == aspi::SS_COMP || block.SRB_TargStat == aspi::kCheckCondition) return 0;
  l.current.reset();
  return 2;
}

int StartEventForwarding() {
  const DeviceRecord* current = CurrentDevice();
  if (!current) return 2;
  if (IsAspi(*current)) return 0;
  DWORD error = 0;
  const int started = lib().sti.StartEventForwarding(error);
  if (error != 0) lib().last_error = error;
  return started;
}

int CountDevices() {
  std::vector<DeviceRecord> records;
  EnumerateDevices(records);
  return static_cast<int>(records.size());
}

bool FindFlatbedUnit(DeviceRecord& record) {
  std::vector<DeviceRecord> records;
  EnumerateDevices(records);
  for (const DeviceRecord& r : records) {
    if (r.ProductStartsWith("DE-TT767")) {
      record = r;
      return true;
    }
  }
  return false;
}

const DeviceRecord* CurrentDevice() {
  Library& l = lib();
  return l.current ? &l.table[*l.current] : nullptr;
}

uint8_t DispatchRequest(ScsiRequestBlock& block) {
  Library& l = lib();
  const DeviceRecord* current = CurrentDevice();
  if (!current) {
    StoreStatus(block, aspi::SS_NO_DEVICE);
    return aspi::SS_NO_DEVICE;
  }
  if (IsAspi(*current)) {
    block.SRB_HaId = current->hostID;
    block.SRB_Target = current->TargetID;
    return static_cast<uint8_t>(l.aspi.Send(block));
  }
  StoreStatus(block, aspi::SS_PENDING);
  l.sti.Execute(&block);
  return aspi::SS_PENDING;
}

uint16_t ExecuteRequest(ScsiRequestBlock& block) {
  if (SimulatedScanner()) return kResultGood;
  Library& l = lib();
  l.sense = SenseRecord{};
  HANDLE event = CreateEvent(true, false);
  block.SRB_Cmd = aspi::SC_EXEC_SCSI_CMD;
  block.SRB_Flags |= aspi::SRB_EVENT_NOTIFY;
  block.SRB_PostProc = event;
  DispatchRequest(block);
  if (LoadStatus(block) == aspi::SS_PENDING) WaitForSingleObject(event, INFINITE);
  CloseHandle(event);

  const uint8_t status = block.SRB_Status;
  if (block.SRB_TargStat == aspi::kCheckCondition) {
    l.sense = DecodeSense(block.SenseArea);
    return static_cast<uint16_t>(0x0200 + status);
  }
  if (status == aspi::SS_COMP) return block.SRB_TargStat;
  return static_cast<uint16_t>(0x0100 + status);
}

SenseRecord GetLastSense() { return lib().sense; }

int LockScanner(int tries, DWORD interval_ms) {
  Library& l = lib();
  if (l.locked || SimulatedScanner()) return 0;
  const DeviceRecord* current = CurrentDevice();
  // An ASPI scanner has no still-image lock to take: holding it means nothing more.
  if (current && IsAspi(*current)) {
    l.locked = true;
    return 0;
  }
  l.sti.SetLockTimeout(kLockProbeTimeoutMs);
  int result = 4;
  for (int i = 0; i < tries; ++i) {
    ScsiRequestBlock block;
    FillTestUnitReady(block);
    if (ExecuteRequest(block) != kResultBusy) {
      result = l.sti.Lock();
      if (result == 0) {
        l.locked = true;
        l.sti.SetLockTimeout(kDefaultLockTimeoutMs);
        return 0;
      }
      if (result == 4) break;
    } else {
      result = 3;
    }
    if (i + 1 < tries) Sleep(interval_ms);
  }
  l.sti.SetLockTimeout(kDefaultLockTimeoutMs);
  return result;
}

void UnlockScanner() {
  Library& l = lib();
  if (!l.locked) return;
  l.sti.Unlock();
  l.locked = false;
}

void SetLockTimeout(DWORD ms) { lib().sti.SetLockTimeout(ms); }

void SetSimulatedScanner(bool on) { simulated.store(on); }
bool SimulatedScanner() { return simulated.load(); }

}  // namespace device
