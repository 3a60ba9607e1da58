// The still-image service ("sti.dll"): the still-image object and its devices.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/module.h"
#include "platform/win_types.h"

namespace platform::sti {

constexpr const char* kLibraryName = "sti.dll";
constexpr DWORD STI_VERSION = 2;

constexpr DWORD STI_HW_CONFIG_UNKNOWN = 0x01;
constexpr DWORD STI_HW_CONFIG_SCSI = 0x02;
constexpr DWORD STI_HW_CONFIG_USB = 0x04;

constexpr DWORD STI_DEVICE_CREATE_STATUS = 0x00000001;
constexpr DWORD STI_SUBSCRIBE_FLAG_EVENT = 0x00000002;

// The imaging error of a device that is offline.
constexpr HRESULT STIERR_DEVICE_OFFLINE = static_cast<HRESULT>(0x80210005);
// A device lock held by someone else.
constexpr HRESULT STIERR_SHARING_VIOLATION = static_cast<HRESULT>(0x80070020);
constexpr HRESULT STIERR_DEVICE_NOTREADY = static_cast<HRESULT>(0x80070015);
constexpr HRESULT STIERR_INVALID_DEVICE_NAME = static_cast<HRESULT>(0x8007007B);

struct StiDeviceInformation {
  DWORD DeviceType = 0;  // 1 scanner
  std::u16string DeviceInternalName;
  DWORD DeviceCapabilities = 0;
  DWORD HardwareConfiguration = STI_HW_CONFIG_UNKNOWN;
  std::u16string VendorDescription;
  std::u16string DeviceDescription;
  std::u16string PortName;
  std::u16string LocalName;
};

// Notification record read back from a device: byte-exact, 84 bytes.
struct STINOTIFY {
  DWORD dwSize;
  GUID guidNotificationCode;
  BYTE abNotificationData[64];
};
static_assert(sizeof(STINOTIFY) == 84);

// Pass-through request of escape code 1 in the native form (the input pointer
// addresses it, input size 0).
struct PassThroughRequest {
  DWORD direction;  // 0 none, 1 data in, 2 data out
  BYTE cdb[10];
  WORD cdb_length;
  DWORD data_length;
  BYTE* data;
  DWORD* status;
  DWORD reserved;
};

// Subscription record (little-endian): size, flags, filter, window, event, message.
// Native: six 32-bit fields, 24 bytes. 32-bit process on 64-bit Windows: window and
// event are 64-bit and naturally aligned (window at 16, event at 24, message at 32),
// 36 bytes.
constexpr DWORD kSubscribeNativeSize = 24;
constexpr DWORD kSubscribeNativeEventOffset = 16;
constexpr DWORD kSubscribeWow64Size = 36;
constexpr DWORD kSubscribeWow64WindowOffset = 16;
constexpr DWORD kSubscribeWow64EventOffset = 24;
constexpr DWORD kSubscribeWow64MessageOffset = 32;

class StiDevice {
 public:
  virtual ~StiDevice() = default;
  virtual HRESULT Escape(DWORD code, void* in, DWORD in_size, void* out, DWORD out_size, DWORD* out_used) = 0;
  virtual HRESULT LockDevice(DWORD timeout_ms) = 0;
  virtual HRESULT UnLockDevice() = 0;
  // record: the subscription record (its first 32-bit value is its size: 24 or 36).
  virtual HRESULT Subscribe(const void* record) = 0;
  virtual HRESULT GetLastNotificationData(STINOTIFY* notify) = 0;
  virtual HRESULT UnSubscribe() = 0;
};

class StillImage {
 public:
  virtual ~StillImage() = default;
  virtual HRESULT GetDeviceList(DWORD type, DWORD flags, std::vector<StiDeviceInformation>* devices) = 0;
  virtual HRESULT CreateDevice(const std::u16string& internal_name, DWORD mode, std::shared_ptr<StiDevice>* device) = 0;
  // app_list: the registered applications as read from the registry.
  virtual HRESULT LaunchApplicationForDevice(const std::u16string& device_name, const std::u16string& app_list,
                                             const STINOTIFY* notify) = 0;
};

struct StiLibrary : Module {
  std::function<HRESULT(HINSTANCE instance, DWORD version, std::shared_ptr<StillImage>* out)> StiCreateInstance;
};

}  // namespace platform::sti
