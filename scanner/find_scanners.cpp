#include "scanner/find_scanners.h"

#include <string_view>

#include "device/device_library.h"
#include "scanner/cdb.h"

namespace scanner {
namespace {

struct Pair {
  const char* vendor;
  const char* product;
};

// The same entry twice, as the shipped list has it.
constexpr Pair kInquiryFilters[] = {
    {"Q.M.X.", "DE-T9793"},    {"Q.M.X.", "DE-T9783"},    {"VORANTEK", "DE-T9791"},  {"VORANTEK", "DE-T9781"},
    {"VORANTEK", "DE-T2713Z"}, {"VORANTEK", "DE-T2723Z"}, {"VORANTEK", "DE-T5713ZP"}, {"VORANTEK", "DE-T5713ZA"},
    {"VORANTEK", "DE-T8713ZP"}, {"VORANTEK", "DE-T8713ZA"}, {"VORANTEK", "DE-T8763ZP"}, {"VORANTEK", "DE-T8763ZA"},
    {"VORANTEK", "DE-T3733Z"}, {"Q.M.X.", "DE-T1733A"},   {"Q.M.X.", "DE-T1783A"},   {"Q.M.X.", "DE-T9733P"},
    {"Q.M.X.", "DE-T9713P"},   {"Q.M.X.", "DE-T9733A"},   {"Q.M.X.", "DE-T9733A"},   {"VORANTEK", "DE-T2717Z"},
    {"VORANTEK", "DE-T5473Z"}, {"VORANTEK", "DE-T5763"},  {"VORANTEK", "DE-T4793Z"}, {"VORANTEK", "DE-T4797Z"},
    {"VORANTEK", "DE-T4783Z"}, {"VORANTEK", "DE-T9786Z"}, {"VORANTEK", "DE-T9796Z"}, {"VORANTEK", "DE-T4713Z"},
    {"VORANTEK", "DE-T4781Z"}, {"VORANTEK", "DE-TT767"},
};

constexpr const char* kListed[] = {
    "DE-T9793",  "DE-T9791",  "DE-T9783",  "DE-T9781",   "DE-T4793Z",  "DE-T4797Z",  "DE-T4783Z",  "DE-T4713Z",
    "DE-T4781Z", "DE-T9786Z", "DE-T9796Z", "DE-T8713ZP", "DE-T8713ZA", "DE-T8763ZP", "DE-T8763ZA", "DE-T3733Z",
    "DE-T2723Z",
};
constexpr const char* kFlatbedUnit = "DE-TT767";
constexpr const char* kDropped[] = {"DE-TT073", "DE-TT633", "DE-T5473Z", "DE-T5763"};

template <size_t N>
bool AnyPrefix(const device::DeviceRecord& record, const char* const (&names)[N]) {
  for (const char* name : names) {
    if (record.ProductStartsWith(name)) return true;
  }
  return false;
}

bool SetFilters() {
  device::InquiryFilter inquiry[std::size(kInquiryFilters)];
  for (size_t i = 0; i < std::size(kInquiryFilters); ++i) {
    inquiry[i] = device::MakeInquiryFilter(kInquiryFilters[i].vendor, kInquiryFilters[i].product);
  }
  const device::StiFilter sti = device::MakeStiFilter("Quorvex", "DE-T");
  return device::SetStiFilters(1, &sti) == 0 &&
         device::SetInquiryFilters(static_cast<int>(std::size(inquiry)), inquiry) == 0;
}

// An unlisted product is kept when its compatible mode presents a supported model.
bool PresentsSupportedModel() {
  cdb::TestUnitReady(0, 0);
  uint8_t word[2] = {};
  if (cdb::VendorRead(0, 0, 0xA2, word, sizeof(word)) != 0) return false;
  return word[0] >= 15 && word[0] <= 18;
}

bool Keep(const device::DeviceRecord& record) {
  if (AnyPrefix(record, kListed)) return device::SelectDevice(record) == 0;
  if (record.ProductStartsWith(kFlatbedUnit)) {
    device::SelectDevice(record);
    return false;
  }
  if (AnyPrefix(record, kDropped)) return false;
  return device::SelectDevice(record) == 0 && PresentsSupportedModel();
}

}  // namespace

int FindScanners(std::vector<device::DeviceRecord>& records) {
  records.clear();
  if (!SetFilters()) return 1;
  std::vector<device::DeviceRecord> found;
  device::EnumerateDevices(found);
  for (const device::DeviceRecord& record : found) {
    if (Keep(record)) records.push_back(record);
  }
  return 0;
}

}  // namespace scanner
