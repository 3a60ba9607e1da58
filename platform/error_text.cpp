#include "platform/error_text.h"

#include <array>

namespace platform {
namespace {

struct ErrorText {
  DWORD error;
  const char* text;
};

constexpr std::array kTexts = {
    ErrorText{ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
    ErrorText{ERROR_PATH_NOT_FOUND, "The system cannot find the path specified."},
    ErrorText{ERROR_TOO_MANY_OPEN_FILES, "The system cannot open the file."},
    ErrorText{ERROR_ACCESS_DENIED, "Access is denied."},
    ErrorText{ERROR_NOT_ENOUGH_MEMORY, "Not enough storage is available to process this command."},
    ErrorText{ERROR_READ_FAULT, "The system cannot read from the specified device."},
    ErrorText{ERROR_OPEN_FAILED, "The system cannot open the device or file specified."},
};

}  // namespace

std::string SystemErrorText(DWORD error) {
  for (const ErrorText& entry : kTexts)
    if (entry.error == error) return entry.text;
  return "The system cannot open the device or file specified.";
}

}  // namespace platform
