#include "platform/text.h"

#include <cstdint>

namespace platform::text {
namespace {

// Decodes one code point; malformed input yields U+FFFD and consumes one byte.
char32_t DecodeUtf8(std::string_view s, size_t& i) {
  const auto b = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
  const uint8_t c = b(i);
  auto cont = [&](size_t k) { return k < s.size() && (b(k) & 0xC0) == 0x80; };
  if (c < 0x80) {
    ++i;
    return c;
  }
  if ((c & 0xE0) == 0xC0 && cont(i + 1)) {
    char32_t cp = (c & 0x1Fu) << 6 | (b(i + 1) & 0x3Fu);
    i += 2;
    return cp >= 0x80 ? cp : 0xFFFD;
  }
  if ((c & 0xF0) == 0xE0 && cont(i + 1) && cont(i + 2)) {
    char32_t cp = (c & 0x0Fu) << 12 | (b(i + 1) & 0x3Fu) << 6 | (b(i + 2) & 0x3Fu);
    i += 3;
    return cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF) ? cp : 0xFFFD;
  }
  if ((c & 0xF8) == 0xF0 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
    char32_t cp = (c & 0x07u) << 18 | (b(i + 1) & 0x3Fu) << 12 | (b(i + 2) & 0x3Fu) << 6 | (b(i + 3) & 0x3Fu);
    i += 4;
    return cp >= 0x10000 && cp <= 0x10FFFF ? cp : 0xFFFD;
  }
  ++i;
  return 0xFFFD;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp = DecodeUtf8(utf8, i);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 | cp >> 10);
      out += static_cast<char16_t>(0xDC00 | (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::string WideToAnsi(std::u16string_view wide, size_t max_bytes) {
  std::string all = Utf16ToUtf8(wide);
  if (all.size() <= max_bytes) return all;
  size_t cut = max_bytes;
  while (cut > 0 && (static_cast<uint8_t>(all[cut]) & 0xC0) == 0x80) --cut;
  all.resize(cut);
  return all;
}

std::u16string FromWideBuffer(const char16_t* buffer, size_t max_chars) {
  size_t n = 0;
  while (n < max_chars && buffer[n] != 0) ++n;
  return std::u16string(buffer, n);
}

std::string ToLowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ToLowerAscii(a) == ToLowerAscii(b);
}

std::string_view Trim(std::string_view s) {
  const char* ws = " \t\r\n\v\f";
  const size_t first = s.find_first_not_of(ws);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(ws) - first + 1);
}

}  // namespace platform::text
