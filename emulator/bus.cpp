#include "emulator/bus.h"

#include <algorithm>

#include "platform/format.h"
#include "platform/text.h"

namespace emulator {

namespace aspi = platform::aspi;

std::shared_ptr<EmulatedDevice> Bus::Add(DeviceSetup setup) {
  std::vector<TimelineStep> steps = std::move(setup.timeline);
  std::shared_ptr<EmulatedDevice> device;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    if (setup.attachment.sti) {
      StiDriver& driver = *setup.attachment.sti;
      if (driver.internal_name.empty())
        driver.internal_name =
            kStiClassPrefix + platform::text::Utf8ToUtf16(platform::Format("%04d", still_image_count_));
      if (driver.device_description.empty())
        driver.device_description = platform::text::Utf8ToUtf16(setup.identity.product);
      ++still_image_count_;
    }
    device = std::make_shared<EmulatedDevice>(std::move(setup), timeline_);
    devices_.push_back(device);
  }
  timeline_->Join(device);
  for (TimelineStep& step : steps) timeline_->Add(device->name(), std::move(step));
  return device;
}

void Bus::AdvanceTimeline() { timeline_->Advance(); }

void Bus::AddTimelineStep(const std::string& device, TimelineStep step) { timeline_->Add(device, std::move(step)); }

uint64_t Bus::TimelineOrigin() const { return timeline_->Origin(); }

size_t Bus::PendingTimelineSteps() const { return timeline_->Pending(); }

std::vector<std::shared_ptr<EmulatedDevice>> Bus::Devices() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return devices_;
}

std::shared_ptr<EmulatedDevice> Bus::Find(std::string_view name) const {
  std::lock_guard<std::mutex> guard(mutex_);
  for (const auto& device : devices_)
    if (device->name() == name) return device;
  return nullptr;
}

std::shared_ptr<EmulatedDevice> Bus::FindAspi(uint8_t host_adapter, uint8_t target) const {
  timeline_->Advance();
  std::lock_guard<std::mutex> guard(mutex_);
  const AspiAddress wanted{host_adapter, target};
  for (const auto& device : devices_)
    if (device->attachment().aspi == wanted) return device;
  return nullptr;
}

std::shared_ptr<EmulatedDevice> Bus::FindStillImage(const std::u16string& internal_name) const {
  for (const auto& device : StillImageDevices())
    if (device->attachment().sti->internal_name == internal_name) return device;
  return nullptr;
}

std::vector<std::shared_ptr<EmulatedDevice>> Bus::StillImageDevices() const {
  timeline_->Advance();
  std::vector<std::shared_ptr<EmulatedDevice>> out;
  for (const auto& device : Devices())
    if (device->attachment().sti && device->Plugged()) out.push_back(device);
  return out;
}

BusSettings Bus::Settings() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return settings_;
}

void Bus::SetSettings(const BusSettings& settings) {
  std::lock_guard<std::mutex> guard(mutex_);
  settings_ = settings;
}

platform::DWORD Bus::AspiSupportInfo() const {
  constexpr uint8_t kNoAdapters = 0xE8;
  timeline_->Advance();
  std::lock_guard<std::mutex> guard(mutex_);
  int highest = -1;
  for (const auto& device : devices_)
    if (device->attachment().aspi) highest = std::max<int>(highest, device->attachment().aspi->host_adapter);
  const uint8_t count = settings_.aspi_host_adapters.value_or(static_cast<uint8_t>(highest + 1));
  const uint8_t status = settings_.aspi_status.value_or(count ? aspi::SS_COMP : kNoAdapters);
  return platform::DWORD{status} << 8 | count;
}

void Bus::AddPending(aspi::SRB_ExecSCSICmd* block) {
  std::lock_guard<std::mutex> guard(mutex_);
  pending_.push_back(block);
}

bool Bus::TakePending(aspi::SRB_ExecSCSICmd* block) {
  std::lock_guard<std::mutex> guard(mutex_);
  auto it = std::find(pending_.begin(), pending_.end(), block);
  if (it == pending_.end()) return false;
  pending_.erase(it);
  return true;
}

size_t Bus::PendingCount() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return pending_.size();
}

void Bus::RecordLaunch(Launch launch) {
  std::function<void()> hook;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    hook = launch_hook_;
  }
  if (hook) hook();
  std::lock_guard<std::mutex> guard(mutex_);
  launches_.push_back(std::move(launch));
}

void Bus::SetLaunchHook(std::function<void()> hook) {
  std::lock_guard<std::mutex> guard(mutex_);
  launch_hook_ = std::move(hook);
}

std::vector<Launch> Bus::Launches() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return launches_;
}

}  // namespace emulator
