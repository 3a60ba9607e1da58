#include "scanner/model_table.h"

namespace scanner {
namespace {

// Longer names sharing a prefix come first; "DE-T" catches the rest of the family.
constexpr ModelRow kModels[] = {
    {"DE-T9793", 1},       {"DE-T9783", 3},        {"DE-T9791", 2},       {"DE-T9781", 4},
    {"DE-T9786Z", 5},      {"DE-T9796Z", 6},       {"DE-T2713Z", 12},     {"DE-T2723Z", 13},
    {"DE-T5713ZP", 14},    {"DE-T5713ZA", 16},     {"DE-T1733A", 12},     {"DE-T1783A", 12},
    {"DE-T9733P", 14},     {"DE-T9713P", 14},      {"DE-T9733A", 16},     {"DE-T9713A", 16},
    {"DE-T8713ZP", 17},    {"DE-T8713ZA", 18},     {"DE-T8763ZP", 19},    {"DE-T8763ZA", 20},
    {"DE-T3733Z", 22},     {"TW-4677", 24},        {"DE-T5473Z", 33},     {"DE-T5763", 34},
    {"TW-9777", 35},       {"TW-4377", 15},        {"DE-TT073", 33},      {"DE-TT633", 33},
    {"JJN 4977S", 8},      {"JJN 4977", 7},        {"JJN 4877S", 10},     {"JJN 4877", 9},
    {"JJN 5977", 25},      {"JJN 5177", 26},       {"JJN 5177HWI", 27},   {"WfzsLqcy 213", 32},
    {"WfzsLqcy 8200", 21}, {"WfzsLqcy 8207", 23},  {"JJN 5947", 28},      {"JJN 5147", 29},
    {"DFWQD 4877S", 10},   {"DFWQD 5947", 30},     {"DFWQD 5147", 31},    {"DE-T4793Z", 37},
    {"DE-T4797Z", 38},     {"DE-T4783Z", 39},      {"DE-T4713Z", 40},     {"DE-T4781Z", 41},
    {"DE-T4791Z", 42},     {"DE-T4743Z", 43},      {"DE-TT767", 44},      {"DE-T", 12},
};
static_assert(std::size(kModels) == 52);

}  // namespace

std::span<const ModelRow> ModelTable() { return kModels; }

uint8_t LookupModelCode(std::string_view product) {
  for (const ModelRow& row : kModels) {
    if (product.starts_with(row.name)) return row.code;
  }
  return 0;
}

}  // namespace scanner
