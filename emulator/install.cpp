#include "emulator/install.h"

#include "emulator/aspi_manager.h"
#include "emulator/sg_kernel.h"
#include "emulator/still_image.h"
#include "platform/aspi/sg_aspi.h"
#include "platform/module.h"

namespace emulator {
namespace {

namespace aspi = platform::aspi;
namespace sti = platform::sti;

std::shared_ptr<aspi::AspiLibrary> ProviderFor(const std::shared_ptr<Bus>& bus, AspiProvider provider) {
  if (provider == AspiProvider::kEmulated) return MakeAspiLibrary(bus);
  auto kernel = std::make_shared<EmulatedSgKernel>(bus);
  aspi::SgOptions options;
  options.topology = kernel->Topology();
  options.kernel = std::move(kernel);
  return aspi::MakeScsiGenericLibrary(std::move(options));
}

std::shared_ptr<platform::Module> AspiFor(const std::shared_ptr<Bus>& bus, AspiModule kind, AspiProvider provider) {
  auto library = ProviderFor(bus, provider);
  if (kind == AspiModule::kWithoutSendCommand) library->SendASPI32Command = nullptr;
  if (kind == AspiModule::kWithoutSupportInfo) library->GetASPI32SupportInfo = nullptr;
  return library;
}

std::shared_ptr<platform::Module> StiFor(const std::shared_ptr<Bus>& bus, StiModule kind) {
  auto library = MakeStiLibrary(bus);
  if (kind == StiModule::kWithoutCreateInstance) library->StiCreateInstance = nullptr;
  return library;
}

}  // namespace

void Install(std::shared_ptr<Bus> bus, InstallOptions options) {
  Uninstall();
  if (options.aspi != AspiModule::kNotRegistered)
    platform::RegisterModule(aspi::kLibraryName, [bus, kind = options.aspi, provider = options.provider] {
      return AspiFor(bus, kind, provider);
    });
  if (options.sti != StiModule::kNotRegistered)
    platform::RegisterModule(sti::kLibraryName, [bus, kind = options.sti] { return StiFor(bus, kind); });
}

void Uninstall() {
  platform::UnregisterModule(aspi::kLibraryName);
  platform::UnregisterModule(sti::kLibraryName);
}

}  // namespace emulator
