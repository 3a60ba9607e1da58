// The still-image transport: every call into the still-image object runs on its
// worker thread, one posted command at a time.
#pragma once
#include <memory>
#include <vector>

#include "device/device_record.h"
#include "device/event_forwarding.h"
#include "device/request_block.h"
#include "device/sti_exchange.h"
#include "device/sti_worker.h"
#include "platform/sti/sti.h"

namespace device {

class StiTransport {
 public:
  ~StiTransport();

  bool Start();  // command 0
  void Stop();   // command 1; the worker thread ends
  // Command 2: up to 8 records of devices passing both filter lists.
  std::vector<DeviceRecord> Enumerate(const std::vector<StiFilter>& sti_filters,
                                      const std::vector<InquiryFilter>& inquiry_filters);
  // Command 3: 0, 2 creation failed, 3 busy, 4 offline.
  int Open(const DeviceRecord& record);
  // Command 4: returns once the worker has the block; the block completes later.
  void Execute(ScsiRequestBlock* block);
  void SetLockTimeout(platform::DWORD ms);  // command 5
  int Lock();                               // command 6: 0, 3 busy, 4 error
  void Unlock();                            // command 7
  // Command 14: 0 or 4; error is the system's error code when the event or the
  // thread could not be created, else 0.
  int StartEventForwarding(platform::DWORD& error);

  platform::DWORD LockTimeout() const { return lock_timeout_; }

 private:
  struct OpenDevice {
    std::shared_ptr<platform::sti::StiDevice> device;
    uint8_t escape_form = 2;
    uint8_t lock_mode = 1;
    bool lock_held = false;
  };

  // On the worker thread.
  bool DoStart();
  void DoStop();
  void CloseDevice();
  // One request on a device, locking around it unless its lock is held; returns the status.
  uint8_t RunRequest(OpenDevice& device, ScsiRequestBlock& block);
  void DoExecute(ScsiRequestBlock* block);
  std::vector<DeviceRecord> DoEnumerate(const std::vector<StiFilter>& sti_filters,
                                        const std::vector<InquiryFilter>& inquiry_filters);
  bool Probe(OpenDevice& device, uint8_t* inquiry);

  StiWorker worker_;
  std::shared_ptr<platform::sti::StiLibrary> library_;
  std::shared_ptr<platform::sti::StillImage> sti_;
  bool wow64_ = false;
  OpenDevice open_;
  std::u16string open_name_;
  platform::DWORD lock_timeout_ = 30000;
  EventForwarding forwarding_;
};

// Writes the request status last, so a thread reading it sees the finished block.
void StoreStatus(ScsiRequestBlock& block, uint8_t status);
uint8_t LoadStatus(ScsiRequestBlock& block);

}  // namespace device
