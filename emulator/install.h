// Registers the bus as the ASPI manager and the still-image service of this process.
#pragma once
#include <memory>

#include "emulator/bus.h"

namespace emulator {

enum class AspiModule { kComplete, kWithoutSendCommand, kWithoutSupportInfo, kNotRegistered };
enum class StiModule { kComplete, kWithoutCreateInstance, kNotRegistered };

// The ASPI manager itself, or the SCSI generic provider over the bus as the kernel's sg driver.
enum class AspiProvider { kEmulated, kScsiGeneric };

struct InstallOptions {
  AspiModule aspi = AspiModule::kComplete;
  StiModule sti = StiModule::kComplete;
  AspiProvider provider = AspiProvider::kEmulated;
};

// Registers "wnaspi32.dll" and "sti.dll" backed by the bus, replacing an earlier Install.
void Install(std::shared_ptr<Bus> bus, InstallOptions options = {});
// Unregisters both libraries.
void Uninstall();

// Install for the lifetime of the object.
class ScopedInstall {
 public:
  explicit ScopedInstall(std::shared_ptr<Bus> bus, InstallOptions options = {}) { Install(std::move(bus), options); }
  ~ScopedInstall() { Uninstall(); }
  ScopedInstall(const ScopedInstall&) = delete;
  ScopedInstall& operator=(const ScopedInstall&) = delete;
};

}  // namespace emulator
