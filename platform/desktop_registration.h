// The per-user folder where windows with properties are registered: one file per window,
// named after the window's sequence number, holding the owner's process id, the socket the
// owner listens on and the window's properties.
//
//   scanutil-window 1
//   pid 4242
//   socket 00000000000000000007.sock
//   prop 1 QMXUUtilityWindowClass
//
// Property names are stored with every byte outside '!'..'~', and '%', written as %HH.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace platform::desktop {

struct Property {
  std::string name;
  uint64_t value = 0;
};

struct Registration {
  int pid = 0;
  std::string socket;  // a file name inside the folder
  std::vector<Property> properties;
};

constexpr size_t kMaxProperties = 64;
constexpr size_t kMaxRegistrationBytes = 64 * 1024;

// The folder, created when missing. nullopt when it cannot be made or is not a private
// folder of this user (a link, or owned by someone else).
std::optional<std::filesystem::path> DesktopFolder();

// The next number of the folder's sequence (never one a window or socket there uses), or
// 0 when the folder cannot give one. Processes draw from it under a lock.
uint64_t NextSequence(const std::filesystem::path& folder);

std::string SocketName(uint64_t sequence);
std::filesystem::path RegistrationPath(const std::filesystem::path& folder, uint64_t window);

std::string FormatRegistration(const Registration& registration);
// Any bytes; nullopt unless they are a complete, well-formed registration.
std::optional<Registration> ParseRegistration(std::string_view text);

bool WriteRegistration(const std::filesystem::path& folder, uint64_t window, const Registration& registration);
// nullopt when missing, unreadable or malformed.
std::optional<Registration> ReadRegistration(const std::filesystem::path& folder, uint64_t window);
// Removes the window's file and, when given, the socket file named in it.
void RemoveRegistration(const std::filesystem::path& folder, uint64_t window, const std::string& socket = {});

// The windows registered in the folder, by ascending sequence number.
std::vector<uint64_t> ListRegistrations(const std::filesystem::path& folder);

// The property of that name, ignoring ASCII case, or nullptr.
template <typename Properties>  // const or not
auto FindProperty(Properties& properties, std::string_view name) -> decltype(&properties.front()) {
  for (auto& p : properties)
    if (text::EqualsIgnoreCase(p.name, name)) return &p;
  return nullptr;
}

}  // namespace platform::desktop
