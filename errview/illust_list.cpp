#include "errview/illust_list.h"

#include <cctype>
#include <optional>

namespace errview {
namespace {

// Lines split at CR, LF or CR LF; empty lines left out.
std::vector<std::string_view> Lines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i <= bytes.size(); ++i) {
    if (i < bytes.size() && bytes[i] != '\r' && bytes[i] != '\n') continue;
    if (i > start) lines.push_back(bytes.substr(start, i - start));
    if (i + 1 < bytes.size() && bytes[i] == '\r' && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  return lines;
}

// An optional sign and at least one digit, nothing else; saturates far out of range.
std::optional<int> ParseNumber(std::string_view text) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) i = 1;
  if (i == text.size()) return std::nullopt;
  long long value = 0;
  for (; i < text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
    if (value < 1'000'000'000'0LL) value = value * 10 + (text[i] - '0');
  }
  if (value > 2147483647LL) value = 2147483647LL;
  return static_cast<int>(negative ? -value : value);
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

template <size_t Width>
void FixedText<Width>::Assign(std::string_view text) {
  size_t size = text.size() < Width ? text.size() : Width;
  // Back off to the start of a character cut in two.
  if (size < text.size())
    while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80) --size;
  text.copy(chars_.data(), size);
  chars_[size] = '\0';
  size_ = size;
}
template class FixedText<kKeyChars>;
template class FixedText<kFileChars>;

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c != '"') {
        fields.back() += c;
      } else if (i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == ',') {
      fields.emplace_back();
    } else if (c == '"') {
      quoted = true;
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

std::vector<CIllustInfo> ParseIllustList(std::string_view bytes) {
  std::vector<CIllustInfo> records;
  for (std::string_view line : Lines(bytes)) {
    const std::vector<std::string> fields = SplitFields(line);
    const std::optional<int> flag = fields.size() > 1 ? ParseNumber(fields[1]) : std::nullopt;
    const std::optional<int> variant = fields.size() > 2 ? ParseNumber(fields[2]) : std::nullopt;
    // One bad number and nothing of the list can be trusted.
    if (!flag || !variant) return {};
    if (fields[0].empty()) continue;
    CIllustInfo record;
    record.key.Assign(fields[0]);
    record.flag = *flag != 0;
    record.manual_variant = *variant;
    for (size_t i = 3; i < fields.size(); i += 2) {
      const std::string& a = fields[i];
      const std::string b = i + 1 < fields.size() ? fields[i + 1] : std::string();
      if (a.empty() && b.empty()) continue;
      record.files.push_back({FixedText<kFileChars>(a), FixedText<kFileChars>(b)});
    }
    records.push_back(std::move(record));
  }
  return records;
}

const CIllustInfo* MatchRecord(const std::vector<CIllustInfo>& records, std::string_view error_type) {
  const CIllustInfo* pattern = nullptr;
  for (const CIllustInfo& record : records) {
    const std::string key = UpperAscii(record.key.view());
    if (key == error_type) return &record;
    if (key.find("XX") != std::string::npos && !error_type.empty() && key[0] == error_type[0]) pattern = &record;
  }
  return pattern;
}

int IllustrationCount(const std::vector<CIllustInfo>& records, std::string_view error_type) {
  const CIllustInfo* record = MatchRecord(records, error_type);
  return record ? static_cast<int>(record->files.size()) : 0;
}

int ManualVariant(const std::vector<CIllustInfo>& records, std::string_view error_type) {
  const CIllustInfo* record = MatchRecord(records, error_type);
  return record ? record->manual_variant : 0;
}

Illustration IllustrationAt(const std::vector<CIllustInfo>& records, std::string_view error_type, int index,
                            const Illustration& current) {
  const CIllustInfo* record = MatchRecord(records, error_type);
  if (!record || record->files.empty()) return current;
  const int count = static_cast<int>(record->files.size());
  const int used = index >= 0 && index < count ? index : 0;
  const ILLUST_FILES& files = record->files[static_cast<size_t>(used)];
  return {used, files.file_a.str(), files.file_b.str()};
}

}  // namespace errview
