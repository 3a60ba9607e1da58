// The tokens of a resource script (the format is described in script_parser.h).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "resources/script_error.h"

namespace resources {

enum class TokenKind { Word, Number, String, Comma, Pipe, Begin, End, EndOfText };

struct Token {
  TokenKind kind = TokenKind::EndOfText;
  std::string text;    // a word as written, a string decoded, a number's digits
  int64_t number = 0;  // a number's value
  int line = 0;
};

struct TokenizeResult {
  std::vector<Token> tokens;  // ends with an EndOfText token when there is no error
  std::optional<ScriptError> error;
};

// Splits the text into tokens; comments and white space between tokens are dropped.
TokenizeResult Tokenize(std::string_view text);

}  // namespace resources
