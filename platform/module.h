// Libraries loaded by name at run time. A provider registers a factory under a
// library name; loading an unregistered name fails as a missing library would.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// A loaded library. Concrete libraries (aspi::AspiLibrary, sti::StiLibrary) hold their
// entries as callables; an empty callable is an entry the library lacks.
class Module {
 public:
  virtual ~Module() = default;
};

using ModuleFactory = std::function<std::shared_ptr<Module>()>;

// Names compare case-insensitively, as Windows file names do.
void RegisterModule(std::string_view name, ModuleFactory factory);
void UnregisterModule(std::string_view name);
// Null (last error ERROR_FILE_NOT_FOUND) when no provider is registered or it yields nothing.
std::shared_ptr<Module> LoadLibrary(std::string_view name);

// Typed view of a loaded library; null when it is not of the expected kind.
template <class Library>
std::shared_ptr<Library> LoadLibraryAs(std::string_view name) {
  return std::dynamic_pointer_cast<Library>(LoadLibrary(name));
}

}  // namespace platform
