// The still-image service ("sti.dll") backed by a bus, and the device objects it
// creates. Calls may come from any thread.
#pragma once
#include <memory>

#include "emulator/bus.h"
#include "platform/sti/sti.h"

namespace emulator {

struct EscapeCall;

constexpr platform::HRESULT STIERR_NOEVENTS = static_cast<platform::HRESULT>(0x80070103);

class EmulatedStiDevice : public platform::sti::StiDevice {
 public:
  explicit EmulatedStiDevice(std::shared_ptr<EmulatedDevice> device, platform::DWORD mode);
  ~EmulatedStiDevice() override;

  platform::HRESULT Escape(platform::DWORD code, void* in, platform::DWORD in_size, void* out,
                           platform::DWORD out_size, platform::DWORD* out_used) override;
  platform::HRESULT LockDevice(platform::DWORD timeout_ms) override;
  platform::HRESULT UnLockDevice() override;
  platform::HRESULT Subscribe(const void* record) override;
  platform::HRESULT GetLastNotificationData(platform::sti::STINOTIFY* notify) override;
  platform::HRESULT UnSubscribe() override;

 private:
  platform::HRESULT RunCommand(const EscapeCall& call);
  platform::HRESULT RunQuery(const EscapeCall& call);

  std::shared_ptr<EmulatedDevice> device_;
};

class EmulatedStillImage : public platform::sti::StillImage {
 public:
  explicit EmulatedStillImage(std::shared_ptr<Bus> bus) : bus_(std::move(bus)) {}

  platform::HRESULT GetDeviceList(platform::DWORD type, platform::DWORD flags,
                                  std::vector<platform::sti::StiDeviceInformation>* devices) override;
  platform::HRESULT CreateDevice(const std::u16string& internal_name, platform::DWORD mode,
                                 std::shared_ptr<platform::sti::StiDevice>* device) override;
  platform::HRESULT LaunchApplicationForDevice(const std::u16string& device_name, const std::u16string& app_list,
                                               const platform::sti::STINOTIFY* notify) override;

 private:
  std::shared_ptr<Bus> bus_;
};

// Subscription record (native 24 bytes or WOW64 36 bytes); nullopt when malformed.
std::optional<Subscription> ParseSubscription(const void* record);

// A library whose StiCreateInstance (version 2) yields an EmulatedStillImage.
std::shared_ptr<platform::sti::StiLibrary> MakeStiLibrary(std::shared_ptr<Bus> bus);

}  // namespace emulator
