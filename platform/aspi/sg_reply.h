// How a finished sg request reads as an ASPI request: status, host adapter status,
// target status and the sense bytes the kernel wrote.
#pragma once
#include <scsi/sg.h>

#include <cstdint>

#include "platform/win_types.h"

namespace platform::aspi {

struct AspiOutcome {
  BYTE status = 0;
  BYTE host_status = 0;
  BYTE target_status = 0;
  size_t sense_bytes = 0;  // valid bytes of the sense buffer (CHECK CONDITION only)
};

AspiOutcome OutcomeOfReply(const sg_io_hdr_t& reply);

}  // namespace platform::aspi
