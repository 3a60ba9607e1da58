#include "scanner/status_tables.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "platform/format.h"
#include "scanner/model_codes.h"

namespace scanner {
namespace {

constexpr int kIdsBlank = 5114;
constexpr int kIdsLeaveTray = 5121;
constexpr int kIdsOpenDoorRemovePaper = 5009;
constexpr int kIdsDoorOpen = 5021;
constexpr int kIdsCloseDoor = 5004;
constexpr int kIdsSystemError = 5031;
constexpr int kIdsConsultService = 5005;
constexpr int kIdsFlatbedSystemError = 5146;

using Table = std::vector<StatusEntry>;

// Codes first..last with short codes prefix + number, number + 1, ...
void AddRange(Table& t, uint8_t first, uint8_t last, const char* prefix, int number, int line1, int line2) {
  for (unsigned code = first; code <= last; ++code, ++number)
    t.push_back({static_cast<uint8_t>(code), platform::Format("%s%d", prefix, number), line1, line2});
}

void AddNoError(Table& t, std::initializer_list<uint8_t> codes) {
  for (uint8_t code : codes) t.push_back({code, "", kIdsNoError, kIdsBlank});
}

void AddSystemError(Table& t, uint8_t first, uint8_t last, int number) {
  AddRange(t, first, last, "F", number, kIdsSystemError, kIdsConsultService);
}

void Remove(Table& t, std::initializer_list<uint8_t> codes) {
  std::erase_if(t, [&](const StatusEntry& e) { return std::find(codes.begin(), codes.end(), e.code) != codes.end(); });
}

void End(Table& t, int line1, int line2) { t.push_back({kStatusEndCode, "F", line1, line2}); }

// The system errors of the default table.
void AddDefaultSystemErrors(Table& t) {
  AddSystemError(t, 0x30, 0x32, 40);
  AddSystemError(t, 0x40, 0x46, 50);
  AddSystemError(t, 0x50, 0x53, 60);
  AddSystemError(t, 0x54, 0x55, 68);
  AddSystemError(t, 0x87, 0x88, 17);
  AddSystemError(t, 0x8A, 0x9C, 20);
  AddSystemError(t, 0x60, 0x61, 80);
  AddSystemError(t, 0x9E, 0x9E, 90);
}

void AddDoors(Table& t) {
  t.push_back({0x20, "U30", kIdsDoorOpen, kIdsCloseDoor});
  t.push_back({0x22, "U32", kIdsDoorOpen, kIdsCloseDoor});
  t.push_back({0x24, "U34", kIdsDoorOpen, kIdsCloseDoor});
}

// Jam, remaining paper, skew, multifeed: their first lines per table.
struct PaperTexts {
  int jam, remains, skew, multifeed, second;
};

void AddPaperErrors(Table& t, const PaperTexts& p) {
  AddRange(t, 0x11, 0x17, "U", 11, p.jam, p.second);
  t.push_back({0x18, "U18", p.remains, p.second});
  t.push_back({0x19, "U20", p.skew, p.second});
  t.push_back({0x1C, "U23", p.multifeed, p.second});
}

void AddStapled(Table& t) {
  t.push_back({0x1D, "U24", 5138, kIdsLeaveTray});
  t.push_back({0x1E, "U25", 5139, kIdsLeaveTray});
  t.push_back({0x1F, "U26", 5140, kIdsLeaveTray});
}

Table DefaultTable() {
  Table t;
  AddNoError(t, {0x00, 0x0A, 0x0B, 0x10, 0x08});
  AddPaperErrors(t, {5120, 5126, 5128, 5028, kIdsLeaveTray});
  AddStapled(t);
  AddDoors(t);
  AddDefaultSystemErrors(t);
  End(t, kIdsBlank, kIdsBlank);
  return t;
}

Table TableB() {
  Table t;
  AddNoError(t, {0x00, 0x0A, 0x0B, 0x10, 0x08});
  AddPaperErrors(t, {5120, 5126, 5128, 5137, kIdsLeaveTray});
  AddStapled(t);
  AddDoors(t);
  AddDefaultSystemErrors(t);
  Remove(t, {0x32, 0x99, 0x9E});
  AddSystemError(t, 0x9D, 0x9D, 39);
  End(t, kIdsBlank, kIdsBlank);
  return t;
}

Table TableC() {
  Table t;
  AddNoError(t, {0x00, 0x0A, 0x0B, 0x10});
  AddPaperErrors(t, {5125, 5126, 5128, 5125, kIdsLeaveTray});
  AddDoors(t);
  AddDefaultSystemErrors(t);
  Remove(t, {0x32, 0x99, 0x61, 0x9E});
  End(t, kIdsBlank, kIdsBlank);
  return t;
}

Table TableE() {
  Table t;
  AddNoError(t, {0x00, 0x0A, 0x0B, 0x10});
  AddPaperErrors(t, {5056, 5091, 5105, 5027, kIdsOpenDoorRemovePaper});
  t.push_back({0x20, "U30", kIdsDoorOpen, kIdsCloseDoor});
  t.push_back({0x21, "U32", kIdsDoorOpen, kIdsCloseDoor});
  t.push_back({0x22, "U34", kIdsDoorOpen, kIdsCloseDoor});
  t.push_back({0x24, "U35", kIdsDoorOpen, kIdsCloseDoor});
  AddSystemError(t, 0x87, 0x88, 17);
  AddSystemError(t, 0x95, 0x98, 31);
  AddSystemError(t, 0x9A, 0x9C, 36);
  AddSystemError(t, 0x30, 0x31, 40);
  AddSystemError(t, 0x40, 0x46, 50);
  AddSystemError(t, 0x50, 0x53, 60);
  AddSystemError(t, 0x47, 0x47, 70);
  AddSystemError(t, 0x60, 0x60, 80);
  End(t, kIdsBlank, kIdsBlank);
  return t;
}

Table FlatbedTable() {
  Table t;
  AddNoError(t, {0x00});
  t.push_back({0xB1, "U90", 5144, 5145});
  t.push_back({0xB3, "U91", 5144, 5145});
  struct Code {
    uint8_t code;
    const char* short_code;
  };
  static constexpr Code kSystemErrors[] = {{0xAC, "F11"}, {0xAD, "F12"}, {0x04, "F21"}, {0x0A, "F51"},
                                           {0xB0, "F52"}, {0x07, "F61"}, {0x9C, "F62"}, {0x9D, "F63"},
                                           {0xAF, "F64"}, {0xB2, "F65"}, {0xB4, "F66"}, {0xB7, "F67"}};
  for (const Code& c : kSystemErrors) t.push_back({c.code, c.short_code, kIdsFlatbedSystemError, kIdsConsultService});
  End(t, kIdsFlatbedSystemError, kIdsConsultService);
  return t;
}

const Table& TableOf(StatusTable table) {
  static const Table kTables[] = {DefaultTable(), TableB(), TableC(), TableE(), FlatbedTable()};
  return kTables[static_cast<int>(table)];
}

}  // namespace

StatusTable StatusTableFor(uint8_t model_code) {
  using scanner::ModelSet;
  static constexpr ModelSet kTableB = ModelSet::Range(7, 10) | ModelSet{21, 23, 32} | ModelSet::Range(25, 29);
  if (kTableB.Has(model_code)) return StatusTable::kB;
  if (ModelSet{37, 38}.Has(model_code)) return StatusTable::kC;
  if (scanner::kInterfaceBoardFamily.Has(model_code)) return StatusTable::kE;
  return StatusTable::kDefault;
}

std::span<const StatusEntry> Entries(StatusTable table) { return TableOf(table); }

const StatusEntry& LookupStatus(StatusTable table, uint32_t status_code) {
  const Table& t = TableOf(table);
  const uint8_t key = static_cast<uint8_t>(status_code >> 24);
  for (const StatusEntry& entry : t) {
    if (entry.code == key || entry.code == kStatusEndCode) return entry;
  }
  return t.back();
}

}  // namespace scanner
