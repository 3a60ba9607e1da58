#include "platform/ui/detail/styles.h"

#include <cctype>
#include <cstdlib>
#include <map>
#include <string_view>

#include "platform/ui/ui_types.h"

namespace platform::ui::detail {
namespace {

using resources::ControlKind;

const std::map<std::string_view, DWORD>& FlagTable() {
  static const std::map<std::string_view, DWORD> table = {
      {"WS_POPUP", WS_POPUP}, {"WS_CHILD", WS_CHILD}, {"WS_VISIBLE", WS_VISIBLE}, {"WS_DISABLED", WS_DISABLED},
      {"WS_CAPTION", WS_CAPTION}, {"WS_BORDER", WS_BORDER}, {"WS_DLGFRAME", WS_DLGFRAME}, {"WS_VSCROLL", WS_VSCROLL},
      {"WS_HSCROLL", WS_HSCROLL}, {"WS_SYSMENU", WS_SYSMENU}, {"WS_THICKFRAME", WS_THICKFRAME}, {"WS_GROUP", WS_GROUP},
      {"WS_TABSTOP", WS_TABSTOP}, {"WS_MINIMIZEBOX", WS_MINIMIZEBOX}, {"WS_MAXIMIZEBOX", WS_MAXIMIZEBOX},
      {"DS_SETFONT", DS_SETFONT}, {"DS_MODALFRAME", DS_MODALFRAME}, {"DS_CENTER", DS_CENTER},
      {"DS_3DLOOK", 0x4}, {"DS_FIXEDSYS", 0x8}, {"DS_SHELLFONT", 0x48},
      {"BS_PUSHBUTTON", BS_PUSHBUTTON}, {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON}, {"BS_CHECKBOX", BS_CHECKBOX},
      {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX}, {"BS_RADIOBUTTON", BS_RADIOBUTTON}, {"BS_3STATE", BS_3STATE},
      {"BS_AUTO3STATE", BS_AUTO3STATE}, {"BS_GROUPBOX", BS_GROUPBOX}, {"BS_AUTORADIOBUTTON", BS_AUTORADIOBUTTON},
      {"BS_MULTILINE", BS_MULTILINE}, {"BS_NOTIFY", BS_NOTIFY},
      {"ES_LEFT", ES_LEFT}, {"ES_CENTER", ES_CENTER}, {"ES_RIGHT", ES_RIGHT}, {"ES_MULTILINE", ES_MULTILINE},
      {"ES_UPPERCASE", ES_UPPERCASE}, {"ES_LOWERCASE", ES_LOWERCASE}, {"ES_PASSWORD", ES_PASSWORD},
      {"ES_AUTOVSCROLL", ES_AUTOVSCROLL}, {"ES_AUTOHSCROLL", ES_AUTOHSCROLL}, {"ES_READONLY", ES_READONLY},
      {"ES_WANTRETURN", ES_WANTRETURN}, {"ES_NUMBER", ES_NUMBER},
      {"SS_LEFT", SS_LEFT}, {"SS_CENTER", SS_CENTER}, {"SS_RIGHT", SS_RIGHT}, {"SS_ICON", SS_ICON},
      {"SS_BLACKRECT", SS_BLACKRECT}, {"SS_GRAYRECT", SS_GRAYRECT}, {"SS_WHITERECT", SS_WHITERECT},
      {"SS_BLACKFRAME", SS_BLACKFRAME}, {"SS_GRAYFRAME", SS_GRAYFRAME}, {"SS_WHITEFRAME", SS_WHITEFRAME},
      {"SS_LEFTNOWORDWRAP", SS_LEFTNOWORDWRAP}, {"SS_BITMAP", SS_BITMAP}, {"SS_ETCHEDHORZ", SS_ETCHEDHORZ},
      {"SS_ETCHEDVERT", SS_ETCHEDVERT}, {"SS_ETCHEDFRAME", SS_ETCHEDFRAME}, {"SS_NOPREFIX", SS_NOPREFIX},
      {"SS_NOTIFY", SS_NOTIFY}, {"SS_CENTERIMAGE", SS_CENTERIMAGE}, {"SS_SUNKEN", SS_SUNKEN},
      {"CBS_SIMPLE", CBS_SIMPLE}, {"CBS_DROPDOWN", CBS_DROPDOWN}, {"CBS_DROPDOWNLIST", CBS_DROPDOWNLIST},
      {"CBS_AUTOHSCROLL", CBS_AUTOHSCROLL}, {"CBS_SORT", CBS_SORT}, {"CBS_HASSTRINGS", CBS_HASSTRINGS},
      {"LBS_NOTIFY", LBS_NOTIFY}, {"LBS_SORT", LBS_SORT},
      {"UDS_WRAP", UDS_WRAP}, {"UDS_SETBUDDYINT", UDS_SETBUDDYINT}, {"UDS_ALIGNRIGHT", UDS_ALIGNRIGHT},
      {"UDS_ALIGNLEFT", UDS_ALIGNLEFT}, {"UDS_AUTOBUDDY", UDS_AUTOBUDDY}, {"UDS_ARROWKEYS", UDS_ARROWKEYS},
      {"UDS_HORZ", UDS_HORZ}, {"UDS_NOTHOUSANDS", UDS_NOTHOUSANDS},
  };
  return table;
}

DWORD FlagValue(std::string_view name) {
  if (!name.empty() && name[0] >= '0' && name[0] <= '9') {
    const std::string text(name);
    return static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 0));
  }
  auto it = FlagTable().find(name);
  return it != FlagTable().end() ? it->second : 0;
}

struct KindDefaults {
  ControlKind kind;
  DWORD style;
};

// The styles the resource compiler gives each statement.
constexpr KindDefaults kDefaults[] = {
    {ControlKind::LText, SS_LEFT | WS_GROUP},
    {ControlKind::RText, SS_RIGHT | WS_GROUP},
    {ControlKind::CText, SS_CENTER | WS_GROUP},
    {ControlKind::PushButton, BS_PUSHBUTTON | WS_TABSTOP},
    {ControlKind::DefPushButton, BS_DEFPUSHBUTTON | WS_TABSTOP},
    {ControlKind::EditText, ES_LEFT | WS_BORDER | WS_TABSTOP},
    {ControlKind::GroupBox, BS_GROUPBOX},
    {ControlKind::CheckBox, BS_CHECKBOX | WS_TABSTOP},
    {ControlKind::AutoCheckBox, BS_AUTOCHECKBOX | WS_TABSTOP},
    {ControlKind::RadioButton, BS_RADIOBUTTON},
    {ControlKind::AutoRadioButton, BS_AUTORADIOBUTTON},
    {ControlKind::ComboBox, CBS_SIMPLE | WS_TABSTOP},
    {ControlKind::ListBox, LBS_NOTIFY | WS_BORDER},
    {ControlKind::Icon, SS_ICON},
    {ControlKind::Control, 0},
};

bool ClassIs(const std::string& name, std::string_view expected) {
  if (name.size() != expected.size()) return false;
  for (size_t i = 0; i < name.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(name[i])) != std::tolower(static_cast<unsigned char>(expected[i]))) return false;
  return true;
}

Kind ButtonKind(DWORD style) {
  switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE: return Kind::CheckBox;
    case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON: return Kind::RadioButton;
    case BS_GROUPBOX: return Kind::GroupBox;
    default: return Kind::PushButton;
  }
}

Kind StaticKind(DWORD style) {
  switch (style & SS_TYPEMASK) {
    case SS_ICON: return Kind::Icon;
    case SS_BITMAP: return Kind::Picture;
    case SS_BLACKRECT: case SS_GRAYRECT: case SS_WHITERECT: case SS_BLACKFRAME: case SS_GRAYFRAME:
    case SS_WHITEFRAME: case SS_ETCHEDHORZ: case SS_ETCHEDVERT: case SS_ETCHEDFRAME: return Kind::Frame;
    default: return Kind::Static;
  }
}

}  // namespace

DWORD StyleBits(const std::vector<std::string>& flags, DWORD defaults) {
  DWORD style = defaults;
  for (const std::string& flag : flags) {
    std::string_view name(flag);
    if (name.substr(0, 4) == "NOT ") {
      style &= ~FlagValue(name.substr(4));
    } else {
      style |= FlagValue(name);
    }
  }
  return style;
}

DWORD ControlStyle(const resources::ControlTemplate& control) {
  DWORD defaults = 0;
  for (const KindDefaults& d : kDefaults)
    if (d.kind == control.kind) defaults = d.style;
  return StyleBits(control.style, defaults | WS_CHILD | WS_VISIBLE);
}

DWORD DialogStyle(const resources::DialogTemplate& dialog) {
  return StyleBits(dialog.style, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
}

Kind ControlKindOf(const resources::ControlTemplate& control, DWORD style) {
  const std::string& cls = control.class_name;
  if (ClassIs(cls, "Button")) return ButtonKind(style);
  if (ClassIs(cls, "Static")) return StaticKind(style);
  if (ClassIs(cls, "Edit") || ClassIs(cls, "RichEdit20A") || ClassIs(cls, "RichEdit20W")) return Kind::Edit;
  if (ClassIs(cls, "ComboBox")) return Kind::ComboBox;
  if (ClassIs(cls, "ListBox")) return Kind::ListBox;
  if (ClassIs(cls, "msctls_updown32")) return Kind::Spin;
  return Kind::Custom;
}

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::Static: return "static";
    case Kind::Icon: return "icon";
    case Kind::Picture: return "picture";
    case Kind::Frame: return "frame";
    case Kind::PushButton: return "button";
    case Kind::CheckBox: return "checkbox";
    case Kind::RadioButton: return "radio";
    case Kind::GroupBox: return "groupbox";
    case Kind::Edit: return "edit";
    case Kind::ComboBox: return "combobox";
    case Kind::ListBox: return "listbox";
    case Kind::Spin: return "spin";
    case Kind::Custom: return "custom";
  }
  return "custom";
}

}  // namespace platform::ui::detail
