#include "device/aspi_transport.h"

#include <cstring>

#include "device/sti_transport.h"
#include "platform/handles.h"

namespace device {
namespace {

using namespace platform;
namespace aspi = platform::aspi;

constexpr DWORD kEnumerationTimeoutMs = 10000;
constexpr uint8_t kPeripheralScanner = 6;

void FillProbe(ScsiRequestBlock& block, uint8_t ha, uint8_t target, const uint8_t (&cdb)[6], uint8_t flags,
               uint8_t* data, DWORD length) {
  std::memset(&block, 0, sizeof(block));
  block.SRB_Cmd = aspi::SC_EXEC_SCSI_CMD;
  block.SRB_HaId = ha;
  block.SRB_Target = target;
  block.SRB_Flags = flags;
  block.SRB_BufLen = length;
  block.SRB_BufPointer = data;
  block.SRB_SenseLen = kSenseLength;
  block.SRB_CDBLen = 6;
  std::memcpy(block.CDBByte, cdb, 6);
}

}  // namespace

bool AspiTransport::Load() {
  Unload();
  auto library = LoadLibraryAs<aspi::AspiLibrary>(aspi::kLibraryName);
  if (!library || !library->SendASPI32Command || !library->GetASPI32SupportInfo) return false;
  const DWORD info = library->GetASPI32SupportInfo();
  if ((info >> 8 & 0xFF) != aspi::SS_COMP) return false;
  adapter_count_ = static_cast<int>(info & 0xFF);
  library_ = std::move(library);
  return true;
}

void AspiTransport::Unload() {
  library_.reset();
  adapter_count_ = 0;
}

DWORD AspiTransport::Send(ScsiRequestBlock& block) {
  if (!library_) {
    StoreStatus(block, aspi::SS_NO_DEVICE);
    return aspi::SS_NO_DEVICE;
  }
  return library_->SendASPI32Command(&block);
}

uint8_t AspiTransport::RunWithTimeout(ScsiRequestBlock& block, DWORD timeout_ms) {
  HANDLE event = CreateEvent(true, false);
  block.SRB_Flags |= aspi::SRB_EVENT_NOTIFY;
  block.SRB_PostProc = event;
  Send(block);
  if (LoadStatus(block) == aspi::SS_PENDING && WaitForSingleObject(event, timeout_ms) == WAIT_TIMEOUT) {
    aspi::SRB_Abort abort{};
    abort.SRB_Cmd = aspi::SC_ABORT_SRB;
    abort.SRB_HaId = block.SRB_HaId;
    abort.SRB_ToAbort = &block;
    library_->SendASPI32Command(&abort);
  }
  ResetEvent(event);
  CloseHandle(event);
  return LoadStatus(block);
}

std::vector<DeviceRecord> AspiTransport::Enumerate(const std::vector<InquiryFilter>& filters) {
  static constexpr uint8_t kTestUnitReady[6] = {0x00, 0, 0, 0, 0, 0};
  static constexpr uint8_t kInquiry[6] = {0x12, 0, 0, 0, 0x60, 0};
  std::vector<DeviceRecord> records;
  if (!library_) return records;
  for (int ha = 0; ha < adapter_count_; ++ha) {
    for (int target = 0; target < 16; ++target) {
      if (records.size() == 8) return records;
      ScsiRequestBlock block;
      FillProbe(block, ha, target, kTestUnitReady, aspi::SRB_DIR_OUT, nullptr, 0);
      RunWithTimeout(block, kEnumerationTimeoutMs);
      DeviceRecord record{};
      FillProbe(block, ha, target, kInquiry, aspi::SRB_DIR_IN, record.Inquiry, 96);
      if (RunWithTimeout(block, kEnumerationTimeoutMs) != aspi::SS_COMP) continue;
      if ((record.Inquiry[0] & 0x1F) != kPeripheralScanner) continue;
      bool matched = false;
      for (const InquiryFilter& f : filters) matched = matched || MatchesInquiryFilter(record.Inquiry, f);
      if (!matched) continue;
      record.kind = kKindAspi;
      record.hostID = static_cast<uint8_t>(ha);
      record.TargetID = static_cast<uint8_t>(target);
      records.push_back(record);
    }
  }
  return records;
}

}  // namespace device
