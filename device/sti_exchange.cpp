#include "device/sti_exchange.h"

#include <cstring>
#include <vector>

#include "platform/bytes.h"

namespace device {
namespace {

using platform::DWORD;
using platform::SUCCEEDED;
namespace aspi = platform::aspi;
namespace bytes = platform::bytes;

constexpr DWORD kEscapeDataOut = 0x1001;
constexpr DWORD kEscapeDataIn = 0x1002;
constexpr DWORD kEscapeUsbSpeed = 0x1003;
constexpr DWORD kEscapeForm = 0x1004;
constexpr DWORD kEscapePassThrough = 1;
constexpr DWORD kEscapeUsbBlock = 4;
constexpr DWORD kEscapeLockMode = 5;

constexpr DWORD kDirNone = 0, kDirIn = 1, kDirOut = 2;

struct Command {
  const uint8_t* cdb;  // 10 bytes are always copied
  uint16_t cdb_length;
  DWORD direction;
  uint8_t* data;
  DWORD length;
};

struct Outcome {
  bool ok;
  uint8_t status;
};

Outcome RunDirect(platform::sti::StiDevice& device, const Command& c) {
  const DWORD code = c.direction == kDirOut ? kEscapeDataOut : kEscapeDataIn;
  DWORD used = 0;
  const bool ok = SUCCEEDED(device.Escape(code, const_cast<uint8_t*>(c.cdb), c.cdb_length, c.data, c.length, &used));
  return {ok, aspi::SS_COMP};
}

Outcome RunPassThrough(platform::sti::StiDevice& device, const Command& c) {
  DWORD status = 0;
  platform::sti::PassThroughRequest request{};
  request.direction = c.direction;
  std::memcpy(request.cdb, c.cdb, 10);
  request.cdb_length = c.cdb_length;
  request.data_length = c.length;
  request.data = c.data;
  request.status = &status;
  const bool ok = SUCCEEDED(device.Escape(kEscapePassThrough, &request, 0, nullptr, 0, nullptr));
  return {ok, static_cast<uint8_t>(status)};
}

constexpr size_t kWowHeader = 24;
constexpr size_t kWowDataOffset = 68;

Outcome RunWow64(platform::sti::StiDevice& device, const Command& c, bool data_out_flag, bool data_in_flag) {
  std::vector<uint8_t> in(data_out_flag ? kWowHeader + c.length : kWowHeader + 4, 0);
  bytes::PutLE32(in.data(), c.direction);
  std::memcpy(in.data() + 4, c.cdb, 10);
  bytes::PutLE16(in.data() + 14, c.cdb_length);
  bytes::PutLE32(in.data() + 20, c.length);
  if (data_out_flag && c.length) std::memcpy(in.data() + kWowHeader, c.data, c.length);
  std::vector<uint8_t> out(data_in_flag ? kWowDataOffset + c.length : kWowDataOffset + 4, 0);
  DWORD out_size = static_cast<DWORD>(out.size());
  const bool ok = SUCCEEDED(device.Escape(kEscapePassThrough, in.data(), static_cast<DWORD>(in.size()), out.data(),
                                          out_size, &out_size));
  if (c.direction == kDirIn) std::memcpy(c.data, out.data() + kWowDataOffset, c.length);
  return {ok, static_cast<uint8_t>(bytes::GetLE32(out.data()))};
}

Outcome Run(platform::sti::StiDevice& device, ExchangeForm form, const Command& c, uint8_t flags) {
  switch (form) {
    case ExchangeForm::kDirect: return RunDirect(device, c);
    case ExchangeForm::kPassThrough: return RunPassThrough(device, c);
    case ExchangeForm::kWow64: return RunWow64(device, c, flags & aspi::SRB_DIR_OUT, flags & aspi::SRB_DIR_IN);
  }
  return {false, 0};
}

DWORD Direction(const ScsiRequestBlock& block) {
  if (block.SRB_Flags & aspi::SRB_DIR_IN) return block.SRB_BufLen ? kDirIn : kDirNone;
  if ((block.SRB_Flags & aspi::SRB_DIR_OUT) && block.SRB_BufLen) return kDirOut;
  return kDirNone;
}

}  // namespace

ExchangeForm ChooseExchangeForm(bool wow64, uint8_t escape_form) {
  if (wow64) return ExchangeForm::kWow64;
  return escape_form == 1 ? ExchangeForm::kDirect : ExchangeForm::kPassThrough;
}

uint8_t RunCommandEscape(platform::sti::StiDevice& device, ExchangeForm form, ScsiRequestBlock& block) {
  const DWORD length = block.SRB_BufPointer ? block.SRB_BufLen : 0;
  const Command command{block.CDBByte, block.SRB_CDBLen, length ? Direction(block) : kDirNone, block.SRB_BufPointer,
                        length};
  const Outcome outcome = Run(device, form, command, block.SRB_Flags);
  if (outcome.ok) return outcome.status;

  const uint8_t sense_length = block.SRB_SenseLen <= sizeof(block.SenseArea) ? block.SRB_SenseLen : sizeof(block.SenseArea);
  std::memset(block.SenseArea, 0, sense_length);
  const uint8_t request_sense[10] = {0x03, 0, 0, 0, sense_length, 0};
  const Command sense{request_sense, 6, kDirIn, block.SenseArea, sense_length};
  const Outcome sensed = Run(device, form, sense, aspi::SRB_DIR_IN);
  if (sensed.ok && (sensed.status & ~0xC0) == aspi::SS_COMP) block.SRB_TargStat = aspi::kCheckCondition;
  return aspi::SS_ERR;
}

uint8_t QueryEscapeForm(platform::sti::StiDevice& device) {
  uint8_t answer = 0;
  DWORD used = 0;
  if (!SUCCEEDED(device.Escape(kEscapeForm, nullptr, 0, &answer, 1, &used))) answer = 0;
  return (answer & 1) ? 1 : 2;
}

uint8_t QueryLockMode(platform::sti::StiDevice& device, bool wow64) {
  if (wow64) {
    uint8_t mode = 1;
    DWORD used = 0;
    if (!SUCCEEDED(device.Escape(kEscapeLockMode, nullptr, 0, &mode, 1, &used))) mode = 1;
    return mode;
  }
  DWORD mode = 1;
  if (!SUCCEEDED(device.Escape(kEscapeLockMode, &mode, 0, nullptr, 0, nullptr))) mode = 1;
  return static_cast<uint8_t>(mode);
}

std::optional<uint8_t> QueryUsbSpeed(platform::sti::StiDevice& device, bool wow64, uint8_t escape_form) {
  DWORD used = 0;
  if (escape_form == 1) {
    uint8_t speed = 0;
    if (!SUCCEEDED(device.Escape(kEscapeUsbSpeed, nullptr, 0, &speed, 1, &used))) return std::nullopt;
    return speed;
  }
  uint8_t block[4] = {};
  const bool ok = wow64 ? SUCCEEDED(device.Escape(kEscapeUsbBlock, nullptr, 0, block, 4, &used))
                        : SUCCEEDED(device.Escape(kEscapeUsbBlock, block, 0, nullptr, 0, nullptr));
  if (!ok) return std::nullopt;
  return block[3];
}

}  // namespace device
