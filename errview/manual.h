// The model's manual: a PDF file in the folder the manuals' setup recorded.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "errview/language_tag.h"

namespace errview {

// The base name of the model's manual ("t9786z" for "T9793Z"); a model not in the
// table uses its own name, lower-cased.
std::string ManualBaseName(std::string_view model_name);

// "i" for variant 1, "m" for 2, else "".
const char* VariantLetter(int manual_variant);

// The manual in the language's form, else the English one; nullopt when neither
// exists or the install folder is not recorded.
std::optional<std::string> FindManual(std::string_view model_name, int manual_variant, LanguageTag tag);

}  // namespace errview
