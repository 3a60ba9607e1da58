// Style flags of templates as bits, and the control kind they make.
#pragma once
#include <string>
#include <vector>

#include "platform/ui/detail/window.h"
#include "resources/resource_script.h"

namespace platform::ui::detail {

// The flags as written ("WS_TABSTOP", "NOT WS_VISIBLE", "0x20") over `defaults`;
// unknown names count as no bits.
DWORD StyleBits(const std::vector<std::string>& flags, DWORD defaults);
DWORD ControlStyle(const resources::ControlTemplate& control);
DWORD DialogStyle(const resources::DialogTemplate& dialog);
Kind ControlKindOf(const resources::ControlTemplate& control, DWORD style);

}  // namespace platform::ui::detail
