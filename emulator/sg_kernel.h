// The kernel's SCSI generic driver in front of an emulated bus, for running the real
// sg provider without hardware: each ASPI-attached device is a node /dev/sgN, each host
// adapter a SCSI host with a disk beside the scanners. Replies are ready as soon as a
// request is written, except for a device that leaves its request unanswered.
// Descriptors are real event descriptors, readable while a reply waits.
#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <scsi/sg.h>

#include "emulator/bus.h"
#include "platform/aspi/sg_kernel.h"
#include "platform/aspi/sg_topology.h"

namespace emulator {

class EmulatedSgKernel : public platform::aspi::SgKernel {
 public:
  explicit EmulatedSgKernel(std::shared_ptr<Bus> bus);
  ~EmulatedSgKernel() override;

  // The nodes and hosts as sysfs would show them.
  platform::aspi::SgTopology Topology() const;

  int Open(const char* path, int flags) override;
  int Close(int fd) override;
  ssize_t Write(int fd, const void* data, size_t size) override;
  ssize_t Read(int fd, void* data, size_t size) override;
  int Poll(pollfd* fds, nfds_t count, int timeout_ms) override;
  int Ioctl(int fd, unsigned long request, void* argument) override;

  // Every header written, as written (pointers included).
  std::vector<sg_io_hdr_t> Written() const;
  // The flags each open asked for.
  std::vector<int> OpenFlags() const;

 private:
  struct Node {
    std::string path;
    uint8_t host_adapter = 0, target = 0, lun = 0;
    bool scanner = false;
  };
  struct OpenNode {
    const Node* node = nullptr;
    std::vector<sg_io_hdr_t> replies;  // in the order they are read
  };
  std::shared_ptr<EmulatedDevice> DeviceOf(const Node& node) const;

  std::shared_ptr<Bus> bus_;
  mutable std::mutex mutex_;
  std::vector<Node> nodes_;
  std::map<int, OpenNode> open_;
  std::vector<sg_io_hdr_t> written_;
  std::vector<int> open_flags_;
};

}  // namespace emulator
