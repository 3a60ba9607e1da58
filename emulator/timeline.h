// The scripted timeline of a bus: steps for its devices, applied in time order (steps
// of the same time in the order they were added) once the platform clock has reached
// them. Nothing runs by itself: every touch of a device or of the bus advances the
// timeline first, and a host may advance it on a timer of its own. A step that makes
// a device come or go broadcasts DBT_DEVNODES_CHANGED once it has been applied.
// Safe to use from any thread.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "emulator/timeline_step.h"

namespace emulator {

class EmulatedDevice;

class Timeline {
 public:
  // Step times count from now.
  Timeline();

  // The clock time step times count from.
  uint64_t Origin() const { return origin_; }

  // Makes a device reachable by its name (the first device of a name keeps it), and
  // sets the presence of every flatbed unit that now has its scanner, quietly.
  void Join(const std::shared_ptr<EmulatedDevice>& device);
  void Add(std::string device, TimelineStep step);
  // Applies every step whose time has come.
  void Advance();
  size_t Pending() const;

 private:
  struct Scheduled {
    std::string device;
    TimelineStep step;
  };

  // True when the step made a device come or go.
  bool Apply(const Scheduled& scheduled);
  // A scanner's flatbed unit is present exactly while the scanner reports it attached.
  bool SyncFlatbedUnit(EmulatedDevice& scanner);
  std::shared_ptr<EmulatedDevice> Find(const std::string& name) const;

  const uint64_t origin_;
  mutable std::mutex mutex_;
  std::multimap<uint64_t, Scheduled> steps_;
  std::map<std::string, std::weak_ptr<EmulatedDevice>> devices_;
};

}  // namespace emulator
