#include "utility/select_scanner_lines.h"

#include <string_view>

#include "device/device_library.h"
#include "scanner/model_codes.h"
#include "scanner/model_table.h"
#include "scanner/setting_commands.h"

namespace utility {
namespace {

using scanner::ModelSet;

struct Canonical {
  uint8_t code;
  const char* name;
};
constexpr Canonical kCanonicalNames[] = {{14, "DE-T5713ZP"}, {16, "DE-T5713ZA"}, {25, "JJN 5977"},
                                         {26, "JJN 5177"},   {27, "JJN 5177HWI"}, {28, "JJN 5947"},
                                         {29, "JJN 5147"},   {33, "DE-T5473Z"}};
constexpr Canonical kPresentedNames[] = {{16, "DE-T2713Z"}, {17, "DE-T5713ZP"}, {18, "DE-T5713ZA"},
                                         {19, "DE-T5763"},  {20, "DE-T5763"},   {21, "DE-T5473Z"}};
constexpr ModelSet kProbed = {12, 14, 16, 33, 34};

const char* NameFor(std::span<const Canonical> names, uint8_t code) {
  for (const Canonical& entry : names)
    if (entry.code == code) return entry.name;
  return nullptr;
}

// The 16 characters, a simulated record's unused NUL bytes shown as the spaces a
// scanner would send.
std::string Product(const device::DeviceRecord& record) {
  std::string product(reinterpret_cast<const char*>(record.Inquiry + 16), 16);
  for (char& c : product)
    if (c == '\0') c = ' ';
  return product;
}

std::string ModelLine(const device::DeviceRecord& record, uint8_t code) {
  if (code == 12) return "DE-T2713Z" + std::string(7, ' ');
  if (const char* name = NameFor(kCanonicalNames, code)) return name + std::string(6, ' ');
  return Product(record);
}

// The model a scanner presents itself as, when it says so.
void ApplyPresentedModel(const device::DeviceRecord& record, std::string& line) {
  if (device::SelectDevice(record) != 0) return;
  uint8_t code = 0, second = 0;
  if (!scanner::ReadCompatibleMode(0, 0, code, second, true)) return;
  if (const char* name = NameFor(kPresentedNames, code)) line = name + std::string(6, ' ');
}

}  // namespace

std::vector<std::string> SelectScannerLines(const std::vector<device::DeviceRecord>& list,
                                            const device::DeviceRecord* current) {
  std::vector<std::string> lines;
  for (const device::DeviceRecord& record : list) {
    const uint8_t code = scanner::LookupModelCode(Product(record));
    std::string line = ModelLine(record, code);
    if (kProbed.Has(code)) {
      ApplyPresentedModel(record, line);
      if (current) device::SelectDevice(*current);
    }
    line += record.kind == device::kKindStiOther ? " USB" : " SCSI";
    lines.push_back(line);
  }
  return lines;
}

int InitialSelection(const std::vector<device::DeviceRecord>& list, const device::DeviceRecord* current) {
  if (!current) return 0;
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i] == *current) return static_cast<int>(i);
  return 0;
}

}  // namespace utility
