// aclgrant: grants every user full control of the folder named by its command line.
// No window, no message, exit code 0 always.
#include <string>

#include "aclgrant/access_grant.h"

int main(int argc, char** argv) {
  // The command-line tail as the system would hand it over: the arguments joined by blanks.
  std::string tail;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) tail += ' ';
    tail += argv[i];
  }
  aclgrant::LauncherGrant(tail);
  return 0;
}
