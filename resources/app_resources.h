// The running program's resources, process-wide: the application installs what it
// loaded at start; until then the built-in English script of the utility serves.
#pragma once
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "resources/resources.h"

namespace resources {

void SetAppResources(Resources resources);
// Back to the built-in English resources.
void ResetAppResources();
std::shared_ptr<const Resources> AppResources();

// The string's text from the program's resources; empty when the id is unknown.
std::string LoadString(int id);

// A resource text used as a printf format with integer arguments. Only integer
// conversions (d i o u x X c, with flags, a width and precision of up to three digits
// and an h or hh modifier) and %% are converted; any other conversion, and one
// without a value left, stays as written. A language file's text can so never read
// arguments that were not passed.
std::string FormatIntegers(std::string_view format, std::initializer_list<unsigned> values);
// FormatIntegers over string `id`.
std::string FormatString(int id, std::initializer_list<unsigned> values);

}  // namespace resources
