#include "platform/aspi/sg_reply.h"

#include "platform/aspi/aspi.h"

namespace platform::aspi {
namespace {

// The kernel's host byte (DID_*) as the ASPI host adapter status.
struct HostMapping {
  unsigned short kernel;
  BYTE aspi;
};
constexpr HostMapping kHostStatus[] = {
    {0x01, HASTAT_SEL_TO},           // DID_NO_CONNECT
    {0x02, HASTAT_BUS_FREE},         // DID_BUS_BUSY
    {0x03, HASTAT_TIMEOUT},          // DID_TIME_OUT
    {0x04, HASTAT_SEL_TO},           // DID_BAD_TARGET
    {0x05, HASTAT_COMMAND_TIMEOUT},  // DID_ABORT
    {0x06, HASTAT_PARITY_ERROR},     // DID_PARITY
    {0x08, HASTAT_BUS_RESET},        // DID_RESET
};

constexpr unsigned short kDriverTimeout = 0x06;  // DRIVER_TIMEOUT
constexpr unsigned short kDriverSense = 0x08;    // DRIVER_SENSE: sense data came with the status
constexpr unsigned char kStatusMask = 0x3E;  // the status byte without its vendor and reserved bits

BYTE HostStatusOf(unsigned short kernel) {
  for (const HostMapping& m : kHostStatus)
    if (m.kernel == kernel) return m.aspi;
  return HASTAT_PHASE_ERR;
}

}  // namespace

AspiOutcome OutcomeOfReply(const sg_io_hdr_t& reply) {
  AspiOutcome outcome;
  const unsigned short driver = reply.driver_status & 0x0F;
  if (reply.host_status != 0) {
    outcome.status = SS_ERR;
    outcome.host_status = HostStatusOf(reply.host_status);
    return outcome;
  }
  if (driver == kDriverTimeout) {
    outcome.status = SS_ERR;
    outcome.host_status = HASTAT_COMMAND_TIMEOUT;
    return outcome;
  }
  if (driver != 0 && driver != kDriverSense) {
    outcome.status = SS_ERR;
    outcome.host_status = HASTAT_PHASE_ERR;
    return outcome;
  }
  outcome.target_status = reply.status & kStatusMask;
  if (outcome.target_status == kCheckCondition) {
    outcome.status = SS_ERR;
    outcome.sense_bytes = reply.sb_len_wr;
    return outcome;
  }
  // Other target statuses (BUSY among them) complete, as the ASPI manager reports them.
  outcome.status = SS_COMP;
  return outcome;
}

}  // namespace platform::aspi
