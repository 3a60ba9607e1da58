// The English resource scripts compiled into the programs.
#pragma once
#include <string_view>

namespace resources {

// resources/scanutil.rc
std::string_view ScanutilScript();
// resources/errview.rc
std::string_view ErrviewScript();

}  // namespace resources
