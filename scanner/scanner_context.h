// The selected scanner as the utility knows it: identity, versions, board and memory
// information, options and capabilities.
#pragma once
#include <cstdint>

#include "device/device_record.h"

namespace scanner {

// Interface kinds.
constexpr uint8_t kInterfaceAspiScsi = 1;
constexpr uint8_t kInterfaceStiScsi = 2;
constexpr uint8_t kInterfaceStiUsbHigh = 3;
constexpr uint8_t kInterfaceStiUsbFull = 4;

struct ScannerContext {
  // Identity.
  bool connected = false;
  uint8_t model_code = 0;
  uint8_t interface_kind = 0;
  uint8_t host_adapter = 0;
  uint8_t target = 0;
  char vendor[9] = {};
  char model_name[17] = {};
  char revision[5] = {};
  uint8_t compatible_code = 0;    // first byte of the compatible-mode word
  uint8_t compatible_second = 0;  // second byte: the model the scanner presents itself as
  device::DeviceRecord record{};
  char16_t internal_name[128] = {};
  char identity_text[17] = {};
  bool individual_settings = false;
  bool individual_extension = false;

  // Versions: four characters each, revisions one character (0 = none).
  char firmware_version[5] = {};
  char firmware_revision = 0;
  char second_version[5] = {};
  char second_revision = 0;
  char third_version[5] = {};
  char third_revision = 0;
  char fourth_version[5] = {};
  char fifth_version[5] = {};

  // Boards.
  uint8_t control_board = 0;
  uint8_t gate_array[3] = {};
  uint8_t gate_array_second[2] = {};  // wide-body family: second bytes of gate arrays 1 and 2
  uint8_t interface_board = 0;
  uint8_t drive_board = 0;
  uint8_t extra_board[2] = {};
  bool terminator = false;

  // Options and capabilities.
  bool pre_imprinter = false;
  bool post_imprinter = false;
  bool flatbed_connected = false;
  bool flatbed_usable = false;
  bool color_option = true;
  uint8_t sides = 2;
  uint16_t memory_mb = 0;
  uint16_t back_memory_mb = 0;
  bool power_off = false;
  bool counter_setting = false;
  uint8_t spd_front[128] = {};
  uint8_t spd_back[128] = {};
  uint8_t paper_mode = 0;
  uint8_t buzzer = 0;
  bool paper_feed_roller = true;
};

// Every member back to its value before identification.
void ResetContext(ScannerContext& context);

}  // namespace scanner
