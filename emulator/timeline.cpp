#include "emulator/timeline.h"

#include "emulator/emulated_device.h"
#include "platform/clock.h"
#include "platform/system.h"

namespace emulator {

TimelineStep ChangeStep(uint64_t at, StateChange change) {
  TimelineStep step;
  step.at = at;
  step.change = std::move(change);
  return step;
}

TimelineStep UnplugStep(uint64_t at) { return {at, StepAction::kUnplug, {}, 0}; }
TimelineStep PlugStep(uint64_t at) { return {at, StepAction::kPlug, {}, 0}; }
TimelineStep HoldLockStep(uint64_t from, uint64_t until) { return {from, StepAction::kHoldLock, {}, until}; }

Timeline::Timeline() : origin_(platform::GetClock().Now()) {}

std::shared_ptr<EmulatedDevice> Timeline::Find(const std::string& name) const {
  auto it = devices_.find(name);
  return it == devices_.end() ? nullptr : it->second.lock();
}

void Timeline::Join(const std::shared_ptr<EmulatedDevice>& device) {
  std::lock_guard<std::mutex> guard(mutex_);
  devices_.emplace(device->name(), device);
  SyncFlatbedUnit(*device);
  for (const auto& [name, weak] : devices_) {
    auto scanner = weak.lock();
    if (scanner && scanner->flatbed_unit() == device->name()) SyncFlatbedUnit(*scanner);
  }
}

void Timeline::Add(std::string device, TimelineStep step) {
  std::lock_guard<std::mutex> guard(mutex_);
  const uint64_t at = step.at;
  steps_.emplace(at, Scheduled{std::move(device), std::move(step)});
}

size_t Timeline::Pending() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return steps_.size();
}

void Timeline::Advance() {
  int changes = 0;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    const uint64_t now = platform::GetClock().Now();
    while (!steps_.empty() && origin_ + steps_.begin()->first <= now) {
      auto node = steps_.extract(steps_.begin());
      if (Apply(node.mapped())) ++changes;
    }
  }
  // Outside the lock: a listener may touch the bus at once.
  for (int i = 0; i < changes; ++i) platform::system::BroadcastDeviceChange();
}

bool Timeline::Apply(const Scheduled& scheduled) {
  const std::shared_ptr<EmulatedDevice> device = Find(scheduled.device);
  if (!device) return false;
  const TimelineStep& step = scheduled.step;
  switch (step.action) {
    case StepAction::kChangeState:
      device->ApplyChange(step.change);
      return SyncFlatbedUnit(*device);
    case StepAction::kUnplug: return device->SetPresent(false);
    case StepAction::kPlug: return device->SetPresent(true);
    case StepAction::kHoldLock: device->HoldLockUntil(origin_ + step.lock_until); return false;
  }
  return false;
}

bool Timeline::SyncFlatbedUnit(EmulatedDevice& scanner) {
  if (scanner.flatbed_unit().empty()) return false;
  const std::shared_ptr<EmulatedDevice> unit = Find(scanner.flatbed_unit());
  if (!unit || unit.get() == &scanner) return false;
  return unit->SetPresent(scanner.FlatbedAttached());
}

}  // namespace emulator
