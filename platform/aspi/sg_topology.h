// The SCSI generic nodes of this machine as the ASPI layer numbers them: host adapters
// are the (SCSI host, channel) pairs that have devices, in order; targets and logical
// units are the devices' own.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform::aspi {

struct SgNode {
  std::string name;  // "sg3": the node is /dev/sg3
  unsigned host = 0, channel = 0, target = 0, lun = 0;
  uint8_t peripheral_type = 0x1F;
};

struct SgHost {
  unsigned number = 0;
  std::string driver;  // the host's proc_name ("ahci", "qla1280")
  int initiator_id = -1;
};

struct SgTopology {
  std::vector<SgHost> hosts;
  std::vector<SgNode> nodes;
};

// From /sys/class/scsi_generic and /sys/class/scsi_host under `sys`; any damage in the
// tree drops what it touches.
SgTopology ReadSgTopology(const std::filesystem::path& sys = "/sys");

// A host adapter of the ASPI numbering.
struct SgAdapter {
  unsigned host = 0, channel = 0;
  std::string driver;
  int initiator_id = -1;
};
std::vector<SgAdapter> NumberAdapters(const SgTopology& topology);

// "H:C:T:L" of a sysfs device name; nullopt for anything else.
std::optional<SgNode> ParseScsiAddress(const std::string& address);

}  // namespace platform::aspi
