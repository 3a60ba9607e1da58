// What travels between processes for a posted message or a window request: one
// fixed-size record per connection, little-endian, validated field by field.
#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

namespace platform::desktop {

enum class RecordKind : uint16_t { kMessage = 1, kRestore = 2, kForeground = 3 };

struct Record {
  RecordKind kind = RecordKind::kMessage;
  uint64_t window = 0;
  uint32_t message = 0;
  uint64_t wparam = 0;
  int64_t lparam = 0;
  friend bool operator==(const Record&, const Record&) = default;
};

constexpr size_t kRecordSize = 40;
using RecordBytes = std::array<uint8_t, kRecordSize>;

RecordBytes EncodeRecord(const Record& record);
// Any bytes: a record only when they are exactly one well-formed record.
std::optional<Record> DecodeRecord(std::span<const uint8_t> bytes);

enum class SendResult {
  kSent,
  kNoListener,  // nobody listens at the path: the process or its listener is gone
  kFailed,      // busy, too slow or otherwise not handed over
};

// How long a sender waits for room in a busy listener's queue.
constexpr int kConnectWaitMs = 100;

// Connects to the socket at path and sends bytes (none: only probes that someone listens),
// never waiting longer than kConnectWaitMs and never for an answer.
SendResult SendTo(const std::filesystem::path& socket, std::span<const uint8_t> bytes);

}  // namespace platform::desktop
