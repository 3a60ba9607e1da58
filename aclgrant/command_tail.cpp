#include "aclgrant/command_tail.h"

namespace aclgrant {
namespace {

bool NeedsQuotes(const std::string& arg) {
  return arg.find_first_of(" \t") != std::string::npos && arg.find('"') == std::string::npos;
}

}  // namespace

std::string CommandLineTail(const std::vector<std::string>& args) {
  std::string tail;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i > 0) tail += ' ';
    tail += NeedsQuotes(args[i]) ? '"' + args[i] + '"' : args[i];
  }
  return tail;
}

}  // namespace aclgrant
