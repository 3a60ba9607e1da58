// The folder proposed for files the program writes for the user (the report, scan
// logs): the first of C:\TEMP\<name>, <temporary folder>\<name>, <documents>\<name>
// and <current folder>\<name> that exists or can be created.
#pragma once
#include <string>
#include <string_view>

namespace report {

// The folder's Windows path without a trailing backslash; empty when no candidate
// can be used.
std::string WorkFolder(std::string_view name);

}  // namespace report
