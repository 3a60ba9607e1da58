// The operating system's name in the report, from its version information.
#pragma once
#include <string>

#include "platform/system_version.h"

namespace report {

// `wow64`: the program runs under 64-bit Windows.
std::string OsName(const platform::system::OsVersionInfo& version, bool wow64);

// Systems without USB support: Win32s, Windows 95, Windows NT 4.0 and earlier.
bool LacksUsb(const platform::system::OsVersionInfo& version);

}  // namespace report
