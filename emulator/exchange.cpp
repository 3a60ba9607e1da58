#include "emulator/exchange.h"

#include <algorithm>

#include "platform/aspi/aspi.h"
#include "platform/format.h"

namespace emulator {

std::vector<uint8_t> Exchange::Cdb() const {
  const size_t n = std::min<size_t>(cdb_length, cdb_area.size());
  return {cdb_area.begin(), cdb_area.begin() + static_cast<std::ptrdiff_t>(n)};
}

platform::HRESULT EscapeResultFor(Outcome outcome) {
  switch (outcome) {
    case Outcome::kGood: return platform::S_OK;
    case Outcome::kNoDevice: return kDeviceNotConnected;
    case Outcome::kRejected: return platform::E_INVALIDARG;
    default: return platform::E_FAIL;
  }
}

uint8_t AspiStatusFor(Outcome outcome) {
  namespace aspi = platform::aspi;
  switch (outcome) {
    case Outcome::kGood:
    case Outcome::kBusy: return aspi::SS_COMP;
    case Outcome::kNoAnswer: return aspi::SS_PENDING;
    case Outcome::kNoDevice: return aspi::SS_NO_DEVICE;
    default: return aspi::SS_ERR;
  }
}

uint8_t TargetStatusFor(Outcome outcome) {
  constexpr uint8_t kTargetBusy = 0x08;
  switch (outcome) {
    case Outcome::kCheckCondition: return platform::aspi::kCheckCondition;
    case Outcome::kBusy: return kTargetBusy;
    default: return 0;
  }
}

void SetResultFields(Exchange& exchange) {
  if (exchange.transport == Transport::kAspi) {
    exchange.aspi_status = AspiStatusFor(exchange.outcome);
    exchange.target_status = TargetStatusFor(exchange.outcome);
  } else if (exchange.outcome != Outcome::kEscapeFailed) {
    exchange.result = EscapeResultFor(exchange.outcome);
  }
}

const char* TransportName(Transport transport) {
  switch (transport) {
    case Transport::kAspi: return "aspi";
    case Transport::kEscapeDirect: return "direct";
    case Transport::kEscapePassThrough: return "pass-through";
    case Transport::kEscapeWow64: return "wow64";
    case Transport::kEscapeQuery: return "query";
    case Transport::kLock: return "lock";
    case Transport::kUnlock: return "unlock";
  }
  return "?";
}

std::string Describe(const Exchange& e) {
  std::string cdb;
  for (uint8_t b : e.Cdb()) cdb += platform::Format("%02X ", b);
  return platform::Format("%s code=0x%X in=%u out=%u hr=0x%08X cdb=[%s] dir=%d len=%u sent=%zu returned=%u outcome=%d",
                          TransportName(e.transport), e.escape_code, e.in_size, e.out_size,
                          static_cast<unsigned>(e.result), cdb.c_str(), static_cast<int>(e.direction), e.data_length,
                          e.data_out.size(), e.returned, static_cast<int>(e.outcome));
}

}  // namespace emulator
