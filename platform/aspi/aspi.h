// The ASPI manager library ("wnaspi32.dll"): request blocks and its two entries.
// Blocks keep the original field order; pointers are native.
#pragma once
#include <functional>

#include "platform/module.h"
#include "platform/win_types.h"

namespace platform::aspi {

constexpr const char* kLibraryName = "wnaspi32.dll";

// Command codes
constexpr BYTE SC_HA_INQUIRY = 0x00;
constexpr BYTE SC_GET_DEV_TYPE = 0x01;
constexpr BYTE SC_EXEC_SCSI_CMD = 0x02;
constexpr BYTE SC_ABORT_SRB = 0x03;

// Request status
constexpr BYTE SS_PENDING = 0x00;
constexpr BYTE SS_COMP = 0x01;
constexpr BYTE SS_ABORTED = 0x02;
constexpr BYTE SS_ERR = 0x04;
constexpr BYTE SS_INVALID_CMD = 0x80;
constexpr BYTE SS_INVALID_HA = 0x81;
constexpr BYTE SS_NO_DEVICE = 0x82;
constexpr BYTE SS_INVALID_SRB = 0xE0;
constexpr BYTE SS_ABORT_FAIL = 0xE3;
constexpr BYTE SS_NO_ADAPTERS = 0xE8;
constexpr BYTE SS_DEVICE_BUSY = 0xE5;

// Request flags
constexpr BYTE SRB_DIR_IN = 0x08;
constexpr BYTE SRB_DIR_OUT = 0x10;
constexpr BYTE SRB_EVENT_NOTIFY = 0x40;

// Host adapter status
constexpr BYTE HASTAT_OK = 0x00;
constexpr BYTE HASTAT_TIMEOUT = 0x09;
constexpr BYTE HASTAT_COMMAND_TIMEOUT = 0x0B;
constexpr BYTE HASTAT_BUS_RESET = 0x0E;
constexpr BYTE HASTAT_PARITY_ERROR = 0x0F;
constexpr BYTE HASTAT_SEL_TO = 0x11;
constexpr BYTE HASTAT_DO_DU = 0x12;
constexpr BYTE HASTAT_BUS_FREE = 0x13;
constexpr BYTE HASTAT_PHASE_ERR = 0x14;

constexpr BYTE kCheckCondition = 0x02;
constexpr BYTE kTargetBusy = 0x08;

// Execute-SCSI-command request block (command 2).
struct SRB_ExecSCSICmd {
  BYTE SRB_Cmd;
  BYTE SRB_Status;
  BYTE SRB_HaId;
  BYTE SRB_Flags;
  DWORD SRB_Hdr_Rsvd;
  BYTE SRB_Target;
  BYTE SRB_Lun;
  WORD SRB_Rsvd1;
  DWORD SRB_BufLen;
  BYTE* SRB_BufPointer;
  BYTE SRB_SenseLen;
  BYTE SRB_CDBLen;
  BYTE SRB_HaStat;
  BYTE SRB_TargStat;
  HANDLE SRB_PostProc;  // completion event when SRB_EVENT_NOTIFY is set
  BYTE SRB_Rsvd2[20];
  BYTE CDBByte[16];
  BYTE SenseArea[16];
};

// Host adapter inquiry (command 0).
struct SRB_HAInquiry {
  BYTE SRB_Cmd;
  BYTE SRB_Status;
  BYTE SRB_HaId;
  BYTE SRB_Flags;
  DWORD SRB_Hdr_Rsvd;
  BYTE HA_Count;
  BYTE HA_SCSI_ID;
  BYTE HA_ManagerId[16];
  BYTE HA_Identifier[16];
  BYTE HA_Unique[16];
  WORD HA_Rsvd1;
};

// Device type query (command 1).
struct SRB_GDEVBlock {
  BYTE SRB_Cmd;
  BYTE SRB_Status;
  BYTE SRB_HaId;
  BYTE SRB_Flags;
  DWORD SRB_Hdr_Rsvd;
  BYTE SRB_Target;
  BYTE SRB_Lun;
  BYTE SRB_DeviceType;
  BYTE SRB_Rsvd1;
};

// Abort request (command 3).
struct SRB_Abort {
  BYTE SRB_Cmd;
  BYTE SRB_Status;
  BYTE SRB_HaId;
  BYTE SRB_Flags;
  DWORD SRB_Hdr_Rsvd;
  SRB_ExecSCSICmd* SRB_ToAbort;
};

// Both blocks begin with the same header; SendASPI32Command reads the command byte
// first to tell them apart.
struct SRB_Header {
  BYTE SRB_Cmd;
  BYTE SRB_Status;
  BYTE SRB_HaId;
  BYTE SRB_Flags;
  DWORD SRB_Hdr_Rsvd;
};

// Ends a request: every other field is written before the status, which is the
// hand-over point; then the completion event is signalled when the block asks for it.
void CompleteRequest(SRB_ExecSCSICmd& block, BYTE status);
// The status as the requester reads it, while the manager may still be writing.
BYTE LoadRequestStatus(const SRB_ExecSCSICmd& block);

struct AspiLibrary : Module {
  // Returns the request status; for command 2 the block completes later (or at once)
  // and signals SRB_PostProc.
  std::function<DWORD(void* srb)> SendASPI32Command;
  // Bits 8-15: status (1 = completed), bits 0-7: number of host adapters.
  std::function<DWORD()> GetASPI32SupportInfo;
};

}  // namespace platform::aspi
