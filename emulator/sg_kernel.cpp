#include "emulator/sg_kernel.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "emulator/emulated_device.h"
#include "platform/aspi/aspi.h"

namespace emulator {
namespace {

namespace aspi = platform::aspi;

constexpr int kSgVersion = 30536;
constexpr unsigned short kDidError = 0x07;
constexpr unsigned short kDriverSense = 0x08;
constexpr uint8_t kBusyStatus = 0x08;

WireRequest RequestOf(const sg_io_hdr_t& h) {
  WireRequest request;
  Exchange& record = request.record;
  record.transport = Transport::kAspi;
  record.cdb_area.assign(16, 0);
  std::memcpy(record.cdb_area.data(), h.cmdp, std::min<size_t>(h.cmd_len, 16));
  record.cdb_length = h.cmd_len;
  record.direction = h.dxfer_direction == SG_DXFER_FROM_DEV ? Direction::kIn
                     : h.dxfer_direction == SG_DXFER_TO_DEV ? Direction::kOut
                                                            : Direction::kNone;
  record.data_length = h.dxfer_len;
  record.aspi_flags = record.direction == Direction::kIn    ? aspi::SRB_DIR_IN
                      : record.direction == Direction::kOut ? aspi::SRB_DIR_OUT
                                                            : 0;
  record.sense_length = h.mx_sb_len;
  auto* data = static_cast<uint8_t*>(h.dxferp);
  if (record.direction == Direction::kOut && data) record.data_out.assign(data, data + h.dxfer_len);
  if (record.direction == Direction::kIn && data) request.data_in = {data, h.dxfer_len};
  request.auto_sense = true;
  return request;
}

// The header as read back: the request's fields with the kernel's results.
sg_io_hdr_t ReplyOf(const sg_io_hdr_t& request, const WireResult& result) {
  sg_io_hdr_t reply = request;
  reply.status = 0;
  reply.masked_status = 0;
  reply.host_status = 0;
  reply.driver_status = 0;
  reply.sb_len_wr = 0;
  reply.resid = request.dxfer_direction == SG_DXFER_FROM_DEV ? static_cast<int>(request.dxfer_len - result.returned) : 0;
  reply.info = SG_INFO_OK;
  switch (result.outcome) {
    case Outcome::kGood: break;
    case Outcome::kCheckCondition: {
      reply.status = aspi::kCheckCondition;
      reply.driver_status = kDriverSense;
      reply.sb_len_wr = static_cast<unsigned char>(std::min<size_t>(request.mx_sb_len, result.sense.size()));
      if (request.sbp) std::memcpy(request.sbp, result.sense.data(), reply.sb_len_wr);
      break;
    }
    case Outcome::kBusy: reply.status = kBusyStatus; break;
    default: reply.host_status = kDidError; break;
  }
  reply.masked_status = static_cast<unsigned char>((reply.status & 0x3E) >> 1);
  if (reply.status || reply.host_status || reply.driver_status) reply.info = SG_INFO_CHECK;
  return reply;
}

}  // namespace

EmulatedSgKernel::EmulatedSgKernel(std::shared_ptr<Bus> bus) : bus_(std::move(bus)) {
  const unsigned adapters = bus_->AspiSupportInfo() & 0xFF;
  unsigned number = 0;
  for (unsigned ha = 0; ha < adapters; ++ha)
    nodes_.push_back({"/dev/sg" + std::to_string(number++), static_cast<uint8_t>(ha), 0, 1, false});
  for (const auto& device : bus_->Devices())
    if (const auto& address = device->attachment().aspi)
      nodes_.push_back({"/dev/sg" + std::to_string(number++), address->host_adapter, address->target, 0, true});
}

EmulatedSgKernel::~EmulatedSgKernel() {
  for (const auto& [fd, open] : open_) ::close(fd);
}

platform::aspi::SgTopology EmulatedSgKernel::Topology() const {
  platform::aspi::SgTopology topology;
  for (const Node& node : nodes_) {
    platform::aspi::SgNode sg;
    sg.name = node.path.substr(5);
    sg.host = node.host_adapter;
    sg.target = node.target;
    sg.lun = node.lun;
    const auto device = DeviceOf(node);
    sg.peripheral_type = node.scanner ? (device ? device->inquiry()[0] & 0x1F : 6) : 0;
    topology.nodes.push_back(sg);
    if (std::none_of(topology.hosts.begin(), topology.hosts.end(), [&](const auto& h) { return h.number == sg.host; }))
      topology.hosts.push_back({sg.host, "emulated", 7});
  }
  return topology;
}

std::shared_ptr<EmulatedDevice> EmulatedSgKernel::DeviceOf(const Node& node) const {
  return node.scanner ? bus_->FindAspi(node.host_adapter, node.target) : nullptr;
}

int EmulatedSgKernel::Open(const char* path, int flags) {
  std::lock_guard<std::mutex> guard(mutex_);
  open_flags_.push_back(flags);
  const auto node = std::find_if(nodes_.begin(), nodes_.end(), [&](const Node& n) { return n.path == path; });
  if (node == nodes_.end()) return errno = ENOENT, -1;
  if (node->scanner && !DeviceOf(*node)) return errno = ENODEV, -1;
  const int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (fd < 0) return -1;
  open_[fd].node = &*node;
  return fd;
}

int EmulatedSgKernel::Close(int fd) {
  std::lock_guard<std::mutex> guard(mutex_);
  if (!open_.erase(fd)) return errno = EBADF, -1;
  return ::close(fd);
}

ssize_t EmulatedSgKernel::Write(int fd, const void* data, size_t size) {
  sg_io_hdr_t request;
  std::shared_ptr<EmulatedDevice> device;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    const auto open = open_.find(fd);
    if (open == open_.end()) return errno = EBADF, -1;
    if (size < sizeof(request)) return errno = EINVAL, -1;
    std::memcpy(&request, data, sizeof(request));
    written_.push_back(request);
    if (request.interface_id != 'S' || request.cmd_len < 6 || request.cmd_len > 16) return errno = EINVAL, -1;
    device = DeviceOf(*open->second.node);
    if (!device) return errno = ENODEV, -1;
  }
  // The device runs outside the lock: it may take its time, and a reply may be read meanwhile.
  const WireResult result = device->Execute(RequestOf(request));
  if (result.outcome == Outcome::kNoDevice) return errno = ENODEV, -1;
  std::lock_guard<std::mutex> guard(mutex_);
  if (result.outcome == Outcome::kNoAnswer) return static_cast<ssize_t>(size);
  const auto open = open_.find(fd);
  if (open == open_.end()) return static_cast<ssize_t>(size);  // closed meanwhile: the reply is dropped
  open->second.replies.push_back(ReplyOf(request, result));
  const uint64_t one = 1;
  if (::write(fd, &one, sizeof(one)) < 0) return -1;
  return static_cast<ssize_t>(size);
}

ssize_t EmulatedSgKernel::Read(int fd, void* data, size_t size) {
  std::lock_guard<std::mutex> guard(mutex_);
  const auto open = open_.find(fd);
  if (open == open_.end()) return errno = EBADF, -1;
  if (size < sizeof(sg_io_hdr_t)) return errno = EINVAL, -1;
  auto& replies = open->second.replies;
  if (replies.empty()) return errno = EAGAIN, -1;
  std::memcpy(data, &replies.front(), sizeof(sg_io_hdr_t));
  replies.erase(replies.begin());
  if (replies.empty()) {
    uint64_t count = 0;
    if (::read(fd, &count, sizeof(count)) < 0 && errno != EAGAIN) return -1;
  }
  return sizeof(sg_io_hdr_t);
}

int EmulatedSgKernel::Poll(pollfd* fds, nfds_t count, int timeout_ms) { return ::poll(fds, count, timeout_ms); }

int EmulatedSgKernel::Ioctl(int fd, unsigned long request, void* argument) {
  std::lock_guard<std::mutex> guard(mutex_);
  if (!open_.count(fd)) return errno = EBADF, -1;
  if (request != SG_GET_VERSION_NUM || !argument) return errno = EINVAL, -1;
  *static_cast<int*>(argument) = kSgVersion;
  return 0;
}

std::vector<sg_io_hdr_t> EmulatedSgKernel::Written() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return written_;
}

std::vector<int> EmulatedSgKernel::OpenFlags() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return open_flags_;
}

}  // namespace emulator
