#include "settings/compatible_choices.h"

#include "scanner/text_forms.h"

namespace settings {
namespace {

constexpr int kMaxChoices = 5;

struct ChoiceRow {
  uint8_t own_type_code;
  uint8_t codes[kMaxChoices];  // a 0 ends the list
};

constexpr ChoiceRow kChoiceRows[] = {
    {16, {5, 9, 16}},
    {17, {2, 6, 16, 17}},
    {18, {3, 7, 16, 17, 18}},
};

}  // namespace

std::vector<CompatibleChoice> CompatibleChoices(uint8_t own_type_code) {
  std::vector<CompatibleChoice> choices;
  for (const ChoiceRow& row : kChoiceRows) {
    if (row.own_type_code != own_type_code) continue;
    for (uint8_t code : row.codes) {
      const scanner::CompatibleName* name = code == 0 ? nullptr : scanner::FindCompatibleName(code);
      if (!name || name->string_id == 0) break;
      choices.push_back({code, name->string_id});
    }
  }
  return choices;
}

}  // namespace settings
