// The registry: HKEY_CURRENT_USER in PREFIX/user.reg, HKEY_LOCAL_MACHINE in
// PREFIX/system.reg. Key paths compare case-insensitively. Every read sees the file
// as it is now (other processes share it); every write re-reads, changes and replaces
// the hive atomically (write a temporary file, fsync, rename), under a lock file.
// A damaged hive is read as far as it makes sense.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"

namespace platform {

enum class RegRoot { CurrentUser, LocalMachine };
constexpr RegRoot HKEY_CURRENT_USER = RegRoot::CurrentUser;
constexpr RegRoot HKEY_LOCAL_MACHINE = RegRoot::LocalMachine;

constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

struct RegValue {
  DWORD type = REG_BINARY;
  std::vector<uint8_t> data;  // REG_SZ: UTF-8 with a terminating NUL; REG_DWORD: 4 bytes little-endian

  static RegValue String(std::string_view s);
  static RegValue Dword(DWORD v);
  static RegValue Binary(const void* data, size_t size);
  // The string up to the first NUL (any type).
  std::string AsString() const;
  // REG_DWORD (or any 4-byte value) as a number.
  std::optional<DWORD> AsDword() const;

  friend bool operator==(const RegValue&, const RegValue&) = default;
};

class RegKey {
 public:
  // nullopt when the key does not exist.
  static std::optional<RegKey> Open(RegRoot root, std::string_view path);
  // Opens the key, creating it and its parents if needed.
  static std::optional<RegKey> Create(RegRoot root, std::string_view path);

  std::optional<RegValue> Query(std::string_view name) const;
  bool Set(std::string_view name, const RegValue& value);
  bool DeleteValue(std::string_view name);
  std::vector<std::string> SubKeys() const;
  std::vector<std::string> ValueNames() const;
  std::optional<RegKey> OpenSubKey(std::string_view path) const;
  const std::string& Path() const { return path_; }

 private:
  RegKey(RegRoot root, std::string path) : root_(root), path_(std::move(path)) {}
  RegRoot root_;
  std::string path_;
};

// Deletes a key with all its subkeys and values; true when it existed.
bool RegDeleteTree(RegRoot root, std::string_view path);

// Tests: fails the next hive write after the given number of bytes have been written
// to the temporary file (nullopt removes the fault).
void FailHiveWriteAfterForTest(std::optional<size_t> bytes);

}  // namespace platform
