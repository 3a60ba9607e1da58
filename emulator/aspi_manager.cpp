#include "emulator/aspi_manager.h"

#include <algorithm>
#include <cstring>

#include "platform/handles.h"

namespace emulator {
namespace {

namespace aspi = platform::aspi;
using platform::DWORD;

using aspi::SS_ABORT_FAIL;
using aspi::SS_INVALID_CMD;
using aspi::SS_INVALID_SRB;

void Complete(aspi::SRB_ExecSCSICmd& block, uint8_t status) { aspi::CompleteRequest(block, status); }

Direction DirectionOf(const aspi::SRB_ExecSCSICmd& block) {
  const uint8_t dir = block.SRB_Flags & (aspi::SRB_DIR_IN | aspi::SRB_DIR_OUT);
  if (dir == aspi::SRB_DIR_IN) return Direction::kIn;
  if (dir == aspi::SRB_DIR_OUT) return Direction::kOut;
  return Direction::kNone;
}

WireRequest RequestOf(const aspi::SRB_ExecSCSICmd& block) {
  WireRequest request;
  Exchange& record = request.record;
  record.transport = Transport::kAspi;
  record.cdb_area.assign(block.CDBByte, block.CDBByte + sizeof(block.CDBByte));
  record.cdb_length = block.SRB_CDBLen;
  record.direction = DirectionOf(block);
  record.data_length = block.SRB_BufLen;
  record.aspi_flags = block.SRB_Flags;
  record.sense_length = block.SRB_SenseLen;
  const DWORD length = block.SRB_BufPointer ? block.SRB_BufLen : 0;
  if (record.direction == Direction::kOut) record.data_out.assign(block.SRB_BufPointer, block.SRB_BufPointer + length);
  if (record.direction == Direction::kIn) request.data_in = {block.SRB_BufPointer, length};
  request.auto_sense = true;
  return request;
}

DWORD Execute(Bus& bus, aspi::SRB_ExecSCSICmd& block) {
  block.SRB_HaStat = 0;
  block.SRB_TargStat = 0;
  auto device = block.SRB_Lun == 0 ? bus.FindAspi(block.SRB_HaId, block.SRB_Target) : nullptr;
  if (!device) {
    Complete(block, aspi::SS_NO_DEVICE);
    return aspi::SS_NO_DEVICE;
  }
  const WireResult result = device->Execute(RequestOf(block));
  if (result.outcome == Outcome::kNoAnswer) {
    bus.AddPending(&block);
    return aspi::SS_PENDING;
  }
  block.SRB_TargStat = TargetStatusFor(result.outcome);
  if (result.outcome == Outcome::kCheckCondition) {
    const size_t n = std::min<size_t>({block.SRB_SenseLen, sizeof(block.SenseArea), result.sense.size()});
    std::memcpy(block.SenseArea, result.sense.data(), n);
  }
  const uint8_t status = AspiStatusFor(result.outcome);
  Complete(block, status);
  return status;
}

DWORD Abort(Bus& bus, aspi::SRB_Abort& abort) {
  if (!abort.SRB_ToAbort || !bus.TakePending(abort.SRB_ToAbort)) {
    abort.SRB_Status = SS_ABORT_FAIL;
    return SS_ABORT_FAIL;
  }
  Complete(*abort.SRB_ToAbort, aspi::SS_ABORTED);
  abort.SRB_Status = aspi::SS_COMP;
  return aspi::SS_COMP;
}

}  // namespace

DWORD SendAspiCommand(Bus& bus, void* srb) {
  if (!srb) return SS_INVALID_SRB;
  auto* header = static_cast<aspi::SRB_Header*>(srb);
  switch (header->SRB_Cmd) {
    case aspi::SC_EXEC_SCSI_CMD: return Execute(bus, *static_cast<aspi::SRB_ExecSCSICmd*>(srb));
    case aspi::SC_ABORT_SRB: return Abort(bus, *static_cast<aspi::SRB_Abort*>(srb));
    default: header->SRB_Status = SS_INVALID_CMD; return SS_INVALID_CMD;
  }
}

std::shared_ptr<aspi::AspiLibrary> MakeAspiLibrary(std::shared_ptr<Bus> bus) {
  auto library = std::make_shared<aspi::AspiLibrary>();
  library->SendASPI32Command = [bus](void* srb) { return SendAspiCommand(*bus, srb); };
  library->GetASPI32SupportInfo = [bus] { return bus->AspiSupportInfo(); };
  return library;
}

}  // namespace emulator
