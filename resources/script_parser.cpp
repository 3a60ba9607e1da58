#include "resources/script_parser.h"

#include <algorithm>
#include <array>

#include "platform/format.h"
#include "platform/text.h"
#include "resources/script_tokens.h"

namespace resources {
namespace {

struct ControlSyntax {
  std::string_view keyword;
  ControlKind kind;
  std::string_view class_name;
  bool has_text;
};

constexpr std::array kControls = {
    ControlSyntax{"LTEXT", ControlKind::LText, "Static", true},
    ControlSyntax{"RTEXT", ControlKind::RText, "Static", true},
    ControlSyntax{"CTEXT", ControlKind::CText, "Static", true},
    ControlSyntax{"PUSHBUTTON", ControlKind::PushButton, "Button", true},
    ControlSyntax{"DEFPUSHBUTTON", ControlKind::DefPushButton, "Button", true},
    ControlSyntax{"EDITTEXT", ControlKind::EditText, "Edit", false},
    ControlSyntax{"GROUPBOX", ControlKind::GroupBox, "Button", true},
    ControlSyntax{"CHECKBOX", ControlKind::CheckBox, "Button", true},
    ControlSyntax{"AUTOCHECKBOX", ControlKind::AutoCheckBox, "Button", true},
    ControlSyntax{"RADIOBUTTON", ControlKind::RadioButton, "Button", true},
    ControlSyntax{"AUTORADIOBUTTON", ControlKind::AutoRadioButton, "Button", true},
    ControlSyntax{"COMBOBOX", ControlKind::ComboBox, "ComboBox", false},
    ControlSyntax{"LISTBOX", ControlKind::ListBox, "ListBox", false},
    ControlSyntax{"ICON", ControlKind::Icon, "Static", true},
    ControlSyntax{"CONTROL", ControlKind::Control, "", true},
};

struct NamedControlId {
  std::string_view name;
  int id;
};

constexpr std::array kNamedControlIds = {
    NamedControlId{"IDC_STATIC", IDC_STATIC}, NamedControlId{"IDOK", 1},    NamedControlId{"IDCANCEL", 2},
    NamedControlId{"IDABORT", 3},             NamedControlId{"IDRETRY", 4}, NamedControlId{"IDIGNORE", 5},
    NamedControlId{"IDYES", 6},               NamedControlId{"IDNO", 7},
};

struct Range {
  int64_t low;
  int64_t high;
};
constexpr Range kResourceIdRange{0, 65535};
constexpr Range kControlIdRange{-1, 65535};
constexpr Range kCoordinateRange{-32768, 32767};
constexpr Range kFontSizeRange{1, 32767};
constexpr Range kVersionPartRange{0, 65535};

struct Failure {
  ScriptError error;
};

bool IsKeyword(const Token& token, std::string_view keyword) {
  return token.kind == TokenKind::Word && platform::text::EqualsIgnoreCase(token.text, keyword);
}

std::string Describe(const Token& token) {
  switch (token.kind) {
    case TokenKind::EndOfText: return "end of text";
    case TokenKind::String: return "a string";
    default: return "'" + token.text + "'";
  }
}

class Parser {
 public:
  explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

  ResourceScript Run() {
    while (Peek().kind != TokenKind::EndOfText) Statement();
    return std::move(script_);
  }

 private:
  [[noreturn]] void Fail(const Token& at, std::string reason) const {
    throw Failure{ScriptError{at.line, std::move(reason)}};
  }
  [[noreturn]] void Expected(std::string_view what) const {
    Fail(Peek(), platform::Format("expected %.*s, found %s", static_cast<int>(what.size()), what.data(),
                                  Describe(Peek()).c_str()));
  }

  const Token& Peek() const { return tokens_[pos_]; }
  const Token& Take() {
    const Token& token = tokens_[pos_];
    if (token.kind != TokenKind::EndOfText) ++pos_;
    return token;
  }
  bool TakeIf(TokenKind kind) {
    if (Peek().kind != kind) return false;
    Take();
    return true;
  }
  const Token& Expect(TokenKind kind, std::string_view what) {
    if (Peek().kind != kind) Expected(what);
    return Take();
  }
  void ExpectComma() { Expect(TokenKind::Comma, "','"); }

  int Integer(Range range, std::string_view what) {
    const Token& token = Expect(TokenKind::Number, what);
    if (token.number < range.low || token.number > range.high) {
      Fail(token, platform::Format("%.*s %s out of range", static_cast<int>(what.size()), what.data(),
                                   token.text.c_str()));
    }
    return static_cast<int>(token.number);
  }
  std::string Text(std::string_view what) { return Expect(TokenKind::String, what).text; }

  void Statement() {
    if (IsKeyword(Peek(), "STRINGTABLE")) {
      Take();
      StringTable();
      return;
    }
    const Token& id_token = Peek();
    const ResourceId id = Id();
    const Token& keyword = Take();
    if (IsKeyword(keyword, "DIALOG")) {
      Dialog(id_token, id);
    } else if (IsKeyword(keyword, "ICON")) {
      AddFile(script_.icons, id_token, id, "icon");
    } else if (IsKeyword(keyword, "BITMAP")) {
      AddFile(script_.bitmaps, id_token, id, "bitmap");
    } else if (IsKeyword(keyword, "VERSIONINFO")) {
      Version(id_token, id);
    } else {
      Fail(keyword, "expected DIALOG, ICON, BITMAP or VERSIONINFO, found " + Describe(keyword));
    }
  }

  ResourceId Id() {
    if (Peek().kind == TokenKind::Word) return ResourceId(std::string_view(Take().text));
    if (Peek().kind == TokenKind::Number) return ResourceId(Integer(kResourceIdRange, "resource id"));
    Expected("STRINGTABLE or a resource id");
  }

  static std::string IdText(const ResourceId& id) { return id.name.empty() ? std::to_string(id.number) : id.name; }

  void StringTable() {
    Expect(TokenKind::Begin, "BEGIN");
    while (!TakeIf(TokenKind::End)) {
      const Token& id_token = Peek();
      const int id = Integer(kResourceIdRange, "string id");
      TakeIf(TokenKind::Comma);
      std::string text = Text("a string");
      if (!script_.strings.emplace(id, std::move(text)).second) {
        Fail(id_token, platform::Format("duplicate string id %d", id));
      }
    }
  }

  void AddFile(std::vector<FileResource>& files, const Token& id_token, const ResourceId& id, const char* what) {
    std::string file = Text("a file name");
    if (std::any_of(files.begin(), files.end(), [&](const FileResource& f) { return f.id == id; })) {
      Fail(id_token, platform::Format("duplicate %s id %s", what, IdText(id).c_str()));
    }
    files.push_back(FileResource{id, std::move(file)});
  }

  void Version(const Token& id_token, const ResourceId& id) {
    if (script_.version) Fail(id_token, "more than one VERSIONINFO");
    VersionResource version;
    version.id = id;
    while (!TakeIf(TokenKind::Begin)) {
      if (IsKeyword(Peek(), "FILEVERSION")) {
        Take();
        version.file_version = VersionParts();
      } else if (IsKeyword(Peek(), "PRODUCTVERSION")) {
        Take();
        version.product_version = VersionParts();
      } else {
        Expected("FILEVERSION, PRODUCTVERSION or BEGIN");
      }
    }
    VersionBlockBody("", version);
    script_.version = std::move(version);
  }

  std::array<uint16_t, 4> VersionParts() {
    std::array<uint16_t, 4> parts{};
    for (size_t i = 0; i < parts.size(); ++i) {
      if (i > 0) ExpectComma();
      parts[i] = static_cast<uint16_t>(Integer(kVersionPartRange, "version part"));
    }
    return parts;
  }

  // BLOCK and VALUE statements up to the END of the block at `path`.
  void VersionBlockBody(const std::string& path, VersionResource& version) {
    while (!TakeIf(TokenKind::End)) {
      if (IsKeyword(Peek(), "BLOCK")) {
        Take();
        const std::string block = path + "\\" + Text("a block name");
        Expect(TokenKind::Begin, "BEGIN");
        VersionBlockBody(block, version);
      } else if (IsKeyword(Peek(), "VALUE")) {
        const Token& value_token = Take();
        const std::string name = path + "\\" + Text("a value name");
        VersionValue value;
        while (TakeIf(TokenKind::Comma)) {
          if (Peek().kind == TokenKind::String)
            value.text += Take().text;
          else
            value.numbers.push_back(Integer(kVersionPartRange, "value number"));
        }
        // Queries ignore case, so names differing only in case would shadow each other.
        if (version.Find(name)) Fail(value_token, "duplicate value " + name);
        version.values.emplace(name, std::move(value));
      } else {
        Expected("BLOCK, VALUE or END");
      }
    }
  }

  void Rectangle(int& x, int& y, int& cx, int& cy) {
    x = Integer(kCoordinateRange, "x");
    ExpectComma();
    y = Integer(kCoordinateRange, "y");
    ExpectComma();
    cx = Integer(kCoordinateRange, "width");
    ExpectComma();
    cy = Integer(kCoordinateRange, "height");
  }

  std::string Flag() {
    std::string prefix;
    if (IsKeyword(Peek(), "NOT")) {
      Take();
      prefix = "NOT ";
    }
    if (Peek().kind != TokenKind::Word && Peek().kind != TokenKind::Number) Expected("a style flag");
    return prefix + Take().text;
  }

  std::vector<std::string> Flags() {
    std::vector<std::string> flags{Flag()};
    while (TakeIf(TokenKind::Pipe)) flags.push_back(Flag());
    return flags;
  }

  void Dialog(const Token& id_token, const ResourceId& id) {
    if (std::any_of(script_.dialogs.begin(), script_.dialogs.end(),
                    [&](const DialogTemplate& d) { return d.id == id; })) {
      Fail(id_token, "duplicate dialog id " + IdText(id));
    }
    DialogTemplate dialog;
    dialog.id = id;
    Rectangle(dialog.x, dialog.y, dialog.cx, dialog.cy);
    while (!TakeIf(TokenKind::Begin)) DialogStatement(dialog);
    while (!TakeIf(TokenKind::End)) dialog.controls.push_back(Control());
    script_.dialogs.push_back(std::move(dialog));
  }

  void DialogStatement(DialogTemplate& dialog) {
    const Token& keyword = Peek();
    if (IsKeyword(keyword, "CAPTION")) {
      Take();
      dialog.caption = Text("a caption");
    } else if (IsKeyword(keyword, "STYLE")) {
      Take();
      dialog.style = Flags();
    } else if (IsKeyword(keyword, "FONT")) {
      Take();
      DialogFont font;
      font.size = Integer(kFontSizeRange, "font size");
      ExpectComma();
      font.name = Text("a font name");
      dialog.font = std::move(font);
    } else {
      Expected("CAPTION, STYLE, FONT or BEGIN");
    }
  }

  const ControlSyntax& ControlKeyword() {
    for (const ControlSyntax& syntax : kControls)
      if (IsKeyword(Peek(), syntax.keyword)) {
        Take();
        return syntax;
      }
    Expected("a control or END");
  }

  int ControlId() {
    if (Peek().kind == TokenKind::Word) {
      for (const NamedControlId& named : kNamedControlIds)
        if (platform::text::EqualsIgnoreCase(named.name, Peek().text)) {
          Take();
          return named.id;
        }
      Fail(Peek(), "unknown control id " + Peek().text);
    }
    return Integer(kControlIdRange, "control id");
  }

  std::string ControlText(ControlKind kind) {
    if (kind == ControlKind::Icon && Peek().kind == TokenKind::Number) return Take().text;
    return Text("a control text");
  }

  ControlTemplate Control() {
    const ControlSyntax& syntax = ControlKeyword();
    ControlTemplate control;
    control.kind = syntax.kind;
    control.class_name = syntax.class_name;
    if (syntax.has_text) {
      control.text = ControlText(syntax.kind);
      ExpectComma();
    }
    control.id = ControlId();
    ExpectComma();
    if (syntax.kind == ControlKind::Control) {
      control.class_name = Text("a class name");
      ExpectComma();
      control.style = Flags();
      ExpectComma();
      Rectangle(control.x, control.y, control.cx, control.cy);
      return control;
    }
    Rectangle(control.x, control.y, control.cx, control.cy);
    if (TakeIf(TokenKind::Comma)) control.style = Flags();
    return control;
  }

  std::vector<Token> tokens_;
  size_t pos_ = 0;
  ResourceScript script_;
};

}  // namespace

ScriptParseResult ParseResourceScript(std::string_view text) {
  TokenizeResult tokens = Tokenize(text);
  if (tokens.error) return ScriptParseResult{std::nullopt, *tokens.error};
  try {
    return ScriptParseResult{Parser(std::move(tokens.tokens)).Run(), ScriptError{}};
  } catch (const Failure& failure) {
    return ScriptParseResult{std::nullopt, failure.error};
  }
}

}  // namespace resources
