#include "platform/command_line.h"

namespace platform {

void ParseCommandLine(int argc, const char* const* argv, CCommandLineInfo& info) {
  if (!argv) return;
  // A vector may end before argc says (a null entry): the parameters stop there.
  int count = 0;
  while (count < argc && argv[count]) ++count;
  for (int i = 1; i < count; ++i) {
    std::string_view param = argv[i];
    info.raw_ = param;
    const bool flag = !param.empty() && (param.front() == '/' || param.front() == '-');
    if (flag) param.remove_prefix(1);
    info.ParseParam(param, flag, i == count - 1);
  }
  info.raw_ = {};
}

}  // namespace platform
