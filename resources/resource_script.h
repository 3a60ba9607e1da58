// What a resource script holds: string table, dialog templates, icons and bitmaps.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace resources {

// The id of a control without one (labels, group boxes).
constexpr int IDC_STATIC = -1;

// A resource's id: a number, or a name when name is not empty. Names are kept in
// upper case, so they compare case-insensitively as Windows resource names do.
struct ResourceId {
  ResourceId() = default;
  ResourceId(int id) : number(id) {}
  ResourceId(std::string_view resource_name);
  ResourceId(const char* resource_name) : ResourceId(std::string_view(resource_name)) {}

  int number = 0;
  std::string name;
  friend bool operator==(const ResourceId&, const ResourceId&) = default;
};

enum class ControlKind {
  LText,
  RText,
  CText,
  PushButton,
  DefPushButton,
  EditText,
  GroupBox,
  CheckBox,
  AutoCheckBox,
  RadioButton,
  AutoRadioButton,
  ComboBox,
  ListBox,
  Icon,
  Control,
};

struct ControlTemplate {
  ControlKind kind = ControlKind::LText;
  std::string class_name;  // "Static", "Button", "Edit", ... or a CONTROL's own class
  int id = IDC_STATIC;
  std::string text;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  std::vector<std::string> style;    // flag names as written; "NOT WS_TABSTOP" for a removed flag
  friend bool operator==(const ControlTemplate&, const ControlTemplate&) = default;
};

struct DialogFont {
  int size = 0;
  std::string name;
  friend bool operator==(const DialogFont&, const DialogFont&) = default;
};

struct DialogTemplate {
  ResourceId id;
  std::string caption;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  std::vector<std::string> style;
  std::optional<DialogFont> font;
  std::vector<ControlTemplate> controls;
  friend bool operator==(const DialogTemplate&, const DialogTemplate&) = default;

  // The first control with this id; null when there is none.
  const ControlTemplate* FindControl(int control_id) const;
};

// An icon or bitmap: its id and the name of its image file.
struct FileResource {
  ResourceId id;
  std::string file;
  friend bool operator==(const FileResource&, const FileResource&) = default;
};

// A version resource. Values are kept by their block path, as a version query names
// them: "\\StringFileInfo\\040904B0\\FileVersion", "\\VarFileInfo\\Translation".
struct VersionValue {
  std::string text;          // a string value
  std::vector<int> numbers;  // a value of numbers (the translation pairs)
  friend bool operator==(const VersionValue&, const VersionValue&) = default;
};

struct VersionResource {
  ResourceId id;
  std::array<uint16_t, 4> file_version{};     // FILEVERSION, most significant part first
  std::array<uint16_t, 4> product_version{};  // PRODUCTVERSION
  std::map<std::string, VersionValue> values;
  friend bool operator==(const VersionResource&, const VersionResource&) = default;

  // The value at the block path; null when there is none.
  const VersionValue* Find(std::string_view path) const;
};

struct ResourceScript {
  std::map<int, std::string> strings;
  std::vector<DialogTemplate> dialogs;
  std::vector<FileResource> icons;
  std::vector<FileResource> bitmaps;
  std::optional<VersionResource> version;
  friend bool operator==(const ResourceScript&, const ResourceScript&) = default;
};

}  // namespace resources
