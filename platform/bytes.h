// Big- and little-endian fields in byte buffers.
#pragma once
#include <cstddef>
#include <cstdint>

namespace platform::bytes {

inline uint16_t GetBE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
inline uint32_t GetBE24(const uint8_t* p) { return uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2]; }
inline uint32_t GetBE32(const uint8_t* p) { return uint32_t{p[0]} << 24 | GetBE24(p + 1); }
inline uint16_t GetLE16(const uint8_t* p) { return static_cast<uint16_t>(p[1] << 8 | p[0]); }
inline uint32_t GetLE32(const uint8_t* p) { return uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0]; }
inline uint64_t GetLE64(const uint8_t* p) { return uint64_t{GetLE32(p + 4)} << 32 | GetLE32(p); }

inline void PutBE16(uint8_t* p, uint32_t v) { p[0] = uint8_t(v >> 8); p[1] = uint8_t(v); }
inline void PutBE24(uint8_t* p, uint32_t v) { p[0] = uint8_t(v >> 16); p[1] = uint8_t(v >> 8); p[2] = uint8_t(v); }
inline void PutBE32(uint8_t* p, uint32_t v) { p[0] = uint8_t(v >> 24); PutBE24(p + 1, v); }
inline void PutLE16(uint8_t* p, uint32_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
inline void PutLE32(uint8_t* p, uint32_t v) { PutLE16(p, v); PutLE16(p + 2, v >> 16); }
inline void PutLE64(uint8_t* p, uint64_t v) { PutLE32(p, uint32_t(v)); PutLE32(p + 4, uint32_t(v >> 32)); }

}  // namespace platform::bytes
