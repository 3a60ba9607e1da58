#include "platform/command_line.h"

namespace platform {

void ParseCommandLine(int argc, const char* const* argv, CCommandLineInfo& info) {
  for (int i = 1; i < argc; ++i) {
    std::string_view param = argv[i];
    const bool flag = !param.empty() && (param.front() == '/' || param.front() == '-');
    if (flag) param.remove_prefix(1);
    info.ParseParam(param, flag, i == argc - 1);
  }
}

}  // namespace platform
