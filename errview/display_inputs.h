// The six inputs of one error display, from the command line or the settings file.
#pragma once
#include <string>

namespace errview {

struct DisplayInputs {
  std::string error_type;    // "U11"; one containing 'W' is a caution
  std::string error_code;    // part 3 of the error code field
  std::string message1;
  std::string message2;
  std::string model_name;
  std::string illust_path;   // full path of the illustration list
};

}  // namespace errview
