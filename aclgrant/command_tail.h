// The launcher's command-line tail, rebuilt from the arguments its caller's shell split.
#pragma once
#include <string>
#include <vector>

namespace aclgrant {

// The arguments joined by single blanks; an argument holding a blank or a tab and no
// double quote is put in double quotes, so a path the caller quoted stays one argument
// while one the shell split stays several.
std::string CommandLineTail(const std::vector<std::string>& args);

}  // namespace aclgrant
