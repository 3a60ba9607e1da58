#include <array>
#include <string_view>

#include "platform/format.h"
#include "platform/registry.h"
#include "platform/system_version.h"
#include "report/system_sections.h"

namespace report {
namespace {

constexpr std::string_view kProcessorKey = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
// Value names as different systems spell them.
constexpr std::array<std::string_view, 3> kIdentifierNames = {"Identifier", "IDENTIFIER", "identifier"};
constexpr std::array<std::string_view, 3> kSpeedNames = {"~MHz", "~Mhz", "~mhz"};

template <size_t N>
std::optional<platform::RegValue> QueryAny(const platform::RegKey& key, const std::array<std::string_view, N>& names) {
  for (std::string_view name : names)
    if (auto value = key.Query(name)) return value;
  return std::nullopt;
}

}  // namespace

bool WriteCpuSection(ReportFile& file, ReportContext&) {
  const auto key = platform::RegKey::Open(platform::HKEY_LOCAL_MACHINE, kProcessorKey);
  if (!key) return true;
  std::string text;
  if (const auto identifier = QueryAny(*key, kIdentifierNames)) text = identifier->AsString();
  if (const auto speed = QueryAny(*key, kSpeedNames)) {
    if (const auto mhz = speed->AsDword()) text += platform::Format(" %dMHz", static_cast<int>(*mhz));
  }
  if (text.empty()) return true;
  text += platform::Format("\nnumber of processors [%d]", static_cast<int>(platform::system::NumberOfProcessors()));
  return file.Printf("<< CPU >>\n%s\n\n", text.c_str());
}

}  // namespace report
