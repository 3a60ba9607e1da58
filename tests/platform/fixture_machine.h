// A fixture machine: a /proc, /sys and /lib/modules tree the hardware keys projection
// reads, and one PC built in it.
#pragma once
#include <chrono>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/hardware_keys.h"
#include "tests/platform/test_env.h"

namespace platform::testing {

namespace fs = std::filesystem;

// A /proc, /sys and /lib/modules tree for the projection to read.
class FixtureMachine {
 public:
  FixtureMachine() {
    roots_.proc = dir_.path() / "proc";
    roots_.sys = dir_.path() / "sys";
    roots_.modules = dir_.path() / "lib/modules";
    roots_.model_name = [this](const std::string& key) -> std::optional<std::string> {
      const auto it = names_.find(key);
      return it == names_.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
  }
  const HardwareRoots& roots() const { return roots_; }
  fs::path sys() const { return roots_.sys; }

  void File(const fs::path& path, const std::string& text) { WriteAll(path, text); }
  // Attribute files of a sysfs folder, each with its line end.
  void Attributes(const fs::path& folder, const std::map<std::string, std::string>& attributes) {
    for (const auto& [name, text] : attributes) WriteAll(folder / name, text + "\n");
  }
  // Binds a device to a driver, of a module when one is given.
  void Bind(const fs::path& device, const std::string& bus, const std::string& driver, const std::string& module = "") {
    const fs::path driver_dir = roots_.sys / "bus" / bus / "drivers" / driver;
    fs::create_directories(driver_dir);
    fs::create_directories(device);
    fs::create_symlink(driver_dir, device / "driver");
    if (module.empty() || fs::exists(driver_dir / "module")) return;
    fs::create_directories(roots_.sys / "module" / module);
    fs::create_symlink(roots_.sys / "module" / module, driver_dir / "module");
  }
  // A module file listed in modules.dep, written on the given day (UTC).
  fs::path Module(const std::string& relative, int year, int month, int day) {
    const fs::path file = roots_.modules / "6.1.0-test" / relative;
    WriteAll(file, "");
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = 12;
    const auto when = std::chrono::system_clock::from_time_t(::timegm(&tm));
    fs::last_write_time(file, std::chrono::file_clock::from_sys(when));
    modules_dep_ += relative + ":\n";
    WriteAll(roots_.modules / "6.1.0-test/modules.dep", modules_dep_);
    return file;
  }
  void Name(const std::string& key, const std::string& name) { names_[key] = name; }

 private:
  TempDir dir_;
  HardwareRoots roots_;
  std::map<std::string, std::string> names_;
  std::string modules_dep_;
};

inline constexpr const char* kCpuInfo =
    "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 85\n"
    "model name\t: Test CPU @ 2.40GHz\nstepping\t: 7\ncpu MHz\t\t: 2394.454\nflags\t\t: fpu vme\n\n"
    "processor\t: 1\nvendor_id\t: AuthenticAMD\ncpu family\t: 23\nmodel\t\t: 49\nstepping\t: 0\ncpu MHz\t\t: "
    "2899.5\n\n";

// A PC with a SATA disk, a SCSI card with a scanner and a processor device, PCI USB and
// display controllers, a root hub, a vendor-class USB device and a card reader.
inline void BuildPc(FixtureMachine& pc) {
  const fs::path sys = pc.sys();
  pc.File(pc.roots().proc / "cpuinfo", kCpuInfo);
  pc.File(pc.roots().proc / "sys/kernel/osrelease", "6.1.0-test\n");

  pc.Attributes(sys / "class/scsi_host/host0", {{"proc_name", "ahci"}, {"this_id", "-1"}});
  pc.Attributes(sys / "class/scsi_host/host2", {{"proc_name", "qvscsi"}, {"this_id", "7"}});
  const fs::path scsi = sys / "bus/scsi/devices";
  pc.Attributes(scsi / "0:0:0:0",
                {{"vendor", "ATA     "}, {"model", "QD500-SATA      "}, {"rev", "CC44"}, {"type", "0"}});
  pc.Bind(scsi / "0:0:0:0", "scsi", "sd", "sd_mod");
  pc.Attributes(scsi / "2:0:5:0",
                {{"vendor", "QVX     "}, {"model", "SF-9000 Scanner "}, {"rev", "1.02"}, {"type", "6"}});
  pc.Attributes(scsi / "2:0:12:0",
                {{"vendor", "QVX     "}, {"model", "AC-1            "}, {"rev", "2   "}, {"type", "8"}});
  pc.Attributes(scsi / "2:1:10:0", {{"vendor", "QVX"}, {"model", "SF-7"}, {"rev", "1.0"}, {"type", "3"}});
  fs::create_directories(scsi / "host0");
  fs::create_directories(scsi / "target0:0:0");

  const fs::path pci = sys / "bus/pci/devices";
  const std::map<std::string, std::string> intel = {
      {"vendor", "0x1f3a"}, {"subsystem_vendor", "0x1f3b"}, {"subsystem_device", "0x04aa"}};
  auto pci_device = [&](const std::string& address, std::map<std::string, std::string> attributes) {
    attributes.insert(intel.begin(), intel.end());
    pc.Attributes(pci / address, attributes);
  };
  pci_device("0000:00:02.0", {{"device", "0x0102"}, {"revision", "0x09"}, {"class", "0x030000"}});
  pci_device("0000:00:14.0", {{"device", "0x1e31"}, {"revision", "0x04"}, {"class", "0x0c0330"}});
  pc.Bind(pci / "0000:00:14.0", "pci", "xhci_hcd", "xhci_pci");
  pci_device("0000:00:1f.2", {{"device", "0x1c02"}, {"revision", "0x05"}, {"class", "0x010601"}});
  pc.Bind(pci / "0000:00:1f.2", "pci", "ahci", "ahci");
  pc.Attributes(sys / "module/ahci", {{"version", "3.0"}});
  pci_device("0000:00:1f.3", {{"device", "0xzz"}, {"class", "0x0c0500"}});
  pc.Name("pci:v00001F3Ad00001C02", "SATA AHCI Controller Test");

  const fs::path usb = sys / "bus/usb/devices";
  pc.Attributes(usb / "1-2", {{"idVendor", "3f01"},
                              {"idProduct", "0c1a"},
                              {"bDeviceClass", "00"},
                              {"serial", "SN0042"},
                              {"product", "Sheet Feeder"}});
  pc.Attributes(usb / "1-2/1-2:1.0", {{"bInterfaceClass", "ff"}});
  fs::create_directory_symlink(usb / "1-2/1-2:1.0", usb / "1-2:1.0");
  pc.Name("usb:v3F01p0C1A", "Fixture Scanner");
  pc.Attributes(usb / "1-3",
                {{"idVendor", "3f02"}, {"idProduct", "0001"}, {"bDeviceClass", "ef"}, {"product", "Card Reader"}});
  pc.Attributes(usb / "1-3/1-3:1.0", {{"bInterfaceClass", "08"}});
  pc.Bind(usb / "1-3/1-3:1.0", "usb", "usb-storage", "usb_storage");
  pc.Attributes(usb / "usb1", {{"idVendor", "1f3c"},
                               {"idProduct", "0002"},
                               {"bDeviceClass", "09"},
                               {"serial", "0000:00:14.0"},
                               {"product", "xHCI Host Controller"}});
  pc.Attributes(usb / "usb1/1-0:1.0", {{"bInterfaceClass", "09"}});
  pc.Bind(usb / "usb1/1-0:1.0", "usb", "hub");
}

}  // namespace platform::testing
