// Private profile files (INI) with Win32 semantics: sections and keys compare
// case-insensitively, names and values are trimmed, a value surrounded by one pair
// of quotes loses them, the first occurrence of a section or key wins, and reads
// copy into bounded buffers with truncation. Any bytes are accepted.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/name_index.h"
#include "platform/win_types.h"

namespace platform {

// One section as read: the first of its name in the file, with the first entry of
// each key in it.
class ProfileSection {
 public:
  explicit ProfileSection(std::string name) : name_(std::move(name)) {}

  const std::string& name() const { return name_; }
  std::optional<std::string> Get(std::string_view key) const;
  // Leading optional sign and decimal digits, as GetPrivateProfileInt; def when the key
  // is missing or has no leading number.
  int GetInt(std::string_view key, int def) const;
  std::vector<std::string> Keys() const;

 private:
  friend class ProfileFile;
  // Adds an entry unless the key is there already.
  void Add(std::string_view key, std::string_view value);

  struct Entry {
    std::string key;
    std::string value;
  };
  std::string name_;
  std::vector<Entry> entries_;  // in file order
  NameIndex keys_;
};

// A parsed profile file, for callers that read many keys of one file.
class ProfileFile {
 public:
  static ProfileFile Parse(std::string_view bytes);
  // Reads a file given by Windows path; a missing or unreadable file is empty.
  static ProfileFile Load(std::string_view file_name);

  // The section of that name; null when the file has none.
  const ProfileSection* Find(std::string_view section) const;
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  int GetInt(std::string_view section, std::string_view key, int def) const;
  std::vector<std::string> Sections() const;
  std::vector<std::string> Keys(std::string_view section) const;

 private:
  std::vector<ProfileSection> sections_;  // in file order
  NameIndex names_;
};

// Win32 calls. file_name is a Windows path (see paths.h). The string read copies at
// most size - 1 characters and terminates; the return value is the count copied.
DWORD GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view def, char* buffer,
                              DWORD size, std::string_view file_name);
UINT GetPrivateProfileInt(std::string_view section, std::string_view key, int def, std::string_view file_name);
// Sets or adds the key (value nullopt deletes it); the file is replaced atomically.
bool WritePrivateProfileString(std::string_view section, std::string_view key, std::optional<std::string_view> value,
                               std::string_view file_name);

// Convenience: the value as a string, cut to max_chars characters.
std::string GetProfileString(std::string_view section, std::string_view key, std::string_view def,
                             std::string_view file_name, size_t max_chars = 255);

}  // namespace platform
