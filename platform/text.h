// Text conversions: UTF-8 inside, UTF-16 where a layout fixes it.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace platform::text {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
// The ANSI form of a wide string, cut to at most max_bytes without splitting a character.
std::string WideToAnsi(std::u16string_view wide, size_t max_bytes);
// Up to max_chars characters of a zero-terminated UTF-16 buffer.
std::u16string FromWideBuffer(const char16_t* buffer, size_t max_chars);

std::string ToLowerAscii(std::string_view s);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string_view Trim(std::string_view s);

}  // namespace platform::text
