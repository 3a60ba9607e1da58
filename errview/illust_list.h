// The illustration list: one record a line, comma-separated, fields optionally in
// double quotes ("" for a quote inside). Columns: key (an error type, or a pattern
// holding "XX"), a flag, the manual variant, then pairs of image files (A, B).
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace errview {

constexpr size_t kKeyChars = 11;
constexpr size_t kFileChars = 63;

// Fixed-width text field: at most Width bytes, never a split UTF-8 character.
template <size_t Width>
class FixedText {
 public:
  FixedText() = default;
  explicit FixedText(std::string_view text) { Assign(text); }
  void Assign(std::string_view text);
  std::string_view view() const { return {chars_.data(), size_}; }
  std::string str() const { return std::string(view()); }
  bool empty() const { return size_ == 0; }

 private:
  std::array<char, Width + 1> chars_{};
  size_t size_ = 0;
};

struct ILLUST_FILES {
  FixedText<kFileChars> file_a;
  FixedText<kFileChars> file_b;
};

struct CIllustInfo {
  FixedText<kKeyChars> key;
  bool flag = false;
  int manual_variant = 0;
  std::vector<ILLUST_FILES> files;
};

// The records in file order; empty when a column 2 or 3 is not a number. Takes any bytes.
std::vector<CIllustInfo> ParseIllustList(std::string_view bytes);

// The fields of one line, unquoted (exposed for the line tests).
std::vector<std::string> SplitFields(std::string_view line);

// The record for an error type: the first exact key, else the last pattern whose first
// character is the error type's; null when none matches.
const CIllustInfo* MatchRecord(const std::vector<CIllustInfo>& records, std::string_view error_type);

struct Illustration {
  int index = 0;  // the index actually used
  std::string file_a;
  std::string file_b;
};

int IllustrationCount(const std::vector<CIllustInfo>& records, std::string_view error_type);
int ManualVariant(const std::vector<CIllustInfo>& records, std::string_view error_type);
// Index `index` when the error type has that many, else 0; `current` stays as it is
// when nothing matches.
Illustration IllustrationAt(const std::vector<CIllustInfo>& records, std::string_view error_type, int index,
                            const Illustration& current);

}  // namespace errview
