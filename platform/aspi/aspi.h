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
constexpr BYTE SC_EXEC_SCSI_CMD = 0x02;
constexpr BYTE SC_ABORT_SRB = 0x03;

// Request status
constexpr BYTE SS_PENDING = 0x00;
constexpr BYTE SS_COMP = 0x01;
constexpr BYTE SS_ABORTED = 0x02;
constexpr BYTE SS_ERR = 0x04;
constexpr BYTE SS_NO_DEVICE = 0x82;
constexpr BYTE SS_DEVICE_BUSY = 0xE5;

// Request flags
constexpr BYTE SRB_DIR_IN = 0x08;
constexpr BYTE SRB_DIR_OUT = 0x10;
constexpr BYTE SRB_EVENT_NOTIFY = 0x40;

constexpr BYTE kCheckCondition = 0x02;

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

struct AspiLibrary : Module {
  // Returns the request status; for command 2 the block completes later (or at once)
  // and signals SRB_PostProc.
  std::function<DWORD(void* srb)> SendASPI32Command;
  // Bits 8-15: status (1 = completed), bits 0-7: number of host adapters.
  std::function<DWORD()> GetASPI32SupportInfo;
};

}  // namespace platform::aspi
