#include "platform/desktop_wire.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/bytes.h"

namespace platform::desktop {
namespace {

constexpr uint32_t kMagic = 0x4B534544;  // "DESK"
constexpr uint16_t kVersion = 1;

// Field offsets of the record.
constexpr size_t kMagicAt = 0, kVersionAt = 4, kKindAt = 6, kWindowAt = 8, kMessageAt = 16, kReservedAt = 20,
                 kWParamAt = 24, kLParamAt = 32;

bool KnownKind(uint16_t kind) {
  return kind >= static_cast<uint16_t>(RecordKind::kMessage) && kind <= static_cast<uint16_t>(RecordKind::kForeground);
}

class Socket {
 public:
  Socket() : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
  ~Socket() {
    if (fd_ >= 0) ::close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

RecordBytes EncodeRecord(const Record& record) {
  RecordBytes bytes{};
  bytes::PutLE32(&bytes[kMagicAt], kMagic);
  bytes::PutLE16(&bytes[kVersionAt], kVersion);
  bytes::PutLE16(&bytes[kKindAt], static_cast<uint16_t>(record.kind));
  bytes::PutLE64(&bytes[kWindowAt], record.window);
  bytes::PutLE32(&bytes[kMessageAt], record.message);
  bytes::PutLE32(&bytes[kReservedAt], 0);
  bytes::PutLE64(&bytes[kWParamAt], record.wparam);
  bytes::PutLE64(&bytes[kLParamAt], static_cast<uint64_t>(record.lparam));
  return bytes;
}

std::optional<Record> DecodeRecord(std::span<const uint8_t> bytes) {
  if (bytes.size() != kRecordSize) return std::nullopt;
  const uint8_t* p = bytes.data();
  const uint16_t kind = bytes::GetLE16(p + kKindAt);
  if (bytes::GetLE32(p + kMagicAt) != kMagic || bytes::GetLE16(p + kVersionAt) != kVersion || !KnownKind(kind) ||
      bytes::GetLE32(p + kReservedAt) != 0)
    return std::nullopt;
  Record record;
  record.kind = static_cast<RecordKind>(kind);
  record.window = bytes::GetLE64(p + kWindowAt);
  record.message = bytes::GetLE32(p + kMessageAt);
  record.wparam = bytes::GetLE64(p + kWParamAt);
  record.lparam = static_cast<int64_t>(bytes::GetLE64(p + kLParamAt));
  return record;
}

SendResult SendTo(const std::filesystem::path& socket, std::span<const uint8_t> bytes) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string& path = socket.native();
  if (path.empty() || path.size() >= sizeof(address.sun_path)) return SendResult::kFailed;
  std::memcpy(address.sun_path, path.data(), path.size());

  Socket s;
  if (s.fd() < 0) return SendResult::kFailed;
  // A local connect waits only while the listener's queue is full; the send timeout bounds that wait.
  const timeval wait{0, kConnectWaitMs * 1000};
  if (::setsockopt(s.fd(), SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait) != 0) return SendResult::kFailed;
  if (::connect(s.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
    return errno == ECONNREFUSED || errno == ENOENT ? SendResult::kNoListener : SendResult::kFailed;
  if (bytes.empty()) return SendResult::kSent;
  const ssize_t sent = ::send(s.fd(), bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
  return sent == static_cast<ssize_t>(bytes.size()) ? SendResult::kSent : SendResult::kFailed;
}

}  // namespace platform::desktop
