// The program's resource source: built-in resources with a language's entries over them.
#pragma once
#include <optional>
#include <string>

#include "resources/resource_script.h"

namespace resources {

class Resources {
 public:
  Resources() = default;
  explicit Resources(ResourceScript builtin) : script_(std::move(builtin)) {}

  // Each entry of the language script replaces the one with the same id (strings,
  // dialogs, icons, bitmaps); entries it lacks stay as they are.
  void Override(const ResourceScript& language);

  // The string's text; empty when the id is unknown.
  std::string LoadString(int id) const;
  bool HasString(int id) const;
  // Null when there is no such template.
  const DialogTemplate* FindDialog(const ResourceId& id) const;
  // The image file's name; nullopt when there is no such resource.
  std::optional<std::string> FindIcon(const ResourceId& id) const;
  std::optional<std::string> FindBitmap(const ResourceId& id) const;

  const ResourceScript& Script() const { return script_; }

 private:
  ResourceScript script_;
};

}  // namespace resources
