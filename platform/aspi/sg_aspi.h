// The ASPI manager over the kernel's SCSI generic driver: host adapters and targets
// from the sg nodes, requests as sg v3 headers written to the node and their replies
// read back (asynchronously, so that a pending request can be aborted).
#pragma once
#include <memory>
#include <string>

#include "platform/aspi/aspi.h"
#include "platform/aspi/sg_kernel.h"
#include "platform/aspi/sg_topology.h"

namespace platform::aspi {

// The kernel's own time-out of a request: longer than any wait of the device layer,
// which aborts first.
constexpr unsigned kSgRequestTimeoutMs = 120000;
// The rule that opens the family's scanner nodes to the logged-in user.
constexpr const char* kUdevRuleName = "70-scanutil-scanners.rules";

struct SgOptions {
  std::shared_ptr<SgKernel> kernel = SystemSgKernel();
  SgTopology topology;
  std::string dev_folder = "/dev/";
};

// Opens the scanner nodes (peripheral type 6) read-write; one that may not be opened is
// absent, with one line on standard error naming the udev rule.
std::shared_ptr<AspiLibrary> MakeScsiGenericLibrary(SgOptions options);

// Registers "wnaspi32.dll" as this machine's SCSI generic nodes.
void InstallScsiGenericAspi();

}  // namespace platform::aspi
