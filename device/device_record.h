// The 356-byte record of one attached scanner, and the enumeration filters.
#pragma once
#include <cstdint>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace device {

constexpr uint8_t kKindAspi = 1;
constexpr uint8_t kKindStiScsi = 2;
constexpr uint8_t kKindStiOther = 3;

struct DeviceRecord {
  uint8_t Inquiry[96];
  uint8_t kind;
  uint8_t hostID;
  uint8_t TargetID;
  uint8_t UsbSpeed;
  char16_t InternalName[128];

  // Product identification (Inquiry bytes 16-31) begins with name.
  bool ProductStartsWith(std::string_view name) const {
    return name.size() <= 16 && std::memcmp(Inquiry + 16, name.data(), name.size()) == 0;
  }
  friend bool operator==(const DeviceRecord& a, const DeviceRecord& b) {
    return std::memcmp(&a, &b, sizeof(DeviceRecord)) == 0;
  }
};
static_assert(sizeof(DeviceRecord) == 356);
static_assert(offsetof(DeviceRecord, kind) == 96 && offsetof(DeviceRecord, InternalName) == 100);

struct InquiryFilter {
  char vendor[9];    // up to 8 characters, NUL-terminated; 0xFF matches any byte
  char product[17];  // up to 16 characters, NUL-terminated
};
static_assert(sizeof(InquiryFilter) == 26);

struct StiFilter {
  char vendor_description[33];
  char device_description[65];
};
static_assert(sizeof(StiFilter) == 98);

constexpr int kMaxFilters = 64;

// Builds entries from texts, cut to their fields.
InquiryFilter MakeInquiryFilter(std::string_view vendor, std::string_view product);
StiFilter MakeStiFilter(std::string_view vendor_description, std::string_view device_description);

bool MatchesInquiryFilter(const uint8_t* inquiry, const InquiryFilter& filter);
bool MatchesStiFilter(std::string_view vendor_description, std::string_view device_description, const StiFilter& filter);

}  // namespace device
