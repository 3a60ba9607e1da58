#include "platform/hardware/model_names.h"

#include <libudev.h>

#include <cstring>

namespace platform::hardware {

HardwareDatabase::HardwareDatabase() : udev_(udev_new()), hwdb_(udev_ ? udev_hwdb_new(udev_) : nullptr) {}

HardwareDatabase::~HardwareDatabase() {
  if (hwdb_) udev_hwdb_unref(hwdb_);
  if (udev_) udev_unref(udev_);
}

std::optional<std::string> HardwareDatabase::Model(const std::string& key) const {
  if (!hwdb_) return std::nullopt;
  udev_list_entry* entry = nullptr;
  udev_list_entry_foreach(entry, udev_hwdb_get_properties_list_entry(hwdb_, key.c_str(), 0)) {
    const char* value = udev_list_entry_get_value(entry);
    if (std::strcmp(udev_list_entry_get_name(entry), "ID_MODEL_FROM_DATABASE") == 0 && value && *value) return value;
  }
  return std::nullopt;
}

}  // namespace platform::hardware
