// The system's description of an error code, as FormatMessage gives it for the file
// errors the programs report.
#pragma once
#include <string>

#include "platform/win_types.h"

namespace platform {

// A general text for codes without a description of their own.
std::string SystemErrorText(DWORD error);

}  // namespace platform
