#include "platform/aspi/aspi.h"

#include <atomic>

#include "platform/handles.h"

namespace platform::aspi {

void CompleteRequest(SRB_ExecSCSICmd& block, BYTE status) {
  std::atomic_ref<BYTE>(block.SRB_Status).store(status, std::memory_order_release);
  if (block.SRB_Flags & SRB_EVENT_NOTIFY) SetEvent(block.SRB_PostProc);
}

BYTE LoadRequestStatus(const SRB_ExecSCSICmd& block) {
  return std::atomic_ref<BYTE>(const_cast<BYTE&>(block.SRB_Status)).load(std::memory_order_acquire);
}

}  // namespace platform::aspi
