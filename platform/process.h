// Starting programs as CreateProcess does: a Windows command line is split by the
// Windows rules into an argument vector and started with posix_spawn, never through a
// shell, with the caller's environment and current folder; our descriptors are opened
// close-on-exec, so the child inherits only the standard three.
#pragma once
#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"

namespace platform::process {

// Creation flag: the program gets no console; here its standard input, output and
// error are the null device, so it can neither show anything nor wait for input.
inline constexpr DWORD CREATE_NO_WINDOW = 0x08000000;

// The arguments of a command line as the Windows C runtime splits them: blanks and
// tabs separate; quotes group; 2n backslashes before a quote give n and the quote
// groups, 2n+1 give n and a literal quote; "" inside quotes is a literal quote. The
// program name (first argument) ends at its closing quote, without backslash rules.
std::vector<std::string> SplitCommandLine(std::string_view command_line);

// The host file of a program name: a name with a folder is a Windows path; a bare
// name is looked for in the program's own folder, then in $PATH.
std::optional<std::string> FindProgram(std::string_view name);

enum class StdStreams { kInherited, kNull };

// Starts argv[0] (a host path) with that argument vector; nullopt when it cannot start.
std::optional<pid_t> Spawn(const std::vector<std::string>& argv, StdStreams streams = StdStreams::kInherited);
// Splits the command line and starts its program; nullopt when it cannot start. A
// quoted program name ends at its closing quote; an unquoted one is looked for as
// Windows does, at each blank in turn ("C:\Program Files\t.exe a" tries "C:\Program",
// then "C:\Program Files\t.exe"), so a folder with blanks needs no quotes.
std::optional<pid_t> CreateProcess(std::string_view command_line, DWORD creation_flags = 0);
// Blocks until the process has ended; its exit code, or -1 when it cannot be read.
int WaitForProcess(pid_t pid);

}  // namespace platform::process
