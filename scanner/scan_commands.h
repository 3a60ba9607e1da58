// The scan: window, start and wait, image geometry and data, mode bits.
#pragma once
#include <cstdint>

#include "scanner/window_record.h"

namespace scanner {

// Without a window record the command is sent with length 0.
int SetWindow(uint8_t ha, uint8_t target, const WindowRecord* window);
// SCAN, then GET DATA BUFFER STATUS until data is there, pumping the thread's
// messages meanwhile. retry is 1 when the user asked to repeat after "no paper".
int ScanAndWaitPumping(uint8_t ha, uint8_t target, int& retry);
int ReadImageInfo(uint8_t ha, uint8_t target, uint8_t qualifier, uint32_t& pixels_per_line, uint32_t& lines);
// The sense of the last read (end of medium, incorrect length, residue) stays in
// device::GetLastSense().
int ReadImageData(uint8_t ha, uint8_t target, uint16_t qualifier, uint8_t* data, uint32_t length);
int SetModeBits(uint8_t ha, uint8_t target, bool flag);

}  // namespace scanner
