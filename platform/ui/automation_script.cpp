#include "platform/ui/automation_script.h"

#include <algorithm>
#include <cctype>

namespace platform::ui {
namespace {

struct Shape {
  const char* verb;
  size_t min_args;
  size_t max_args;
};

// Steps and how many words each takes.
constexpr Shape kShapes[] = {
    {"click", 1, 1}, {"type", 2, 2},       {"check", 1, 1},      {"uncheck", 1, 1}, {"select", 2, 2},
    {"spin", 2, 3},  {"key", 1, 1},        {"answer", 1, 1},     {"file", 1, 1},    {"wait", 2, 2},
    {"screenshot", 1, 1}, {"dump", 1, 1}, {"foreground", 1, 1}, {"sysmenu", 1, 1}, {"close", 0, 0},
    {"focus", 1, 1},
};

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// A quoted text with \n \r \t \" \\ escapes; false when it is not closed or an escape is unknown.
bool Unquote(std::string_view text, std::string& out) {
  out.clear();
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return false;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    char c = text[i];
    if (c == '\\') {
      if (i + 2 >= text.size()) return false;
      switch (text[++i]) {
        case 'n': c = '\n'; break;
        case 'r': c = '\r'; break;
        case 't': c = '\t'; break;
        case '"': c = '"'; break;
        case '\\': c = '\\'; break;
        default: return false;
      }
    }
    out += c;
  }
  return true;
}

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsSpace(text[i])) ++i;
    const size_t start = i;
    while (i < text.size() && !IsSpace(text[i])) ++i;
    if (i > start) words.emplace_back(text.substr(start, i - start));
  }
  return words;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

AutomationScript ParseAutomationScript(std::string_view text) {
  AutomationScript script;
  int number = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++number;
    if (line.empty() || line.front() == '#') continue;
    std::vector<std::string> words = Words(line);
    AutomationStep step{number, Lower(words.front()), {}};
    const std::string where = "line " + std::to_string(number) + ": ";
    const Shape* shape = std::find_if(std::begin(kShapes), std::end(kShapes), [&](const Shape& s) { return step.verb == s.verb; });
    if (shape == std::end(kShapes)) {
      script.errors.push_back(where + "unknown step '" + words.front() + "'");
      continue;
    }
    if (step.verb == "type" && words.size() >= 2) {
      // The text is the rest of the line, in quotes when it needs blanks or escapes.
      std::string_view rest = Trim(line.substr(line.find(words[1], words[0].size()) + words[1].size()));
      std::string typed(rest);
      if (!rest.empty() && rest.front() == '"' && !Unquote(rest, typed)) {
        script.errors.push_back(where + "malformed quoted text");
        continue;
      }
      step.args = {words[1], typed};
    } else {
      step.args.assign(words.begin() + 1, words.end());
    }
    if (step.args.size() < shape->min_args || step.args.size() > shape->max_args) {
      script.errors.push_back(where + "wrong number of arguments for '" + step.verb + "'");
      continue;
    }
    script.steps.push_back(std::move(step));
  }
  return script;
}

}  // namespace platform::ui
