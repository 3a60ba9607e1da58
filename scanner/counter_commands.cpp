#include "scanner/counter_commands.h"

#include <algorithm>

#include "platform/bytes.h"
#include "scanner/cdb.h"
#include "scanner/command_support.h"

namespace scanner {
using namespace cdb;
namespace {

using namespace detail;
using platform::bytes::GetBE32;
using platform::bytes::PutBE32;

constexpr uint32_t kLongSystemCounters = 20;
constexpr uint32_t kLongRollerCounters = 24;

uint32_t SimCount(const char* key, int def) { return static_cast<uint32_t>(SimValue(key, def)); }

}  // namespace

int ReadSystemCounters(uint8_t ha, uint8_t target, uint32_t length, SystemCounters& counters, bool quiet) {
  SendReady(ha, target);
  uint8_t block[kLongSystemCounters] = {};
  length = std::min(length, kLongSystemCounters);
  if (!Judge(VendorRead(ha, target, 0x86, block, length), quiet)) return 0;
  SystemCounters read;
  read.system = GetBE32(block);
  if (length == kLongSystemCounters) read.flatbed = GetBE32(block + 16);
  if (Simulated()) {
    read.system = SimCount("DummySystemCount", 0);
    if (length == kLongSystemCounters) read.flatbed = SimCount("DummyFlatbedCount", 0);
  }
  counters = read;
  return 1;
}

int ReadRollerCounters(uint8_t ha, uint8_t target, uint32_t length, RollerCounters& counters, bool quiet) {
  SendReady(ha, target);
  uint8_t block[kLongRollerCounters] = {};
  length = std::min(length, kLongRollerCounters);
  if (!Judge(VendorRead(ha, target, 0x9C, block, length), quiet)) return 0;
  RollerCounters read;
  read.after_clean = GetBE32(block);
  read.after_replace = GetBE32(block + 4);
  read.clean_threshold = GetBE32(block + 8);
  read.replace_threshold = GetBE32(block + 12);
  if (length == kLongRollerCounters) {
    read.paper_feed = GetBE32(block + 16);
    read.paper_feed_threshold = GetBE32(block + 20);
  }
  if (Simulated()) {
    read.after_clean = SimCount("DummyCleanCount", 14999999);
    read.clean_threshold = SimCount("DummyCleanNeed", 1000000);
    read.after_replace = SimCount("DummyRep1Count", 14999999);
    read.replace_threshold = SimCount("DummyRep1Need", 1000000);
    if (length == kLongRollerCounters) {
      read.paper_feed = SimCount("DummyRep2Count", 14999999);
      read.paper_feed_threshold = SimCount("DummyRep2Need", 1000000);
    }
  }
  counters = read;
  return 1;
}

int WriteCautionThresholds(uint8_t ha, uint8_t target, uint32_t length, uint32_t clean, uint32_t replace,
                           uint32_t paper_feed) {
  SendReady(ha, target);
  uint8_t block[12] = {};
  PutBE32(block, clean);
  PutBE32(block + 4, replace);
  PutBE32(block + 8, paper_feed);
  return Judge(VendorWrite(ha, target, 0x9D, block, std::min<uint32_t>(length, sizeof(block))), false);
}

int ClearCounter(uint8_t ha, uint8_t target, uint8_t selector) {
  SendReady(ha, target);
  const uint8_t block[4] = {selector, 0, 0, 0};
  return Judge(VendorWrite(ha, target, 0x91, block, sizeof(block)), false);
}

}  // namespace scanner
