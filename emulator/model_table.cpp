#include "emulator/model_table.h"

#include <initializer_list>

namespace emulator {
namespace {

struct ProductRow {
  std::string_view prefix;
  uint8_t model;
};

// Longer prefixes come before the shorter ones they begin with (a device knows it
// is a "JJN 5177HWI", not a "JJN 5177"); the last row takes every other product of
// the family.
constexpr ProductRow kProducts[] = {
    {"DE-T9793", 1},      {"DE-T9783", 3},       {"DE-T9791", 2},        {"DE-T9781", 4},
    {"DE-T9786Z", 5},     {"DE-T9796Z", 6},      {"DE-T2713Z", 12},      {"DE-T2723Z", 13},
    {"DE-T5713ZP", 14},   {"DE-T5713ZA", 16},    {"DE-T1733A", 12},      {"DE-T1783A", 12},
    {"DE-T9733P", 14},    {"DE-T9713P", 14},     {"DE-T9733A", 16},      {"DE-T9713A", 16},
    {"DE-T8713ZP", 17},   {"DE-T8713ZA", 18},    {"DE-T8763ZP", 19},     {"DE-T8763ZA", 20},
    {"DE-T3733Z", 22},    {"TW-4677", 24},       {"DE-T5473Z", 33},      {"DE-T5763", 34},
    {"TW-9777", 35},      {"TW-4377", 15},       {"DE-TT073", 33},       {"DE-TT633", 33},
    {"JJN 4977S", 8},     {"JJN 4977", 7},       {"JJN 4877S", 10},      {"JJN 4877", 9},
    {"JJN 5977", 25},     {"JJN 5177HWI", 27},   {"JJN 5177", 26},       {"WfzsLqcy 213", 32},
    {"WfzsLqcy 8200", 21}, {"WfzsLqcy 8207", 23}, {"JJN 5947", 28},      {"JJN 5147", 29},
    {"DFWQD 4877S", 10},  {"DFWQD 5947", 30},    {"DFWQD 5147", 31},     {"DE-T4793Z", 37},
    {"DE-T4797Z", 38},    {"DE-T4783Z", 39},     {"DE-T4713Z", 40},      {"DE-T4781Z", 41},
    {"DE-T4791Z", 42},    {"DE-T4743Z", 43},     {"DE-TT767", 44},       {"DE-T", 12},
};

struct Range {
  uint8_t first, last;
};

bool InRanges(uint8_t model, std::initializer_list<Range> ranges) {
  const uint8_t code = LayoutCode(model);
  for (const Range& r : ranges)
    if (code >= r.first && code <= r.last) return true;
  return false;
}

}  // namespace

uint8_t ModelCodeForProduct(std::string_view product) {
  for (const ProductRow& row : kProducts)
    if (product.substr(0, row.prefix.size()) == row.prefix) return row.model;
  return kUnknownModel;
}

uint8_t LayoutCode(uint8_t model) {
  if (model == 30) return 28;
  if (model == 31) return 29;
  return model;
}

bool IsEarly(uint8_t model) { return InRanges(model, {{1, 10}}); }
bool IsProduction(uint8_t model) { return InRanges(model, {{12, 12}, {14, 16}, {25, 27}, {32, 32}}); }
bool IsWideBody(uint8_t model) { return InRanges(model, {{13, 13}, {17, 24}, {28, 29}}); }
bool IsInterfaceBoard(uint8_t model) { return InRanges(model, {{33, 35}}); }
bool IsCompact(uint8_t model) { return InRanges(model, {{37, 43}}); }
bool IsFlatbedCapable(uint8_t model) {
  return InRanges(model, {{2, 2}, {4, 6}, {14, 14}, {16, 20}, {22, 22}, {37, 43}});
}
bool IsKnownModel(uint8_t model) { return InRanges(model, {{1, 10}, {12, 35}, {37, 44}}); }

}  // namespace emulator
