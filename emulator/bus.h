// The bus of emulated devices behind the ASPI manager and the still-image service.
// Bus order is the order devices were added. Safe to use from any thread.
//
// The bus keeps its devices' timeline, counting from the bus's creation on the
// platform clock (install a fake clock before building a bus whose timeline a test
// drives). Enumeration (the still-image device list and device creation), every ASPI
// request and the ASPI support information apply the steps that are due first, as
// every command, escape and lock of a device does.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/device_setup.h"
#include "emulator/emulated_device.h"
#include "emulator/timeline.h"
#include "platform/aspi/aspi.h"
#include "platform/win_types.h"

namespace emulator {

struct BusSettings {
  // GetASPI32SupportInfo: by default status 1 and one adapter past the highest one
  // a device uses; with no ASPI device, status 0xE8 (no adapters) and count 0.
  std::optional<uint8_t> aspi_status;
  std::optional<uint8_t> aspi_host_adapters;
  platform::HRESULT sti_create_result = platform::S_OK;  // StiCreateInstance fails with a failure code
};

// One LaunchApplicationForDevice call.
struct Launch {
  std::u16string device_name;
  std::u16string app_list;
  std::vector<uint8_t> notify;  // the 84 bytes of the notification record
};

constexpr const char16_t* kStiClassPrefix = u"{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\";

class Bus {
 public:
  Bus() : Bus(BusSettings{}) {}
  explicit Bus(BusSettings settings) : settings_(settings), timeline_(std::make_shared<Timeline>()) {}

  // Adds a device at the end of the bus and schedules its timeline steps. A
  // still-image device without an internal name gets kStiClassPrefix and its
  // still-image position as four digits; without a device description, its product
  // identification.
  std::shared_ptr<EmulatedDevice> Add(DeviceSetup setup);

  // Applies the timeline steps that are due, for a host that runs its own timer.
  void AdvanceTimeline();
  // Schedules a step for the device of that name; at: ms after the bus's creation.
  void AddTimelineStep(const std::string& device, TimelineStep step);
  // The clock time (platform::Clock::Now) of the bus's creation.
  uint64_t TimelineOrigin() const;
  size_t PendingTimelineSteps() const;

  std::vector<std::shared_ptr<EmulatedDevice>> Devices() const;
  std::shared_ptr<EmulatedDevice> Find(std::string_view name) const;
  // The first device at that ASPI address, plugged or not.
  std::shared_ptr<EmulatedDevice> FindAspi(uint8_t host_adapter, uint8_t target) const;
  // A plugged still-image device by internal name.
  std::shared_ptr<EmulatedDevice> FindStillImage(const std::u16string& internal_name) const;
  // Plugged still-image devices in bus order.
  std::vector<std::shared_ptr<EmulatedDevice>> StillImageDevices() const;

  BusSettings Settings() const;
  void SetSettings(const BusSettings& settings);
  platform::DWORD AspiSupportInfo() const;

  // ASPI blocks left pending by targets that never answer.
  void AddPending(platform::aspi::SRB_ExecSCSICmd* block);
  bool TakePending(platform::aspi::SRB_ExecSCSICmd* block);
  size_t PendingCount() const;

  void RecordLaunch(Launch launch);
  // Runs at every launch request before it is recorded (tests hold a launch up with it).
  void SetLaunchHook(std::function<void()> hook);
  std::vector<Launch> Launches() const;

 private:
  mutable std::mutex mutex_;
  BusSettings settings_;
  std::vector<std::shared_ptr<EmulatedDevice>> devices_;
  int still_image_count_ = 0;
  std::vector<platform::aspi::SRB_ExecSCSICmd*> pending_;
  std::vector<Launch> launches_;
  std::function<void()> launch_hook_;
  const std::shared_ptr<Timeline> timeline_;
};

}  // namespace emulator
