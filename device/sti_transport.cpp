#include "device/sti_transport.h"

#include <atomic>
#include <cstring>

#include "platform/handles.h"
#include "platform/system.h"
#include "platform/text.h"

namespace device {
namespace {

using namespace platform;
namespace aspi = platform::aspi;

uint8_t LockFailureStatus(HRESULT hr) { return hr == sti::STIERR_DEVICE_OFFLINE ? aspi::SS_ERR : aspi::SS_DEVICE_BUSY; }

void FillBlock(ScsiRequestBlock& block, const uint8_t (&cdb)[6], uint8_t flags, uint8_t* data, DWORD length) {
  std::memset(&block, 0, sizeof(block));
  block.SRB_Cmd = aspi::SC_EXEC_SCSI_CMD;
  block.SRB_Flags = flags;
  block.SRB_BufLen = length;
  block.SRB_BufPointer = data;
  block.SRB_SenseLen = kSenseLength;
  block.SRB_CDBLen = 6;
  std::memcpy(block.CDBByte, cdb, 6);
}

std::u16string RecordName(const DeviceRecord& record) { return text::FromWideBuffer(record.InternalName, 128); }

}  // namespace

void StoreStatus(ScsiRequestBlock& block, uint8_t status) {
  std::atomic_ref<uint8_t>(block.SRB_Status).store(status, std::memory_order_release);
}

uint8_t LoadStatus(ScsiRequestBlock& block) {
  return std::atomic_ref<uint8_t>(block.SRB_Status).load(std::memory_order_acquire);
}

StiTransport::~StiTransport() { Stop(); }

bool StiTransport::Start() {
  return worker_.Post(WorkerCommand::kStart, [this] { return DoStart() ? 1 : 0; }) == 1;
}

void StiTransport::Stop() {
  worker_.Post(WorkerCommand::kStop, [this] {
    DoStop();
    // A later start loads the library afresh, so it sees the service as it is then.
    library_.reset();
    return 0;
  });
}

bool StiTransport::DoStart() {
  DoStop();
  if (!library_) library_ = LoadLibraryAs<sti::StiLibrary>(sti::kLibraryName);
  if (!library_ || !library_->StiCreateInstance) return false;
  std::shared_ptr<sti::StillImage> object;
  if (FAILED(library_->StiCreateInstance(nullptr, sti::STI_VERSION, &object)) || !object) return false;
  sti_ = std::move(object);
  wow64_ = system::IsWow64Process().value_or(false);
  return true;
}

void StiTransport::DoStop() {
  CloseDevice();
  sti_.reset();
}

void StiTransport::CloseDevice() {
  forwarding_.Stop();
  if (open_.device && open_.lock_held) open_.device->UnLockDevice();
  open_ = OpenDevice{};
  open_name_.clear();
}

uint8_t StiTransport::RunRequest(OpenDevice& device, ScsiRequestBlock& block) {
  if (!device.lock_held) {
    const HRESULT hr = device.device->LockDevice(lock_timeout_);
    if (FAILED(hr)) return LockFailureStatus(hr);
  }
  const uint8_t status = RunCommandEscape(*device.device, ChooseExchangeForm(wow64_, device.escape_form), block);
  if (!device.lock_held) device.device->UnLockDevice();
  return status;
}

void StiTransport::Execute(ScsiRequestBlock* block) {
  worker_.Post(WorkerCommand::kExecute, [this, block] {
    DoExecute(block);
    return 0;
  });
}

void StiTransport::DoExecute(ScsiRequestBlock* block) {
  // The driver reports no target status of its own; only a fetched sense sets one.
  block->SRB_HaStat = 0;
  block->SRB_TargStat = 0;
  const uint8_t status = sti_ && open_.device ? RunRequest(open_, *block) : aspi::SS_ERR;
  const bool notify = block->SRB_Flags & aspi::SRB_EVENT_NOTIFY;
  HANDLE event = block->SRB_PostProc;
  StoreStatus(*block, status);
  if (notify) SetEvent(event);
}

bool StiTransport::Probe(OpenDevice& device, uint8_t* inquiry) {
  static constexpr uint8_t kTestUnitReady[6] = {0x00, 0, 0, 0, 0, 0};
  static constexpr uint8_t kInquiry[6] = {0x12, 0, 0, 0, 0x60, 0};
  ScsiRequestBlock block;
  FillBlock(block, kTestUnitReady, aspi::SRB_DIR_OUT, nullptr, 0);
  if (RunRequest(device, block) == aspi::SS_DEVICE_BUSY) return false;
  FillBlock(block, kInquiry, aspi::SRB_DIR_IN, inquiry, 96);
  return RunRequest(device, block) == aspi::SS_COMP;
}

std::vector<DeviceRecord> StiTransport::Enumerate(const std::vector<StiFilter>& sti_filters,
                                                  const std::vector<InquiryFilter>& inquiry_filters) {
  std::vector<DeviceRecord> records;
  worker_.Post(WorkerCommand::kEnumerate, [&] {
    records = DoEnumerate(sti_filters, inquiry_filters);
    return 0;
  });
  return records;
}

std::vector<DeviceRecord> StiTransport::DoEnumerate(const std::vector<StiFilter>& sti_filters,
                                                    const std::vector<InquiryFilter>& inquiry_filters) {
  std::vector<DeviceRecord> records;
  std::vector<sti::StiDeviceInformation> list;
  if (!sti_ || FAILED(sti_->GetDeviceList(0, 0, &list))) return records;
  for (const sti::StiDeviceInformation& info : list) {
    if (records.size() == 8) break;
    const std::string description = text::WideToAnsi(info.DeviceDescription.substr(0, 64), 64);
    const std::string vendor = text::WideToAnsi(info.VendorDescription.substr(0, 32), 32);
    bool wanted = false;
    for (const StiFilter& f : sti_filters) wanted = wanted || MatchesStiFilter(vendor, description, f);
    if (!wanted) continue;

    const std::u16string name = info.DeviceInternalName.substr(0, 64);
    OpenDevice probe;
    if (open_.device && open_.lock_held && name == open_name_) {
      // The device this program holds locked answers through its open handle: a new
      // handle would wait for our own lock and then find the scanner busy.
      probe = open_;
    } else {
      if (FAILED(sti_->CreateDevice(info.DeviceInternalName, sti::STI_DEVICE_CREATE_STATUS, &probe.device)) ||
          !probe.device)
        continue;
      probe.escape_form = QueryEscapeForm(*probe.device);
    }
    DeviceRecord record{};
    if (!Probe(probe, record.Inquiry)) continue;
    bool matched = false;
    for (const InquiryFilter& f : inquiry_filters) matched = matched || MatchesInquiryFilter(record.Inquiry, f);
    if (!matched) continue;

    record.kind = info.HardwareConfiguration == sti::STI_HW_CONFIG_SCSI ? kKindStiScsi : kKindStiOther;
    std::memcpy(record.InternalName, name.data(), name.size() * sizeof(char16_t));
    if (record.kind == kKindStiOther) {
      const std::optional<uint8_t> speed = QueryUsbSpeed(*probe.device, wow64_, probe.escape_form);
      if (!speed) continue;
      record.UsbSpeed = *speed != 1 ? 1 : 0;
    }
    records.push_back(record);
  }
  return records;
}

int StiTransport::Open(const DeviceRecord& record) {
  return worker_.Post(WorkerCommand::kOpen, [this, &record] {
    CloseDevice();
    if (!sti_) return 2;
    OpenDevice device;
    const std::u16string name = RecordName(record);
    if (FAILED(sti_->CreateDevice(name, sti::STI_DEVICE_CREATE_STATUS, &device.device)) || !device.device) return 2;
    const HRESULT hr = device.device->LockDevice(lock_timeout_);
    if (FAILED(hr)) return hr == sti::STIERR_DEVICE_OFFLINE ? 4 : 3;
    device.escape_form = QueryEscapeForm(*device.device);
    device.lock_mode = QueryLockMode(*device.device, wow64_);
    device.device->UnLockDevice();
    open_ = device;
    open_name_ = name;
    return 0;
  });
}

void StiTransport::SetLockTimeout(DWORD ms) {
  worker_.Post(WorkerCommand::kSetLockTimeout, [this, ms] {
    lock_timeout_ = ms;
    return 0;
  });
}

int StiTransport::Lock() {
  return worker_.Post(WorkerCommand::kLock, [this] {
    if (!open_.device) return 4;
    if (open_.lock_mode != 2 || open_.lock_held) return 0;
    const HRESULT hr = open_.device->LockDevice(lock_timeout_);
    if (FAILED(hr)) return hr == sti::STIERR_DEVICE_OFFLINE ? 4 : 3;
    open_.lock_held = true;
    return 0;
  });
}

void StiTransport::Unlock() {
  worker_.Post(WorkerCommand::kUnlock, [this] {
    if (open_.device && open_.lock_mode == 2 && open_.lock_held) {
      open_.device->UnLockDevice();
      open_.lock_held = false;
    }
    return 0;
  });
}

int StiTransport::StartEventForwarding(DWORD& error) {
  error = 0;
  return worker_.Post(WorkerCommand::kStartEventForwarding, [this, &error] {
    if (!sti_) return 4;
    forwarding_.Stop();
    if (open_.lock_mode != 2) return 0;
    if (!open_.device) return 4;
    const int started = forwarding_.Start(open_name_, open_.device, sti_, wow64_);
    error = forwarding_.StartError();
    return started;
  });
}

}  // namespace device
