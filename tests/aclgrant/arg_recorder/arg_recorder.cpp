// Stands in for the access-control tool: appends its arguments, one per line, and an
// end mark to the file named by $ARG_RECORD_FILE.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const char* out = std::getenv("ARG_RECORD_FILE");
  if (!out) return 1;
  FILE* f = std::fopen(out, "ab");
  if (!f) return 1;
  for (int i = 1; i < argc; ++i) std::fprintf(f, "%s\n", argv[i]);
  std::fprintf(f, "<end>\n");
  std::fclose(f);
  return 3;  // the caller must not care
}
