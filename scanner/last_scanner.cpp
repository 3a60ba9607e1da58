#include "scanner/last_scanner.h"

#include <cstring>
#include <optional>

#include "platform/registry.h"

namespace scanner {

const char* const kLastScannerKey = "Software\\Quorvex\\Service Utility\\Scanner";

namespace {

using platform::RegValue;

struct Field {
  const char* name;
  size_t offset;
  size_t size;  // binary values; 1 for the bytes kept as DWORD
  bool binary;
};

constexpr Field kFields[] = {
    {"Inquiry", offsetof(device::DeviceRecord, Inquiry), sizeof(device::DeviceRecord::Inquiry), true},
    {"kind", offsetof(device::DeviceRecord, kind), 1, false},
    {"hostID", offsetof(device::DeviceRecord, hostID), 1, false},
    {"TargetID", offsetof(device::DeviceRecord, TargetID), 1, false},
    {"UsbSpeed", offsetof(device::DeviceRecord, UsbSpeed), 1, false},
    {"InternalName", offsetof(device::DeviceRecord, InternalName), sizeof(device::DeviceRecord::InternalName), true},
};

}  // namespace

bool SaveLastScanner(const device::DeviceRecord& record) {
  auto key = platform::RegKey::Create(platform::HKEY_CURRENT_USER, kLastScannerKey);
  if (!key) return false;
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
  for (const Field& field : kFields) {
    const RegValue value = field.binary ? RegValue::Binary(bytes + field.offset, field.size)
                                        : RegValue::Dword(bytes[field.offset]);
    if (!key->Set(field.name, value)) return false;
  }
  return true;
}

bool LoadLastScanner(device::DeviceRecord& record) {
  auto key = platform::RegKey::Open(platform::HKEY_CURRENT_USER, kLastScannerKey);
  if (!key) return false;
  device::DeviceRecord read{};
  auto* bytes = reinterpret_cast<uint8_t*>(&read);
  for (const Field& field : kFields) {
    const std::optional<RegValue> value = key->Query(field.name);
    if (!value) return false;
    if (field.binary) {
      if (value->type != platform::REG_BINARY || value->data.size() != field.size) return false;
      std::memcpy(bytes + field.offset, value->data.data(), field.size);
    } else {
      const std::optional<platform::DWORD> number = value->AsDword();
      if (!number) return false;
      bytes[field.offset] = static_cast<uint8_t>(*number);
    }
  }
  record = read;
  return true;
}

}  // namespace scanner
