// What one emulated device is: identity, attachment, driver answers, model profile,
// scanner state and the faults it starts with.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "emulator/faults.h"
#include "emulator/model_profile.h"
#include "emulator/scanner_state.h"
#include "emulator/timeline_step.h"
#include "platform/win_types.h"

namespace emulator {

constexpr size_t kInquirySize = 96;

struct Identity {
  uint8_t peripheral_type = 6;  // scanner
  std::string vendor = "VORANTEK";
  std::string product = "DE-T4783Z";
  std::string revision = "1.00";
};

// 96 bytes: peripheral type, version, format, additional length, then vendor (8),
// product (16) and revision (4), space padded and cut to their widths.
std::array<uint8_t, kInquirySize> BuildInquiry(const Identity& identity);

struct AspiAddress {
  uint8_t host_adapter = 0;
  uint8_t target = 0;
  friend bool operator==(const AspiAddress&, const AspiAddress&) = default;
};

enum class StiBus { kScsi, kUsb };

// The still-image driver's side of a device.
struct StiDriver {
  StiBus bus = StiBus::kUsb;
  // Empty name: the bus names the device "{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\nnnn"
  // by its still-image position; empty device description: the product identification.
  std::u16string internal_name;
  std::u16string vendor_description = u"Quorvex";
  std::u16string device_description;
  std::u16string port_name = u"\\\\.\\Usbscan0";
  uint8_t escape_form_byte = 1;  // escape 0x1004: bit 0 set = direct form
  uint8_t lock_mode = 2;         // escape 5
  uint8_t usb_speed = 1;         // escapes 0x1003 and 4: 1 = high speed
  // Registry values of the driver installation; nullopt leaves the value out.
  std::optional<platform::DWORD> disable_notifications = 0;
  std::optional<std::string> button_applications;
  std::optional<std::string> feeder_applications;
};

// A device is reachable through ASPI, the still-image service, or both.
struct Attachment {
  std::optional<AspiAddress> aspi;
  std::optional<StiDriver> sti;
};

struct DeviceSetup {
  std::string name;  // the scenario's name for the device
  Identity identity;
  std::optional<std::array<uint8_t, kInquirySize>> raw_inquiry;  // replaces the built answer
  Attachment attachment;
  ModelProfile profile;  // what the device answers; DeviceBuilder picks it by product
  ScannerState state;
  DeviceFaults faults;
  std::vector<TimelineStep> timeline;  // scheduled by the bus the device joins
  // The device on the same bus that is this scanner's flatbed unit: present exactly
  // while the scanner reports the unit attached.
  std::string flatbed_unit;
};

}  // namespace emulator
