#include "platform/aspi/sg_aspi.h"

#include <fcntl.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <list>
#include <mutex>
#include <set>
#include <thread>

#include "platform/aspi/sg_reply.h"
#include "platform/module.h"

namespace platform::aspi {
namespace {

constexpr uint8_t kPeripheralScanner = 6;
constexpr const char kManagerId[] = "ASPI for WIN32";
constexpr DWORD kMaxTransfer = 0x10000 * 16;

struct Target {
  SgNode node;
  BYTE adapter = 0;
  std::string path;
  int fd = -1;  // -1: closed (not opened yet, or closed by an abort)
};

struct Pending {
  SRB_ExecSCSICmd* block = nullptr;
  int fd = -1;
  sg_io_hdr_t header{};
  BYTE cdb[16]{};
  BYTE sense[16]{};
};

// Each node that may not be opened is named once in the process.
void ReportUnopenable(const std::string& path, int error) {
  static std::mutex mutex;
  static std::set<std::string> reported;
  std::lock_guard<std::mutex> guard(mutex);
  if (!reported.insert(path).second) return;
  std::fprintf(stderr, "%s: %s: %s; the udev rule %s gives the logged-in user access to the scanner\n",
               program_invocation_short_name, path.c_str(), std::strerror(error), kUdevRuleName);
}

void CopyPadded(BYTE (&field)[16], std::string_view text) {
  std::memset(field, 0, sizeof(field));
  std::memcpy(field, text.data(), std::min(text.size(), sizeof(field)));
}

int DirectionOf(const SRB_ExecSCSICmd& block) {
  if (!block.SRB_BufPointer || block.SRB_BufLen == 0) return SG_DXFER_NONE;
  const BYTE dir = block.SRB_Flags & (SRB_DIR_IN | SRB_DIR_OUT);
  if (dir == SRB_DIR_IN) return SG_DXFER_FROM_DEV;
  if (dir == SRB_DIR_OUT) return SG_DXFER_TO_DEV;
  return SG_DXFER_NONE;
}

class SgManager {
 public:
  explicit SgManager(SgOptions options) : kernel_(std::move(options.kernel)) {
    adapters_ = NumberAdapters(options.topology);
    for (const SgNode& node : options.topology.nodes) AddTarget(node, options.dev_folder);
    wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    worker_ = std::thread([this] { Run(); });
  }

  ~SgManager() {
    {
      std::lock_guard<std::mutex> guard(mutex_);
      stop_ = true;
    }
    Wake();
    worker_.join();
    std::lock_guard<std::mutex> guard(mutex_);
    for (Target& target : targets_) CloseTarget(target, SS_ABORTED);
    if (wake_ >= 0) ::close(wake_);
  }

  DWORD SupportInfo() const {
    if (adapters_.empty()) return DWORD{SS_NO_ADAPTERS} << 8;
    return DWORD{SS_COMP} << 8 | static_cast<DWORD>(std::min<size_t>(adapters_.size(), 0xFF));
  }

  DWORD Send(void* srb) {
    if (!srb) return SS_INVALID_SRB;
    auto* header = static_cast<SRB_Header*>(srb);
    switch (header->SRB_Cmd) {
      case SC_HA_INQUIRY: return Inquire(*static_cast<SRB_HAInquiry*>(srb));
      case SC_GET_DEV_TYPE: return DeviceType(*static_cast<SRB_GDEVBlock*>(srb));
      case SC_EXEC_SCSI_CMD: return Execute(*static_cast<SRB_ExecSCSICmd*>(srb));
      case SC_ABORT_SRB: return Abort(*static_cast<SRB_Abort*>(srb));
      default: header->SRB_Status = SS_INVALID_CMD; return SS_INVALID_CMD;
    }
  }

 private:
  void AddTarget(const SgNode& node, const std::string& dev_folder) {
    const auto adapter = std::find_if(adapters_.begin(), adapters_.end(), [&](const SgAdapter& a) {
      return a.host == node.host && a.channel == node.channel;
    });
    if (adapter == adapters_.end() || node.target > 0xFF || node.lun > 0xFF) return;
    Target target{node, static_cast<BYTE>(adapter - adapters_.begin()), dev_folder + node.name};
    if (node.peripheral_type == kPeripheralScanner) {
      target.fd = kernel_->Open(target.path.c_str(), O_RDWR | O_NONBLOCK);
      if (target.fd < 0 && (errno == EACCES || errno == EPERM)) ReportUnopenable(target.path, errno);
      if (target.fd < 0 && errno != ENOENT && errno != ENXIO && errno != ENODEV) return;
    }
    targets_.push_back(std::move(target));
  }

  Target* Find(BYTE adapter, BYTE target_id, BYTE lun) {
    for (Target& t : targets_)
      if (t.adapter == adapter && t.node.target == target_id && t.node.lun == lun) return &t;
    return nullptr;
  }

  DWORD Inquire(SRB_HAInquiry& block) {
    if (block.SRB_HaId >= adapters_.size()) return block.SRB_Status = SS_INVALID_HA;
    const SgAdapter& adapter = adapters_[block.SRB_HaId];
    block.HA_Count = static_cast<BYTE>(std::min<size_t>(adapters_.size(), 0xFF));
    block.HA_SCSI_ID = adapter.initiator_id >= 0 && adapter.initiator_id < 16 ? adapter.initiator_id : 7;
    CopyPadded(block.HA_ManagerId, kManagerId);
    CopyPadded(block.HA_Identifier, adapter.driver);
    std::memset(block.HA_Unique, 0, sizeof(block.HA_Unique));
    block.HA_Unique[3] = 16;  // targets per bus
    std::memcpy(block.HA_Unique + 4, &kMaxTransfer, sizeof(kMaxTransfer));
    return block.SRB_Status = SS_COMP;
  }

  DWORD DeviceType(SRB_GDEVBlock& block) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (block.SRB_HaId >= adapters_.size()) return block.SRB_Status = SS_INVALID_HA;
    const Target* target = Find(block.SRB_HaId, block.SRB_Target, block.SRB_Lun);
    if (!target) return block.SRB_Status = SS_NO_DEVICE;
    block.SRB_DeviceType = target->node.peripheral_type;
    return block.SRB_Status = SS_COMP;
  }

  DWORD Execute(SRB_ExecSCSICmd& block) {
    block.SRB_HaStat = HASTAT_OK;
    block.SRB_TargStat = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    if (block.SRB_HaId >= adapters_.size()) return Finish(block, SS_INVALID_HA);
    Target* target = Find(block.SRB_HaId, block.SRB_Target, block.SRB_Lun);
    if (!target || target->node.peripheral_type != kPeripheralScanner) return Finish(block, SS_NO_DEVICE);
    if (target->fd < 0) target->fd = kernel_->Open(target->path.c_str(), O_RDWR | O_NONBLOCK);
    if (target->fd < 0) return Finish(block, SS_NO_DEVICE);

    Pending& request = pending_.emplace_back();
    request.block = &block;
    request.fd = target->fd;
    const size_t cdb_length = std::min<size_t>(block.SRB_CDBLen, sizeof(request.cdb));
    std::memcpy(request.cdb, block.CDBByte, cdb_length);
    sg_io_hdr_t& h = request.header;
    h.interface_id = 'S';
    h.dxfer_direction = DirectionOf(block);
    h.cmd_len = static_cast<unsigned char>(cdb_length);
    h.mx_sb_len = static_cast<unsigned char>(std::min<size_t>(block.SRB_SenseLen, sizeof(request.sense)));
    h.dxfer_len = h.dxfer_direction == SG_DXFER_NONE ? 0 : block.SRB_BufLen;
    h.dxferp = h.dxfer_direction == SG_DXFER_NONE ? nullptr : block.SRB_BufPointer;
    h.cmdp = request.cdb;
    h.sbp = request.sense;
    h.timeout = kSgRequestTimeoutMs;
    h.pack_id = static_cast<int>(++sequence_);
    h.usr_ptr = &request;
    std::atomic_ref<BYTE>(block.SRB_Status).store(SS_PENDING, std::memory_order_release);
    if (kernel_->Write(target->fd, &h, sizeof(h)) < 0) {
      const int error = errno;
      pending_.pop_back();
      if (error == ENODEV || error == ENXIO) {
        CloseTarget(*target, SS_NO_DEVICE);
        return Finish(block, SS_NO_DEVICE);
      }
      return Finish(block, SS_ERR);
    }
    // A reply that is already there completes the request before the call returns.
    Collect(target->fd);
    const BYTE status = LoadRequestStatus(block);
    lock.unlock();
    if (status == SS_PENDING) Wake();
    return status;
  }

  DWORD Abort(SRB_Abort& abort) {
    std::lock_guard<std::mutex> guard(mutex_);
    const auto request = std::find_if(pending_.begin(), pending_.end(),
                                      [&](const Pending& p) { return p.block == abort.SRB_ToAbort; });
    if (!abort.SRB_ToAbort || request == pending_.end()) return abort.SRB_Status = SS_ABORT_FAIL;
    // Closing the node makes the kernel drop its requests: nothing is copied into the
    // requesters' buffers afterwards. The node opens again with the next request.
    for (Target& target : targets_)
      if (target.fd == request->fd) CloseTarget(target, SS_ABORTED);
    Wake();
    return abort.SRB_Status = SS_COMP;
  }

  // Reads every reply the node has ready and completes its request. Lock held.
  void Collect(int fd) {
    for (;;) {
      sg_io_hdr_t reply{};
      reply.interface_id = 'S';
      if (kernel_->Read(fd, &reply, sizeof(reply)) < 0) {
        if (errno == EAGAIN || errno == EINTR) return;
        for (Target& target : targets_)
          if (target.fd == fd) CloseTarget(target, SS_NO_DEVICE);
        return;
      }
      const auto request = std::find_if(pending_.begin(), pending_.end(),
                                        [&](const Pending& p) { return &p == reply.usr_ptr && p.fd == fd; });
      if (request == pending_.end()) continue;
      Deliver(*request, reply);
      pending_.erase(request);
    }
  }

  static void Deliver(Pending& request, const sg_io_hdr_t& reply) {
    SRB_ExecSCSICmd& block = *request.block;
    const AspiOutcome outcome = OutcomeOfReply(reply);
    block.SRB_HaStat = outcome.host_status;
    block.SRB_TargStat = outcome.target_status;
    const size_t sense = std::min<size_t>({outcome.sense_bytes, request.header.mx_sb_len, sizeof(block.SenseArea)});
    std::memcpy(block.SenseArea, request.sense, sense);
    CompleteRequest(block, outcome.status);
  }

  // Closes a node and ends its pending requests with `status`. Lock held.
  void CloseTarget(Target& target, BYTE status) {
    if (target.fd < 0) return;
    const int fd = target.fd;
    target.fd = -1;
    kernel_->Close(fd);
    for (auto it = pending_.begin(); it != pending_.end();) {
      if (it->fd != fd) {
        ++it;
        continue;
      }
      CompleteRequest(*it->block, status);
      it = pending_.erase(it);
    }
  }

  static DWORD Finish(SRB_ExecSCSICmd& block, BYTE status) {
    CompleteRequest(block, status);
    return status;
  }

  void Wake() {
    const uint64_t one = 1;
    if (wake_ >= 0) [[maybe_unused]] auto n = ::write(wake_, &one, sizeof(one));
  }

  // The completion side: waits on the nodes with pending requests and the wake-up.
  void Run() {
    std::vector<pollfd> fds;
    for (;;) {
      {
        std::lock_guard<std::mutex> guard(mutex_);
        if (stop_) return;
        fds.assign(1, pollfd{wake_, POLLIN, 0});
        for (const Pending& p : pending_)
          if (std::none_of(fds.begin(), fds.end(), [&](const pollfd& f) { return f.fd == p.fd; }))
            fds.push_back(pollfd{p.fd, POLLIN, 0});
      }
      if (kernel_->Poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) return;
      uint64_t count = 0;
      if (fds[0].revents & POLLIN) [[maybe_unused]] auto n = ::read(wake_, &count, sizeof(count));
      std::lock_guard<std::mutex> guard(mutex_);
      for (size_t i = 1; i < fds.size(); ++i) {
        // The node may have been closed (and its number reused) since the poll began.
        const bool ours = std::any_of(pending_.begin(), pending_.end(), [&](const Pending& p) { return p.fd == fds[i].fd; });
        if (ours && (fds[i].revents & (POLLIN | POLLERR | POLLHUP))) Collect(fds[i].fd);
      }
    }
  }

  std::shared_ptr<SgKernel> kernel_;
  std::vector<SgAdapter> adapters_;
  std::mutex mutex_;
  std::vector<Target> targets_;
  std::list<Pending> pending_;
  unsigned sequence_ = 0;
  int wake_ = -1;
  bool stop_ = false;
  std::thread worker_;
};

}  // namespace

std::shared_ptr<AspiLibrary> MakeScsiGenericLibrary(SgOptions options) {
  auto manager = std::make_shared<SgManager>(std::move(options));
  auto library = std::make_shared<AspiLibrary>();
  library->SendASPI32Command = [manager](void* srb) { return manager->Send(srb); };
  library->GetASPI32SupportInfo = [manager] { return manager->SupportInfo(); };
  return library;
}

void InstallScsiGenericAspi() {
  RegisterModule(kLibraryName, [] {
    SgOptions options;
    options.topology = ReadSgTopology();
    return std::static_pointer_cast<Module>(MakeScsiGenericLibrary(std::move(options)));
  });
}

}  // namespace platform::aspi
