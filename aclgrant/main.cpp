// aclgrant: grants every user full control of the folder named by its command line.
// No window, no message, exit code 0 always.
#include <string>
#include <vector>

#include "aclgrant/access_grant.h"
#include "aclgrant/command_tail.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  aclgrant::LauncherGrant(aclgrant::CommandLineTail(args));
  return 0;
}
