#include "aclgrant/world_group.h"

#include "platform/language.h"

namespace aclgrant {
namespace {

struct LocalName {
  platform::LANGID primary;
  platform::LANGID sublanguage;  // 0: every sublanguage
  const char* name;
};

// Only languages whose Windows renames the group; Chinese, Italian, Japanese and Korean
// keep "Everyone".
constexpr LocalName kLocalNames[] = {
    {0x07, 0, "Jeder"},          // German
    {0x0A, 0, "Todos"},          // Spanish
    {0x0C, 0, "Tout le monde"},  // French
    {0x16, 0x01, "Todos"},       // Portuguese (Brazil)
    {0x19, 0, "Все"},            // Russian
};

}  // namespace

std::string WorldGroupName(platform::LANGID system_language) {
  const platform::LANGID primary = platform::PRIMARYLANGID(system_language);
  const platform::LANGID sublanguage = platform::SUBLANGID(system_language);
  for (const LocalName& entry : kLocalNames) {
    if (entry.primary == primary && (entry.sublanguage == 0 || entry.sublanguage == sublanguage)) return entry.name;
  }
  return "Everyone";
}

std::string WorldGroupName() { return WorldGroupName(platform::GetSystemDefaultLangID()); }

}  // namespace aclgrant
