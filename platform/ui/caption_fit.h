// Whether a control's caption is shown whole at the dialog font in the rectangle its
// template gives it: push buttons, check boxes and radio buttons on one line inside
// their frame or beside their indicator, statics wrapped as they are drawn, group box
// captions along the top edge.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "resources/resource_script.h"

namespace platform::ui {

// How the text overflows ("text 190 px wide in 166 px"); nullopt when it fits or the
// control shows no caption.
std::optional<std::string> CaptionOverflow(const resources::ControlTemplate& control, std::string_view text);

}  // namespace platform::ui
