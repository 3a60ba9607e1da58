#include "errview/command_line_info.h"

#include <array>

namespace errview {
namespace {

constexpr int kPositions = 6;

// Which inputs are decoded, by position.
struct Position {
  std::string DisplayInputs::*field;
  bool decoded;
};
constexpr std::array<Position, kPositions> kPositionTable = {{
    {&DisplayInputs::error_type, false},
    {&DisplayInputs::error_code, false},
    {&DisplayInputs::message1, true},
    {&DisplayInputs::message2, true},
    {&DisplayInputs::model_name, false},
    {&DisplayInputs::illust_path, true},
}};

}  // namespace

std::string DecodeParameter(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'r' || text[i + 1] == 'n')) {
      out += text[i + 1] == 'r' ? '\r' : '\n';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

void CUCommandLineInfo::ParseParam(std::string_view /*param*/, bool /*flag*/, bool /*last*/) {
  const int position = count++;
  if (position >= kPositions) return;
  // These are data, not switches: a leading '-' (an error code "-") or '/' (a host path)
  // belongs to the value, so the parameter is taken as it was given.
  const std::string text(RawParam());
  const Position& where = kPositionTable[position];
  inputs.*where.field = where.decoded ? DecodeParameter(text) : text;
}

}  // namespace errview
