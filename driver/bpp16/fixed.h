// 32-bit wrap-around fixed point. Everything is kept in uint32_t so that
// overflow is defined; signedness appears only where a step says so.
#pragma once

#include <stdint.h>

namespace raster {

// Arithmetic (sign-filling) right shift, n in 0..31.
inline uint32_t Sar(uint32_t v, unsigned n) {
    const uint32_t sign = 0u - (v >> 31);
    return ((v ^ sign) >> n) ^ sign;
}

// Bits 16..47 of the signed 64-bit product a * b.
inline uint32_t MulHi16(uint32_t a, uint32_t b) {
    const int64_t p = static_cast<int64_t>(static_cast<int32_t>(a)) * static_cast<int32_t>(b);
    return static_cast<uint32_t>(static_cast<uint64_t>(p) >> 16);
}

// DirtyMask bits of blocks xl >> s .. xr >> s, both ends limited to block
// 31, which stands for everything to its right.
inline uint32_t DirtySpanBits(uint32_t xl, uint32_t xr, unsigned s) {
    s &= 31;
    uint32_t kl = xl >> s;
    uint32_t kr = xr >> s;
    if (kl > 31) kl = 31;
    if (kr > 31) kr = 31;
    return (0xffffffffu << kl) & (0xffffffffu >> (31 - kr));
}

}  // namespace raster
