#include "emulator/still_image.h"

#include <cstring>

#include "emulator/escape_forms.h"
#include "platform/bytes.h"

namespace emulator {
namespace {

namespace sti = platform::sti;
namespace bytes = platform::bytes;
using platform::DWORD;
using platform::E_INVALIDARG;
using platform::HRESULT;
using platform::S_OK;

constexpr DWORD kDeviceTypeAll = 0;
constexpr DWORD kDeviceTypeScanner = 1;

platform::HANDLE HandleFrom(uint64_t value) { return reinterpret_cast<platform::HANDLE>(static_cast<uintptr_t>(value)); }

Exchange QueryRecord(const EscapeCall& call) {
  Exchange record;
  record.transport = Transport::kEscapeQuery;
  record.escape_code = call.code;
  record.in_size = call.in_size;
  record.out_size = call.out_size;
  return record;
}

sti::StiDeviceInformation InformationOf(const EmulatedDevice& device) {
  const StiDriver& driver = *device.attachment().sti;
  sti::StiDeviceInformation info;
  info.DeviceType = kDeviceTypeScanner;
  info.DeviceInternalName = driver.internal_name;
  info.HardwareConfiguration = driver.bus == StiBus::kScsi ? sti::STI_HW_CONFIG_SCSI : sti::STI_HW_CONFIG_USB;
  info.VendorDescription = driver.vendor_description;
  info.DeviceDescription = driver.device_description;
  info.PortName = driver.port_name;
  info.LocalName = driver.device_description;
  return info;
}

}  // namespace

std::optional<Subscription> ParseSubscription(const void* record) {
  if (!record) return std::nullopt;
  const auto* p = static_cast<const uint8_t*>(record);
  Subscription s;
  s.size = bytes::GetLE32(p);
  if (s.size != sti::kSubscribeNativeSize && s.size != sti::kSubscribeWow64Size) return std::nullopt;
  s.flags = bytes::GetLE32(p + 4);
  s.filter = bytes::GetLE32(p + 8);
  if (s.size == sti::kSubscribeNativeSize) {
    s.window = bytes::GetLE32(p + 12);
    s.event = HandleFrom(bytes::GetLE32(p + sti::kSubscribeNativeEventOffset));
    s.message = bytes::GetLE32(p + 20);
  } else {
    s.window = bytes::GetLE64(p + sti::kSubscribeWow64WindowOffset);
    s.event = HandleFrom(bytes::GetLE64(p + sti::kSubscribeWow64EventOffset));
    s.message = bytes::GetLE32(p + sti::kSubscribeWow64MessageOffset);
  }
  if (!(s.flags & sti::STI_SUBSCRIBE_FLAG_EVENT) || !s.event) return std::nullopt;
  return s;
}

EmulatedStiDevice::EmulatedStiDevice(std::shared_ptr<EmulatedDevice> device, DWORD mode) : device_(std::move(device)) {
  device_->HandleOpened(mode);
}

EmulatedStiDevice::~EmulatedStiDevice() { device_->HandleClosed(this); }

HRESULT EmulatedStiDevice::Escape(DWORD code, void* in, DWORD in_size, void* out, DWORD out_size, DWORD* out_used) {
  device_->AdvanceTimeline();
  const EscapeCall call{code, in, in_size, out, out_size, out_used};
  return IsCommandEscape(code) ? RunCommand(call) : RunQuery(call);
}

HRESULT EmulatedStiDevice::RunCommand(const EscapeCall& call) {
  std::optional<EscapeCommand> command = DecodeCommandEscape(call);
  if (!command) {
    Exchange record = QueryRecord(call);
    record.transport = CommandTransportOf(call);
    record.outcome = Outcome::kRejected;
    record.result = E_INVALIDARG;
    device_->Record(std::move(record));
    return E_INVALIDARG;
  }
  if (const HRESULT injected = device_->TakeEscapeFault(call.code); injected != S_OK) {
    Exchange record = command->request.record;
    record.outcome = Outcome::kEscapeFailed;
    record.result = injected;
    device_->Record(std::move(record));
    return injected;
  }
  const WireResult result = device_->Execute(command->request);
  CompleteCommandEscape(call, *command, result);
  return EscapeResultFor(result.outcome);
}

HRESULT EmulatedStiDevice::RunQuery(const EscapeCall& call) {
  Exchange record = QueryRecord(call);
  const QueryEscape* query = FindQueryEscape(call.code);
  if (!device_->Plugged()) {
    record.outcome = Outcome::kNoDevice;
    record.result = kDeviceNotConnected;
  } else if (!query) {
    record.outcome = Outcome::kRejected;
    record.result = E_NOTIMPL;
  } else if (const HRESULT injected = device_->TakeEscapeFault(call.code); injected != S_OK) {
    record.outcome = Outcome::kEscapeFailed;
    record.result = injected;
  } else if (!AnswerQueryEscape(call, *query, *device_->attachment().sti)) {
    record.outcome = Outcome::kRejected;
    record.result = E_INVALIDARG;
  } else {
    record.returned = static_cast<uint32_t>(call.out ? query->output_size : query->native_size);
  }
  const HRESULT result = record.result;
  device_->Record(std::move(record));
  return result;
}

HRESULT EmulatedStiDevice::LockDevice(DWORD timeout_ms) { return device_->Lock(this, timeout_ms); }

HRESULT EmulatedStiDevice::UnLockDevice() { return device_->Unlock(this); }

HRESULT EmulatedStiDevice::Subscribe(const void* record) {
  device_->AdvanceTimeline();
  const std::optional<Subscription> subscription = ParseSubscription(record);
  if (!subscription) return E_INVALIDARG;
  return device_->Subscribe(this, *subscription);
}

HRESULT EmulatedStiDevice::GetLastNotificationData(sti::STINOTIFY* notify) {
  device_->AdvanceTimeline();
  if (!notify || notify->dwSize != sizeof(sti::STINOTIFY)) return E_INVALIDARG;
  const std::optional<sti::STINOTIFY> last = device_->ReadNotification();
  if (!last) return STIERR_NOEVENTS;
  *notify = *last;
  return S_OK;
}

HRESULT EmulatedStiDevice::UnSubscribe() {
  device_->AdvanceTimeline();
  return device_->Unsubscribe(this);
}

HRESULT EmulatedStillImage::GetDeviceList(DWORD type, DWORD, std::vector<sti::StiDeviceInformation>* devices) {
  if (!devices) return E_INVALIDARG;
  devices->clear();
  if (type != kDeviceTypeAll && type != kDeviceTypeScanner) return S_OK;
  for (const auto& device : bus_->StillImageDevices()) devices->push_back(InformationOf(*device));
  return S_OK;
}

HRESULT EmulatedStillImage::CreateDevice(const std::u16string& internal_name, DWORD mode,
                                         std::shared_ptr<sti::StiDevice>* device) {
  if (!device) return E_INVALIDARG;
  device->reset();
  auto found = bus_->FindStillImage(internal_name);
  if (!found) return sti::STIERR_INVALID_DEVICE_NAME;
  if (const HRESULT injected = found->TakeCreateFault(); injected != S_OK) return injected;
  *device = std::make_shared<EmulatedStiDevice>(found, mode);
  return S_OK;
}

HRESULT EmulatedStillImage::LaunchApplicationForDevice(const std::u16string& device_name, const std::u16string& app_list,
                                                       const sti::STINOTIFY* notify) {
  if (!notify) return E_INVALIDARG;
  const auto* raw = reinterpret_cast<const uint8_t*>(notify);
  bus_->RecordLaunch({device_name, app_list, std::vector<uint8_t>(raw, raw + sizeof(*notify))});
  return S_OK;
}

std::shared_ptr<sti::StiLibrary> MakeStiLibrary(std::shared_ptr<Bus> bus) {
  auto library = std::make_shared<sti::StiLibrary>();
  library->StiCreateInstance = [bus](platform::HINSTANCE, DWORD version, std::shared_ptr<sti::StillImage>* out) {
    if (!out) return E_INVALIDARG;
    out->reset();
    if (version != sti::STI_VERSION) return E_INVALIDARG;
    const HRESULT configured = bus->Settings().sti_create_result;
    if (platform::FAILED(configured)) return configured;
    *out = std::make_shared<EmulatedStillImage>(bus);
    return S_OK;
  };
  return library;
}

}  // namespace emulator
