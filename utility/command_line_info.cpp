#include "utility/command_line_info.h"

namespace utility {

void CUCommandLineInfo::ParseParam(std::string_view param, bool /*flag*/, bool /*last*/) {
  // Case-sensitive prefix test; once set, later parameters never clear it.
  if (param.substr(0, 9) == "Indicator") indicator_mode = 1;
}

}  // namespace utility
