#include "platform/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

// The arguments after the program name, from position i on.
void AppendArguments(std::string_view line, size_t i, std::vector<std::string>& args) {
  while (true) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    std::string arg;
    i = SplitArgument(line, i, arg);
    args.push_back(std::move(arg));
  }
}

size_t SkipBlanks(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  return i;
}

// An unquoted program name may hold blanks: the text up to each blank before the first
// quote in turn (and the whole line when it has no quote) names the program, until one
// is found; the rest is split into arguments.
std::optional<std::vector<std::string>> ResolveAtBlanks(std::string_view line, size_t start) {
  const size_t limit = std::min(line.find('"', start), line.size());
  std::vector<size_t> ends;
  for (size_t i = start + 1; i < limit; ++i) {
    if (IsBlank(line[i])) ends.push_back(i);
  }
  if (limit == line.size()) ends.push_back(limit);
  for (const size_t end : ends) {
    if (const auto program = FindProgram(line.substr(start, end - start))) {
      std::vector<std::string> args{*program};
      AppendArguments(line, end, args);
      return args;
    }
  }
  return std::nullopt;
}

// The program as a host path and the arguments of a command line.
std::optional<std::vector<std::string>> ResolveCommandLine(std::string_view line) {
  const size_t start = SkipBlanks(line);
  if (start == line.size()) return std::nullopt;
  if (line[start] != '"') {
    if (auto args = ResolveAtBlanks(line, start)) return args;
  }
  // A quoted name, or one with quotes inside: the name as the split gives it.
  std::vector<std::string> args = SplitCommandLine(line);
  const auto program = FindProgram(args[0]);
  if (!program) return std::nullopt;
  args[0] = *program;
  return args;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> args;
  size_t i = SkipBlanks(line);
  if (i == line.size()) return args;
  std::string name;
  i += SplitProgramName(line.substr(i), name);
  args.push_back(std::move(name));
  AppendArguments(line, i, args);
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

std::optional<pid_t> Spawn(const std::vector<std::string>& argv, StdStreams streams) {
  if (argv.empty()) return std::nullopt;
  std::vector<char*> raw;
  raw.reserve(argv.size() + 1);
  for (const auto& arg : argv) raw.push_back(const_cast<char*>(arg.c_str()));
  raw.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  if (::posix_spawn_file_actions_init(&actions) != 0) return std::nullopt;
  bool ready = true;
  if (streams == StdStreams::kNull) {
    ready = ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0) == 0 &&
            ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0) == 0 &&
            ::posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0) == 0;
  }
  pid_t pid = 0;
  const bool started = ready && ::posix_spawn(&pid, raw[0], &actions, nullptr, raw.data(), environ) == 0;
  ::posix_spawn_file_actions_destroy(&actions);
  if (!started) return std::nullopt;
  return pid;
}

std::optional<pid_t> CreateProcess(std::string_view command_line, DWORD creation_flags) {
  const auto argv = ResolveCommandLine(command_line);
  if (!argv) return std::nullopt;
  return Spawn(*argv, (creation_flags & CREATE_NO_WINDOW) ? StdStreams::kNull : StdStreams::kInherited);
}

int WaitForProcess(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace platform::process
