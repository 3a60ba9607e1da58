#include "resources/resource_script.h"

#include "platform/text.h"

namespace resources {

ResourceId::ResourceId(std::string_view resource_name) : name(resource_name) {
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

const ControlTemplate* DialogTemplate::FindControl(int control_id) const {
  for (const ControlTemplate& control : controls)
    if (control.id == control_id) return &control;
  return nullptr;
}

// Version queries ignore case, as block and value names do.
const VersionValue* VersionResource::Find(std::string_view path) const {
  for (const auto& [name, value] : values)
    if (platform::text::EqualsIgnoreCase(name, path)) return &value;
  return nullptr;
}

}  // namespace resources
