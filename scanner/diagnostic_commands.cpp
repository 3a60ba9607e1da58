#include "scanner/diagnostic_commands.h"

#include <initializer_list>
#include <vector>

#include "device/device_library.h"
#include "platform/bytes.h"
#include "scanner/cdb.h"
#include "scanner/check_result.h"
#include "scanner/command_support.h"
#include "scanner/message_pumping.h"
#include "scanner/model_codes.h"
#include "scanner/service_mode.h"

namespace scanner {
using namespace cdb;
namespace {

using namespace detail;

constexpr ModelSet kLongTestSettingsModels = ModelSet::Range(12, 29) | ModelSet{32} | kCompactFamily;

// Where a value sits in the position answer: slots 0-10 are P1-P11, 11-14 X1-X4.
struct Place {
  uint8_t byte;
  uint8_t slot;
};
constexpr uint8_t P(int n) { return static_cast<uint8_t>(n - 1); }
constexpr uint8_t X(int n) { return static_cast<uint8_t>(10 + n); }

struct Placement {
  ModelSet models;
  uint32_t length;
  std::vector<Place> places;
};

const std::vector<Place> kFirstFive = {{0, P(1)}, {1, P(2)}, {2, P(3)}, {3, P(4)}, {4, P(5)}};

std::vector<Place> Join(std::initializer_list<std::vector<Place>> parts) {
  std::vector<Place> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const std::vector<Placement>& Placements() {
  static const std::vector<Placement> kPlacements = [] {
    const std::vector<Place> kFirstEight = Join({kFirstFive, {{5, P(6)}, {6, P(7)}, {7, P(8)}}});
    const std::vector<Place> kTail = {{5, P(11)}, {6, P(9)}, {7, P(10)}, {11, X(4)}};
    const std::vector<Place> kWide = Join({kFirstFive, {{10, X(1)}, {12, X(2)}, {14, X(3)}}});
    return std::vector<Placement>{
        {kProductionFamily, 12, Join({kFirstFive, kTail, {{10, X(1)}}})},
        {{13, 28, 29}, 16, Join({kWide, kTail})},
        {ModelSet::Range(17, 21) | ModelSet{24}, 16, kWide},
        {{22, 23}, 16, Join({kFirstFive, {{8, P(6)}, {9, P(7)}, {10, X(1)}, {12, P(8)}}})},
        {{37, 38}, 12, kFirstEight},
        {ModelSet::Range(39, 43), 12, Join({kFirstEight, {{8, X(1)}}})},
        {{5, 6, 8, 10}, 8, Join({kFirstFive, {{5, X(1)}}})},
    };
  }();
  return kPlacements;
}

const Placement& PlacementFor(uint8_t model_code) {
  static const Placement kOthers{{}, 8, kFirstFive};
  for (const Placement& placement : Placements()) {
    if (placement.models.Has(model_code)) return placement;
  }
  return kOthers;
}

// The fixed answer of the simulated scanner.
void SimulatedTestSettings(TestSettingsBlock& block) {
  const bool long_form = block.length == kLongTestSettings;
  block.bytes = {};
  platform::bytes::PutBE16(&block.bytes[2], 200);
  block.bytes[4] = 1;
  block.bytes[6] = long_form ? 4 : 7;
  block.bytes[7] = 1;
  block.bytes[8] = 1;
  block.bytes[10] = 1;
  if (long_form) {
    block.bytes[13] = 10;
    block.bytes[16] = 18;
  }
}

void Prepare(uint8_t ha, uint8_t target) { SetServiceMode(ha, target, kPrepareMode, true); }

}  // namespace

uint32_t TestSettingsLength(uint8_t model_code) {
  return kLongTestSettingsModels.Has(model_code) ? kLongTestSettings : kShortTestSettings;
}

uint32_t PositionValuesLength(uint8_t model_code) { return PlacementFor(model_code).length; }

int ReadTestSettings(uint8_t ha, uint8_t target, uint8_t model_code, TestSettingsBlock& block, bool quiet) {
  SendReady(ha, target);
  TestSettingsBlock read;
  read.length = TestSettingsLength(model_code);
  if (!Judge(VendorRead(ha, target, 0x41, read.bytes.data(), read.length), quiet)) return 0;
  if (Simulated()) SimulatedTestSettings(read);
  block = read;
  return 1;
}

int ReadPositionValues(uint8_t ha, uint8_t target, uint8_t model_code, PositionValues& values) {
  SendReady(ha, target);
  const Placement& placement = PlacementFor(model_code);
  uint8_t answer[16] = {};
  if (!Judge(VendorRead(ha, target, 0x30, answer, placement.length), false)) return 0;
  PositionValues read;
  for (const Place& place : placement.places) {
    const double value = static_cast<int8_t>(answer[place.byte]) / 10.0;
    if (place.slot < 11) read.p[place.slot] = value;
    else read.x[place.slot - 11] = value;
  }
  values = read;
  return 1;
}

int ReadWord4B(uint8_t ha, uint8_t target, uint16_t& value) {
  SendReady(ha, target);
  uint8_t answer[4] = {};
  if (!Judge(VendorRead(ha, target, 0x4B, answer, sizeof(answer)), false)) return 0;
  value = platform::bytes::GetBE16(answer);
  return 1;
}

int ReadBentPaperLevels(uint8_t ha, uint8_t target, std::array<uint8_t, 6>& levels) {
  SendReady(ha, target);
  uint8_t answer[8] = {};
  if (!Judge(VendorRead(ha, target, 0x4C, answer, sizeof(answer)), false)) return 0;
  for (int i = 0; i < 6; ++i) levels[i] = answer[5 - i];
  if (Simulated()) {
    levels[0] = 155;
    levels[1] = 156;
    levels[3] = 153;
    levels[4] = 154;
  }
  return 1;
}

int ReadKeySensorState(uint8_t ha, uint8_t target, uint32_t length, std::array<uint8_t, 5>& state, bool quiet) {
  Prepare(ha, target);
  SendReady(ha, target);
  uint8_t answer[6] = {};
  const bool long_form = length == 6;
  if (!Judge(VendorRead(ha, target, 0x32, answer, long_form ? 6 : 4), quiet)) return 0;
  for (int i = 0; i < (long_form ? 5 : 4); ++i) state[i] = answer[i];
  return 1;
}

int ReadSensorLevels(uint8_t ha, uint8_t target, uint32_t length, SensorLevels& levels) {
  const bool long_form = length == 36;
  if (!long_form) Prepare(ha, target);
  SendReady(ha, target);
  uint8_t answer[36] = {};
  if (!Judge(VendorRead(ha, target, 0x33, answer, long_form ? 36 : 18), false)) return 0;
  SensorLevels read;
  if (long_form) {
    for (int i = 0; i < 8; ++i) {
      read.bytes[i] = answer[i];
      read.bytes[8 + i] = answer[18 + i];
    }
  } else {
    for (int i = 0; i < 6; ++i) read.words[i] = platform::bytes::GetBE16(answer + 2 * i);
  }
  levels = read;
  return 1;
}

int StartAdjustment(uint8_t ha, uint8_t target, uint8_t option) {
  constexpr uint8_t kShadingAdjustment = 0x80;
  SendReady(ha, target);
  const uint8_t data[2] = {kShadingAdjustment, static_cast<uint8_t>(option & 0x01)};
  const uint16_t result = VendorWrite(ha, target, 0x40, data, sizeof(data));
  if (Simulated()) {
    // The simulated scanner takes as long as a real adjustment would to start.
    SleepPumping(10000);
    return 1;
  }
  if (!ResultCountsAsGood(result)) {
    device::UnlockScanner();
    CheckScannerResult(result);
    return 0;
  }
  return 1;
}

int ReadReferencePlateState(uint8_t ha, uint8_t target, bool& front_dirty, bool& back_dirty) {
  uint8_t answer[kType93Length] = {};
  if (!Judge(ReadType93(ha, target, answer), false)) return 0;
  front_dirty = (answer[0] & 0x80) != 0;
  back_dirty = (answer[0] & 0x40) != 0;
  if (Simulated()) {
    front_dirty = SimValue("DummyPrateFront", 0) != 0;
    back_dirty = SimValue("DummyPrateBack", 0) != 0;
  }
  return 1;
}

}  // namespace scanner
