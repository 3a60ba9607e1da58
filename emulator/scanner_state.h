// What an emulated scanner knows about itself, as structured data. The answer
// blocks of the wire protocol are built from it; writes change it.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace emulator {

constexpr uint32_t kFlashSize = 0x40000;  // the shading area: factory half, then user half
constexpr size_t kSpdSize = 128;
constexpr size_t kWindowDescriptorSize = 64;

// A large byte area that copies of the state share until one of them writes.
class SharedBytes {
 public:
  SharedBytes() : bytes_(std::make_shared<std::vector<uint8_t>>()) {}
  explicit SharedBytes(std::shared_ptr<const std::vector<uint8_t>> bytes)
      : bytes_(std::const_pointer_cast<std::vector<uint8_t>>(std::move(bytes))) {}
  size_t size() const { return bytes_->size(); }
  std::span<const uint8_t> view() const { return *bytes_; }
  // Copies the area first while anyone else shares it.
  std::span<uint8_t> writable() {
    if (bytes_.use_count() > 1) bytes_ = std::make_shared<std::vector<uint8_t>>(*bytes_);
    return *bytes_;
  }

 private:
  std::shared_ptr<std::vector<uint8_t>> bytes_;
};

// Status block (E0 0x01, and E8 0x00 for a flatbed unit).
struct StatusBlock {
  uint8_t state = 0;              // byte 0: 0 ready, 3 becoming ready
  std::array<uint8_t, 4> bytes{};  // bytes 4-7
  uint32_t code = 0;              // bytes 8-11; top byte 0 or 0x10: no error
};

// Clean-roller, replace-roller, front lamp, back lamp, front plate, back plate.
// A roller at 100 has reached its caution; a lamp or plate at 0xFF needs attention.
using CautionReport = std::array<uint8_t, 6>;

// The caution report's sources. A roller byte follows its count and threshold (see
// RollerCaution) unless it is forced; the lamps and plates have no counts.
struct Cautions {
  std::optional<uint8_t> clean_roller;    // forced byte 0
  std::optional<uint8_t> replace_roller;  // forced byte 1
  std::array<uint8_t, 4> lamps_plates{};  // bytes 2-5
};

struct Counters {
  uint32_t system = 0;
  uint32_t flatbed = 0;
  uint32_t after_clean = 0;
  uint32_t after_replace = 0;
  uint32_t paper_feed = 0;
  uint32_t clean_threshold = 0;
  uint32_t replace_threshold = 0;
  uint32_t paper_feed_threshold = 0;
};

// Minutes before the timer fires; 0 switches the timer off.
struct SleepSetting {
  uint8_t sleep_minutes = 15;
  uint8_t power_off_minutes = 30;  // only exchanged with the power-off capability
};

// Version block texts, four characters each; empty means not present.
struct Versions {
  std::string firmware;  // bytes 4-7
  std::string second;    // bytes 0-3
  std::string third;     // bytes 12-15 (24-byte form only)
  std::string fourth;    // bytes 20-23
  std::string fifth;     // bytes 16-19
};

// Board information; which members a model reports depends on its layout.
struct BoardInfo {
  uint8_t terminator = 1;  // 1: enabled
  uint8_t control = 0;
  uint8_t interface_board = 0;
  uint8_t drive = 0;
  uint8_t extra1 = 0;  // the two extra board bytes
  uint8_t extra2 = 0;
  uint8_t gate_array1 = 0;
  uint8_t gate_array1_second = 0;
  uint8_t gate_array2 = 0;
  uint8_t gate_array2_second = 0;
  uint8_t gate_array3 = 0;
  uint8_t firmware_revision = 0;  // characters; 0 none
  uint8_t second_revision = 0;
  uint8_t third_revision = 0;
};

// Configuration block (READ(10) type 0x93). Byte 0 bit 5, the flatbed unit, comes
// from FlatbedUnit::attached.
struct Configuration {
  bool pre_imprinter = false;    // byte 0 bit 1
  bool post_imprinter = false;   // byte 0 bit 0
  bool no_color_option = false;  // byte 0 bit 4
  bool one_sided = false;        // byte 0 bit 3: no back unit
  bool front_plate = false;      // byte 0 bit 7: front reference plate (dirty / turned to black)
  bool back_plate = false;       // byte 0 bit 6
  uint16_t memory_mb = 0;        // bytes 2-3
  uint16_t back_memory_mb = 0;   // bytes 16-17
  bool power_off = false;        // byte 24 bit 0: power-off timer, 4-byte sleep exchange
  bool counter_setting = false;  // byte 24 bit 2
};

// The feed test's settings as the device codes them (E0 0x41).
struct TestSettings {
  uint8_t mode = 0;
  uint16_t resolution = 200;
  uint8_t image_type = 1;  // 1, 4, 8, 24, and in the 18-byte form 136, 152
  uint8_t speed = 0;
  uint8_t paper_size = 4;  // A4
  uint8_t length_control = 1;
  uint8_t double_feed = 1;  // the whole byte 8: in the 18-byte form bits 0-1, stapled detection bits 2-3
  uint8_t dropout = 0;
  uint8_t sides = 1;
  uint8_t imprinters = 0;  // bit 0, bit 4
  uint8_t interval_on = 0;
  uint8_t interval_mm = 10;
  uint16_t interval_ms = 100;
  uint8_t reduction = 17;  // 18-byte form: 17 none, 18-20
};

// Position values in tenths (P1-P11) and the four extra bytes (X1-X4); the model's
// layout places some of them.
struct PositionValues {
  std::array<int8_t, 11> p{};
  std::array<uint8_t, 4> x{};
};

struct Sensors {
  std::array<uint8_t, 6> key_state{};            // E0 0x32
  std::array<uint16_t, 6> levels{};              // E0 0x33, 18-byte form, bytes 0-11
  std::array<uint8_t, 16> offsets_slices{};      // E0 0x33, 36-byte form, bytes 0-7 and 18-25
  uint16_t word_4b = 0;                          // E0 0x4B: roller pressure level
  std::array<uint8_t, 6> bent_paper{};           // values 1 to 6 (sent in reverse)
};

// A flatbed unit: attached to a scanner of the flatbed-capable family (reached
// through E8 / E9), or a device of its own.
struct FlatbedUnit {
  bool attached = false;
  StatusBlock status;
  uint8_t sleep_minutes = 15;
  uint8_t option = 1;  // option block byte 0; bit 0: usable
};

// The service mode last started and not yet ended.
struct ServiceMode {
  bool active = false;
  uint8_t mode = 0;  // bits 0-5 of the mode byte
  bool option = false;
  uint8_t parameter = 0;
};

struct ScanState {
  // Window descriptors (64 bytes) as SET WINDOW sent them: front, back.
  std::array<std::optional<std::array<uint8_t, kWindowDescriptorSize>>, 2> windows;
  std::optional<std::array<uint8_t, kWindowDescriptorSize>> last_window;
  bool paper_loaded = true;
  bool page_started = false;
  std::array<uint64_t, 2> remaining{};  // image bytes still to read, per side
  int scans = 0;                         // accepted SCAN commands
};

struct ScannerState {
  StatusBlock status;
  Cautions caution;
  Counters counters;
  SleepSetting sleep;
  uint8_t paper_mode = 1;  // 1 A4, 0 Letter
  uint8_t buzzer = 1;
  std::array<uint8_t, 2> compatible_mode = {0, 0};  // own type code, code presented
  std::array<uint8_t, 4> individual_settings{};
  uint16_t feed_speed = 0;
  TestSettings test_settings;
  PositionValues positions;
  Sensors sensors;
  std::string identity_text;  // 16 characters
  Versions versions;
  BoardInfo board;
  Configuration config;
  std::array<uint8_t, kSpdSize> spd_front{};
  std::array<uint8_t, kSpdSize> spd_back{};
  uint8_t shading_source = 0;  // 0 factory, 1 user
  SharedBytes flash;  // kFlashSize bytes at the profile's flash address
  ServiceMode service_mode;
  std::optional<std::array<uint8_t, 2>> adjustment;  // last E1 0x40 data
  int adjustments = 0;
  uint32_t mode_bits = 0;  // E1 0xB1
  int imprinter_cleanings = 0;
  uint16_t imprinter_cleaning_value = 0;
  FlatbedUnit flatbed;
  ScanState scan;

  // Raw answers replacing a vendor read (E0) of a data type; they win over the rest.
  std::map<uint8_t, std::vector<uint8_t>> vendor_reads;
  // Every accepted write, last one per data type: E1 data, E1 parameter form, E9 data.
  std::map<uint8_t, std::vector<uint8_t>> vendor_writes;
  std::map<uint8_t, uint32_t> vendor_parameters;
  std::map<uint8_t, std::vector<uint8_t>> flatbed_writes;
};

}  // namespace emulator
