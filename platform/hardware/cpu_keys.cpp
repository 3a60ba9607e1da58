// HARDWARE\DESCRIPTION\System\CentralProcessor\N from /proc/cpuinfo, a key per processor.
#include <charconv>
#include <cmath>
#include <fstream>
#include <map>

#include "platform/format.h"
#include "platform/hardware/parts.h"
#include "platform/hardware/sysfs.h"
#include "platform/text.h"

namespace platform::hardware {
namespace {

using Fields = std::map<std::string, std::string>;

// The processors' blocks of "name : value" lines, in order.
std::vector<Fields> ReadProcessors(const std::filesystem::path& cpuinfo) {
  std::vector<Fields> processors;
  std::ifstream in(cpuinfo);
  bool in_block = false;
  for (std::string line; std::getline(in, line);) {
    const size_t colon = line.find(':');
    if (text::Trim(line).empty() || colon == std::string::npos) {
      in_block = false;
      continue;
    }
    if (!in_block) processors.emplace_back();
    in_block = true;
    processors.back().emplace(std::string(text::Trim(line.substr(0, colon))),
                              std::string(text::Trim(line.substr(colon + 1))));
  }
  return processors;
}

std::optional<long> Number(const Fields& fields, const char* name) {
  const auto it = fields.find(name);
  return it == fields.end() ? std::nullopt : ParseDecimal(it->second);
}

// "Intel64 Family 6 Model 85 Stepping 7", as Windows names an x64 processor.
std::optional<std::string> Identifier(const Fields& fields) {
  const auto vendor = fields.find("vendor_id");
  const std::optional<long> family = Number(fields, "cpu family"), model = Number(fields, "model"),
                            stepping = Number(fields, "stepping");
  if (vendor == fields.end() || !family || !model || !stepping) return std::nullopt;
  const char* architecture = vendor->second == "GenuineIntel" ? "Intel64" : "AMD64";
  return Format("%s Family %ld Model %ld Stepping %ld", architecture, *family, *model, *stepping);
}

std::optional<DWORD> Megahertz(const Fields& fields) {
  const auto it = fields.find("cpu MHz");
  if (it == fields.end()) return std::nullopt;
  const std::string& digits = it->second;
  double mhz = 0;  // from_chars: the same in every locale
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), mhz);
  if (error != std::errc() || end != digits.data() + digits.size() || !(mhz > 0 && mhz < 1e6)) return std::nullopt;
  return static_cast<DWORD>(std::lround(mhz));
}

}  // namespace

void AddCpuKeys(const HardwareRoots& roots, hive::Key& machine) {
  const std::vector<std::string> base = PathNames("HARDWARE\\DESCRIPTION\\System\\CentralProcessor");
  int index = 0;
  for (const Fields& fields : ReadProcessors(roots.proc / "cpuinfo")) {
    const std::optional<std::string> identifier = Identifier(fields);
    if (!identifier) continue;
    hive::Key& key = KeyAt(machine, base, {std::to_string(index++)});
    key.SetValue("Identifier", RegValue::String(*identifier));
    if (const std::optional<DWORD> mhz = Megahertz(fields)) key.SetValue("~MHz", RegValue::Dword(*mhz));
    key.SetValue("VendorIdentifier", RegValue::String(fields.at("vendor_id")));
    if (const auto name = fields.find("model name"); name != fields.end())
      key.SetValue("ProcessorNameString", RegValue::String(name->second));
  }
}

}  // namespace platform::hardware
