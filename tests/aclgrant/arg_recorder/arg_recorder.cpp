// Stands in for the access-control tool: appends its arguments, one per line, and an
// end mark to the file named by $ARG_RECORD_FILE; with $ARG_RECORD_STREAMS set, also
// appends there what its standard input, output and error are, one per line.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Target(int fd) {
  char buffer[4096];
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer);
  return n < 0 ? "(closed)" : std::string(buffer, static_cast<size_t>(n));
}

bool RecordStreams(const char* out) {
  FILE* f = std::fopen(out, "ab");
  if (!f) return false;
  for (int fd = 0; fd < 3; ++fd) std::fprintf(f, "%s\n", Target(fd).c_str());
  std::fclose(f);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (const char* streams = std::getenv("ARG_RECORD_STREAMS")) {
    if (!RecordStreams(streams)) return 1;
  }
  const char* out = std::getenv("ARG_RECORD_FILE");
  if (!out) return 1;
  FILE* f = std::fopen(out, "ab");
  if (!f) return 1;
  for (int i = 1; i < argc; ++i) std::fprintf(f, "%s\n", argv[i]);
  std::fprintf(f, "<end>\n");
  std::fclose(f);
  return 3;  // the caller must not care
}
