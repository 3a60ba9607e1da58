// Flash contents, memory module data and the identity text.
#pragma once
#include <cstdint>

namespace scanner {

constexpr uint32_t kSpdBlockLength = 130;

int ReadFlashBlock(uint8_t ha, uint8_t target, uint32_t offset, uint8_t* data, uint32_t length);
int WriteFlashBlock(uint8_t ha, uint8_t target, uint32_t offset, const uint8_t* data, uint32_t length);
// Qualifier 0x80 with back_flag clear, 0 with it set.
int ReadSpdBlock(uint8_t ha, uint8_t target, bool back_flag, uint8_t (&block)[kSpdBlockLength]);
// 16 characters and a terminator.
int ReadIdentityText(uint8_t ha, uint8_t target, char (&text)[17], bool quiet);

}  // namespace scanner
