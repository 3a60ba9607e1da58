#include "platform/process.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/paths.h"

extern char** environ;

namespace platform::process {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The program name: up to the closing quote or, unquoted, to the first blank.
size_t SplitProgramName(std::string_view line, std::string& out) {
  size_t i = 0;
  bool quoted = false;
  while (i < line.size()) {
    const char c = line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && IsBlank(c)) {
      break;
    } else {
      out += c;
    }
    ++i;
  }
  return i;
}

// One further argument from position i; returns the position after it.
size_t SplitArgument(std::string_view line, size_t i, std::string& out) {
  bool quoted = false;
  while (i < line.size()) {
    const char c = line[i];
    if (c == '\\') {
      size_t run = 0;
      while (i < line.size() && line[i] == '\\') ++run, ++i;
      if (i < line.size() && line[i] == '"') {
        out.append(run / 2, '\\');
        if (run % 2 == 1) {
          out += '"';
          ++i;
        }
      } else {
        out.append(run, '\\');
      }
      continue;
    }
    if (c == '"') {
      if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
        out += '"';
        i += 2;
        continue;
      }
      quoted = !quoted;
      ++i;
      continue;
    }
    if (!quoted && IsBlank(c)) break;
    out += c;
    ++i;
  }
  return i;
}

bool IsExecutableFile(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> args;
  size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  if (i == line.size()) return args;
  std::string name;
  i += SplitProgramName(line.substr(i), name);
  args.push_back(std::move(name));
  while (true) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    std::string arg;
    i = SplitArgument(line, i, arg);
    args.push_back(std::move(arg));
  }
  return args;
}

std::optional<std::string> FindProgram(std::string_view name) {
  if (name.empty()) return std::nullopt;
  if (name.find_first_of("\\/:") != std::string_view::npos) {
    const auto host = paths::ToHost(name);
    if (host && IsExecutableFile(*host)) return host->string();
    return std::nullopt;
  }
  std::vector<std::filesystem::path> folders;
  if (const auto own = paths::ToHost(paths::ProgramFolder())) folders.push_back(*own);
  if (const char* path = std::getenv("PATH")) {
    std::string_view rest(path);
    while (!rest.empty()) {
      const size_t colon = rest.find(':');
      const std::string_view dir = rest.substr(0, colon);
      if (!dir.empty()) folders.emplace_back(std::string(dir));
      if (colon == std::string_view::npos) break;
      rest.remove_prefix(colon + 1);
    }
  }
  for (const auto& folder : folders) {
    const auto candidate = folder / std::string(name);
    if (IsExecutableFile(candidate)) return candidate.string();
  }
  return std::nullopt;
}

std::optional<pid_t> Spawn(const std::vector<std::string>& argv) {
  if (argv.empty()) return std::nullopt;
  std::vector<char*> raw;
  raw.reserve(argv.size() + 1);
  for (const auto& arg : argv) raw.push_back(const_cast<char*>(arg.c_str()));
  raw.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawn(&pid, raw[0], nullptr, nullptr, raw.data(), environ) != 0) return std::nullopt;
  return pid;
}

std::optional<pid_t> CreateProcess(std::string_view command_line) {
  std::vector<std::string> argv = SplitCommandLine(command_line);
  if (argv.empty()) return std::nullopt;
  const auto program = FindProgram(argv[0]);
  if (!program) return std::nullopt;
  argv[0] = *program;
  return Spawn(argv);
}

int WaitForProcess(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace platform::process
