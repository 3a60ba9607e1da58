// printf-style formatting into a std::string.
#pragma once
#include <string>

namespace platform {

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace platform
