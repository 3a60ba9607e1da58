// printf-style formatting into a std::string.
#pragma once
#include <cstdarg>
#include <string>

namespace platform {

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// Format() over an argument list the caller started; args is left for the caller to end.
std::string FormatV(const char* fmt, va_list args) __attribute__((format(printf, 1, 0)));

}  // namespace platform
