#include "scanner/memory_commands.h"

#include <cstring>

#include "scanner/cdb.h"
#include "scanner/command_support.h"

namespace scanner {
using namespace cdb;
using namespace detail;

int ReadFlashBlock(uint8_t ha, uint8_t target, uint32_t offset, uint8_t* data, uint32_t length) {
  SendReady(ha, target);
  return Judge(VendorReadFlash(ha, target, offset, data, length), false);
}

int WriteFlashBlock(uint8_t ha, uint8_t target, uint32_t offset, const uint8_t* data, uint32_t length) {
  SendReady(ha, target);
  return Judge(VendorWriteFlash(ha, target, offset, data, length), false);
}

int ReadSpdBlock(uint8_t ha, uint8_t target, bool back_flag, uint8_t (&block)[kSpdBlockLength]) {
  SendReady(ha, target);
  uint8_t answer[kSpdBlockLength] = {};
  const uint8_t qualifier = back_flag ? 0x00 : 0x80;
  if (!Judge(VendorReadQualified(ha, target, 0xA3, qualifier, answer, sizeof(answer)), false)) return 0;
  std::memcpy(block, answer, sizeof(block));
  return 1;
}

int ReadIdentityText(uint8_t ha, uint8_t target, char (&text)[17], bool quiet) {
  SendReady(ha, target);
  uint8_t answer[16] = {};
  if (!Judge(VendorRead(ha, target, 0x92, answer, sizeof(answer)), quiet)) return 0;
  std::memcpy(text, answer, 16);
  text[16] = '\0';
  return 1;
}

}  // namespace scanner
