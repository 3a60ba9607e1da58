#include "resources/script_tokens.h"

#include <array>

#include "platform/format.h"
#include "platform/text.h"

namespace resources {
namespace {

// Numbers beyond this magnitude fit no field of a script.
constexpr int64_t kMaxMagnitude = int64_t{1} << 32;

struct Escape {
  char written;
  char meaning;
};
constexpr std::array kEscapes = {Escape{'n', '\n'}, Escape{'r', '\r'}, Escape{'t', '\t'}, Escape{'"', '"'},
                                 Escape{'\\', '\\'}};

struct Failure {
  ScriptError error;
};

bool IsWordStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(char c) { return IsWordStart(c) || IsDigit(c); }

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Length of the well-formed UTF-8 sequence at i (no overlong forms, no surrogates), 0 if none.
size_t Utf8SequenceLength(std::string_view s, size_t i) {
  const auto byte = [&](size_t k) { return k < s.size() ? static_cast<uint8_t>(s[k]) : uint8_t{0}; };
  const auto continuation = [&](size_t k, uint8_t low, uint8_t high) { return byte(k) >= low && byte(k) <= high; };
  const uint8_t c = byte(i);
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return continuation(i + 1, 0x80, 0xBF) ? 2 : 0;
  if (c >= 0xE0 && c <= 0xEF) {
    const uint8_t low = c == 0xE0 ? 0xA0 : 0x80;
    const uint8_t high = c == 0xED ? 0x9F : 0xBF;
    return continuation(i + 1, low, high) && continuation(i + 2, 0x80, 0xBF) ? 3 : 0;
  }
  if (c >= 0xF0 && c <= 0xF4) {
    const uint8_t low = c == 0xF0 ? 0x90 : 0x80;
    const uint8_t high = c == 0xF4 ? 0x8F : 0xBF;
    return continuation(i + 1, low, high) && continuation(i + 2, 0x80, 0xBF) && continuation(i + 3, 0x80, 0xBF) ? 4
                                                                                                               : 0;
  }
  return 0;
}

class Tokenizer {
 public:
  explicit Tokenizer(std::string_view text) : text_(text) {
    if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
  }

  std::vector<Token> Run() {
    std::vector<Token> tokens;
    for (SkipSpaceAndComments(); pos_ < text_.size(); SkipSpaceAndComments()) tokens.push_back(Next());
    tokens.push_back(Token{TokenKind::EndOfText, "", 0, line_});
    return tokens;
  }

 private:
  [[noreturn]] void Fail(std::string reason) const { throw Failure{ScriptError{line_, std::move(reason)}}; }

  char Peek(size_t ahead = 0) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0'; }
  bool AtEnd() const { return pos_ >= text_.size(); }

  void SkipLine() {
    while (!AtEnd() && Peek() != '\n') ++pos_;
  }

  void SkipSpaceAndComments() {
    while (!AtEnd()) {
      const char c = Peek();
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
        ++pos_;
      } else if (c == '#' || (c == '/' && Peek(1) == '/')) {
        SkipLine();
      } else {
        return;
      }
    }
  }

  Token Next() {
    const char c = Peek();
    if (c == '"') return String();
    if (IsDigit(c) || (c == '-' && IsDigit(Peek(1)))) return Number();
    if (IsWordStart(c)) return Word();
    ++pos_;
    switch (c) {
      case ',': return Token{TokenKind::Comma, ",", 0, line_};
      case '|': return Token{TokenKind::Pipe, "|", 0, line_};
      case '{': return Token{TokenKind::Begin, "{", 0, line_};
      case '}': return Token{TokenKind::End, "}", 0, line_};
      default: break;
    }
    if (c >= 0x21 && c <= 0x7E) Fail(platform::Format("unexpected character '%c'", c));
    Fail(platform::Format("unexpected byte 0x%02X", static_cast<unsigned>(static_cast<uint8_t>(c))));
  }

  Token Word() {
    const size_t start = pos_;
    while (IsWordChar(Peek())) ++pos_;
    Token token{TokenKind::Word, std::string(text_.substr(start, pos_ - start)), 0, line_};
    if (platform::text::EqualsIgnoreCase(token.text, "BEGIN")) token.kind = TokenKind::Begin;
    if (platform::text::EqualsIgnoreCase(token.text, "END")) token.kind = TokenKind::End;
    return token;
  }

  Token Number() {
    const size_t start = pos_;
    const bool negative = Peek() == '-';
    if (negative) ++pos_;
    const bool hex = Peek() == '0' && (Peek(1) == 'x' || Peek(1) == 'X');
    if (hex) pos_ += 2;
    const int base = hex ? 16 : 10;
    int64_t magnitude = 0;
    size_t digits = 0;
    for (int digit = HexValue(Peek()); digit >= 0 && digit < base; digit = HexValue(Peek())) {
      magnitude = magnitude * base + digit;
      if (magnitude > kMaxMagnitude) Fail("number out of range");
      ++pos_;
      ++digits;
    }
    if (digits == 0 || IsWordChar(Peek())) Fail("malformed number");
    return Token{TokenKind::Number, std::string(text_.substr(start, pos_ - start)), negative ? -magnitude : magnitude,
                 line_};
  }

  char EscapeMeaning(char written) const {
    for (const Escape& escape : kEscapes)
      if (escape.written == written) return escape.meaning;
    if (written >= 0x21 && written <= 0x7E) Fail(platform::Format("unknown escape '\\%c'", written));
    Fail("unknown escape");
  }

  Token String() {
    Token token{TokenKind::String, "", 0, line_};
    ++pos_;
    for (;;) {
      if (AtEnd() || Peek() == '\n' || Peek() == '\r') Fail("unterminated string");
      const char c = Peek();
      if (c == '"' && Peek(1) == '"') {
        token.text += '"';
        pos_ += 2;
      } else if (c == '"') {
        ++pos_;
        return token;
      } else if (c == '\\') {
        token.text += EscapeMeaning(Peek(1));
        pos_ += 2;
      } else {
        const size_t length = Utf8SequenceLength(text_, pos_);
        if (length == 0) Fail("invalid UTF-8 in string");
        token.text += text_.substr(pos_, length);
        pos_ += length;
      }
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace

TokenizeResult Tokenize(std::string_view text) {
  try {
    return TokenizeResult{Tokenizer(text).Run(), std::nullopt};
  } catch (const Failure& failure) {
    return TokenizeResult{{}, failure.error};
  }
}

}  // namespace resources
