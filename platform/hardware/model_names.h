// Model names from the system's hardware database (udev's hwdb).
#pragma once
#include <optional>
#include <string>

struct udev;
struct udev_hwdb;

namespace platform::hardware {

class HardwareDatabase {
 public:
  HardwareDatabase();
  ~HardwareDatabase();
  HardwareDatabase(const HardwareDatabase&) = delete;
  HardwareDatabase& operator=(const HardwareDatabase&) = delete;

  // ID_MODEL_FROM_DATABASE for a key such as "pci:v00001F3Ad00001C02"; nullopt when the
  // database is missing or has no name for it.
  std::optional<std::string> Model(const std::string& key) const;

 private:
  udev* udev_ = nullptr;
  udev_hwdb* hwdb_ = nullptr;
};

}  // namespace platform::hardware
