#include <algorithm>
#include <cstddef>

#include "device/device_record.h"

namespace device {
namespace {

template <size_t N>
void CopyField(char (&field)[N], std::string_view text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

// A pattern character 0xFF matches any byte; the pattern ends at its NUL or limit.
bool MatchPattern(const uint8_t* field, const char* pattern, size_t limit) {
  for (size_t i = 0; i < limit && pattern[i] != 0; ++i) {
    if (static_cast<uint8_t>(pattern[i]) != 0xFF && static_cast<uint8_t>(pattern[i]) != field[i]) return false;
  }
  return true;
}

// Compares until either string ends.
bool MatchUntilEither(std::string_view text, const char* pattern, size_t limit) {
  for (size_t i = 0; i < limit && i < text.size() && pattern[i] != 0; ++i) {
    if (text[i] != pattern[i]) return false;
  }
  return true;
}

}  // namespace

InquiryFilter MakeInquiryFilter(std::string_view vendor, std::string_view product) {
  InquiryFilter f;
  CopyField(f.vendor, vendor);
  CopyField(f.product, product);
  return f;
}

StiFilter MakeStiFilter(std::string_view vendor_description, std::string_view device_description) {
  StiFilter f;
  CopyField(f.vendor_description, vendor_description);
  CopyField(f.device_description, device_description);
  return f;
}

bool MatchesInquiryFilter(const uint8_t* inquiry, const InquiryFilter& filter) {
  return MatchPattern(inquiry + 8, filter.vendor, 8) && MatchPattern(inquiry + 16, filter.product, 16);
}

bool MatchesStiFilter(std::string_view vendor_description, std::string_view device_description,
                      const StiFilter& filter) {
  return MatchUntilEither(device_description.substr(0, 64), filter.device_description, 64) &&
         MatchUntilEither(vendor_description.substr(0, 32), filter.vendor_description, 32);
}

}  // namespace device
