// The ASPI transport: the ASPI manager library for scanners on a SCSI host adapter.
#pragma once
#include <memory>
#include <vector>

#include "device/device_record.h"
#include "device/request_block.h"
#include "platform/aspi/aspi.h"

namespace device {

class AspiTransport {
 public:
  // Unloads a loaded manager, loads it again; true when both entries exist and the
  // support information reports completion.
  bool Load();
  void Unload();
  bool Usable() const { return library_ != nullptr; }

  // Hands the block to the manager; returns its answer.
  platform::DWORD Send(ScsiRequestBlock& block);
  // Runs a block with its own completion event, waiting at most timeout_ms and
  // aborting the block when that passes. Returns the request status.
  uint8_t RunWithTimeout(ScsiRequestBlock& block, platform::DWORD timeout_ms);
  // Up to 8 scanners matching one of the filters, over every host adapter and target.
  std::vector<DeviceRecord> Enumerate(const std::vector<InquiryFilter>& filters);

 private:
  std::shared_ptr<platform::aspi::AspiLibrary> library_;
  int adapter_count_ = 0;
};

}  // namespace device
