// The still-image escape calls the scanner's driver answers, told apart by their
// arguments alone. Malformed calls decode to nothing.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "emulator/device_setup.h"
#include "emulator/emulated_device.h"
#include "emulator/exchange.h"
#include "platform/win_types.h"

namespace emulator {

constexpr platform::DWORD kEscapePassThrough = 1;
constexpr platform::DWORD kEscapeUsbBlock = 4;
constexpr platform::DWORD kEscapeLockMode = 5;
constexpr platform::DWORD kEscapeDataOut = 0x1001;
constexpr platform::DWORD kEscapeDataIn = 0x1002;
constexpr platform::DWORD kEscapeUsbSpeed = 0x1003;
constexpr platform::DWORD kEscapeForm = 0x1004;

constexpr platform::HRESULT E_NOTIMPL = static_cast<platform::HRESULT>(0x80004001);

// WOW64 pass-through layout.
constexpr size_t kWowHeaderSize = 24;
constexpr size_t kWowInputWithoutData = 28;
constexpr size_t kWowDataInOffset = 68;
constexpr size_t kWowOutputWithoutData = 72;

struct EscapeCall {
  platform::DWORD code = 0;
  void* in = nullptr;
  platform::DWORD in_size = 0;
  void* out = nullptr;
  platform::DWORD out_size = 0;
  platform::DWORD* out_used = nullptr;
};

bool IsCommandEscape(platform::DWORD code);

// A command carried by escape 0x1001, 0x1002 or 1, and where its answer goes.
struct EscapeCommand {
  WireRequest request;                       // record filled with the call's view
  platform::DWORD* native_status = nullptr;  // native pass-through
  uint8_t* wow64_output = nullptr;           // WOW64: status at 0, data in from 68
};

// The transport an escape 1 call's argument shape names, for records of refused calls.
Transport CommandTransportOf(const EscapeCall& call);
std::optional<EscapeCommand> DecodeCommandEscape(const EscapeCall& call);
// Writes the status (1 on success, 4 on failure, 0x82 without device) and the used size.
void CompleteCommandEscape(const EscapeCall& call, const EscapeCommand& command, const WireResult& result);

// Escapes without a command: the answer bytes for the driver.
struct QueryEscape {
  platform::DWORD code;
  size_t native_size;  // bytes written through the input pointer in the native form; 0: no native form
  size_t output_size;  // bytes of the output form
  std::array<uint8_t, 4> (*answer)(const StiDriver& driver);
};
const QueryEscape* FindQueryEscape(platform::DWORD code);
// Writes the answer in the form the arguments name; false for a malformed call.
bool AnswerQueryEscape(const EscapeCall& call, const QueryEscape& query, const StiDriver& driver);

}  // namespace emulator
