#include "platform/module.h"

#include <map>
#include <mutex>

#include "platform/text.h"
#include "platform/win_types.h"

namespace platform {
namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::string, ModuleFactory> factories;
};

Registry& registry() {
  static Registry r;
  return r;
}

}  // namespace

void RegisterModule(std::string_view name, ModuleFactory factory) {
  std::lock_guard<std::mutex> guard(registry().mutex);
  registry().factories[text::ToLowerAscii(name)] = std::move(factory);
}

void UnregisterModule(std::string_view name) {
  std::lock_guard<std::mutex> guard(registry().mutex);
  registry().factories.erase(text::ToLowerAscii(name));
}

std::shared_ptr<Module> LoadLibrary(std::string_view name) {
  ModuleFactory factory;
  {
    std::lock_guard<std::mutex> guard(registry().mutex);
    auto it = registry().factories.find(text::ToLowerAscii(name));
    if (it != registry().factories.end()) factory = it->second;
  }
  std::shared_ptr<Module> module = factory ? factory() : nullptr;
  if (!module) SetLastError(ERROR_FILE_NOT_FOUND);
  return module;
}

}  // namespace platform
