// The account name of the world group (S-1-1-0), which Windows gives in the system's
// language.
#pragma once
#include <string>

#include "platform/win_types.h"

namespace aclgrant {

// The name for a system language identifier; "Everyone" where Windows keeps the English name.
std::string WorldGroupName(platform::LANGID system_language);
// The name on this system.
std::string WorldGroupName();

}  // namespace aclgrant
