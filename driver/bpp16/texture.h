// Texel samplers, one per addressing mode, and the texture lights, shared
// by every pixel family.
//
// A sampler is made once per call from the DevTexture and fetches the
// texel at (u, v) for every pixel: Fetch(u, v) gives the 16-bit texel, or
// the 8-bit index of a colour-index texture (TexelBytes 1), zero-extended.
// The masks are the only bound on u and v in the power-of-two modes; the
// scaled mode takes the fractions alone. Row shifts count modulo 32.
//
// A light is a lane (lanes.h) with one more member,
//   uint32_t Apply(uint32_t texel, const Cursor&) const;
// which turns the texel's three 5-bit channels into the lit 16-bit word
// (red bits 0-4, green 5-9, blue 10-14) that the pixel policy converts.
#pragma once

#include "bpp16/lanes.h"

namespace raster {

template <unsigned TexelBytes>
inline uint32_t FetchTexel(uintptr_t texels, uint32_t offset) {
    const void* p = reinterpret_cast<const void*>(texels + offset);
    if constexpr (TexelBytes == 1) {
        return *static_cast<const uint8_t*>(p);
    } else {
        // Held as a full word: GCC, knowing the upper half is zero, would
        // otherwise spill the texel as 16 bits and reload it as 32, a failed
        // store forward on every pixel. The empty asm hides that knowledge.
        uint32_t t = *static_cast<const uint16_t*>(p);
        __asm__("" : "+r"(t));
        return t;
    }
}

// Clearing bit 20 before a shift by 20 gives twice the index: the byte
// offset of a 2-byte texel.
constexpr uint32_t kTwiceIndex = 0xffefffffu;

// TEXADDR_POW2: rows of 2^a texels. For 2-byte texels bit 20 is cleared
// in the column mask once, and the row is multiplied by its bytes,
// 2^(a + 1) modulo 2^32, which equals the two shifts.
template <unsigned TexelBytes>
struct SamplerPow2 {
    uintptr_t texels;
    uint32_t uMask, vMask;
    unsigned a;
    uint32_t rowBytes;
    explicit SamplerPow2(const DevTexture* t)
        : texels(reinterpret_cast<uintptr_t>(t->texels)),
          uMask(TexelBytes == 1 ? t->uMask : t->uMask & kTwiceIndex),
          vMask(t->vMask),
          a(t->rowShift & 31u),
          rowBytes(2u << (t->rowShift & 31u)) {}
    uint32_t Fetch(uint32_t u, uint32_t v) const {
        if constexpr (TexelBytes == 1)
            return FetchTexel<1>(texels, (((v & vMask) >> 21) << a) + ((u & uMask) >> 21));
        else
            return FetchTexel<2>(texels, ((u & uMask) >> 20) + ((v & vMask) >> 21) * rowBytes);
    }
};

// TEXADDR_POW2_SUM: rows of 2^a + 2^b texels.
template <unsigned TexelBytes>
struct SamplerPow2Sum {
    uintptr_t texels;
    uint32_t uMask, vMask, rowLength;
    explicit SamplerPow2Sum(const DevTexture* t)
        : texels(reinterpret_cast<uintptr_t>(t->texels)),
          uMask(t->uMask),
          vMask(t->vMask),
          rowLength((1u << (t->rowShift & 31u)) + (1u << (t->rowShift2 & 31u))) {}
    uint32_t Fetch(uint32_t u, uint32_t v) const {
        if constexpr (TexelBytes == 1)
            return FetchTexel<1>(texels, rowLength * ((v & vMask) >> 21) + ((u & uMask) >> 21));
        else
            return FetchTexel<2>(texels,
                                 rowLength * ((v & vMask & kTwiceIndex) >> 20) + ((u & uMask & kTwiceIndex) >> 20));
    }
};

// TEXADDR_SCALED (every other mode value): the fractions of u and v scaled
// to width and height, so the texture repeats at every whole unit.
template <unsigned TexelBytes>
struct SamplerScaled {
    uintptr_t texels;
    uint32_t width, height;
    explicit SamplerScaled(const DevTexture* t)
        : texels(reinterpret_cast<uintptr_t>(t->texels)), width(t->width), height(t->height) {}
    uint32_t Fetch(uint32_t u, uint32_t v) const {
        if constexpr (TexelBytes == 1)
            return FetchTexel<1>(texels, (((v & 0x1fffff) * height) >> 21) * width + (((u & 0x1fffff) * width) >> 21));
        else
            return FetchTexel<2>(texels, ((((v & 0x1fffff) * height) & kTwiceIndex) >> 20) * width +
                                             ((((u & 0x1fffff) * width) & kTwiceIndex) >> 20));
    }
};

// Untextured routines.
struct NoSampler {
    uint32_t Fetch(uint32_t, uint32_t) const { return 0; }
};

// ------------------------------------------------------------------ lights

// Unlit: the texel as fetched.
struct NoLight : NoLane {
    uint32_t Apply(uint32_t t, const Cursor&) const { return t; }
};

// MR: each channel less 31 - l, floored at 0, l the light's top 5 bits.
// The floor is a mask from the difference's sign, not a branch: texel
// channels are noise to a branch predictor.
inline uint32_t FloorSub(uint32_t c, uint32_t s) {
    const uint32_t d = c - s;
    return d & ((d >> 31) - 1);
}
inline uint32_t LightSubtract(uint32_t t, uint32_t s0, uint32_t s1, uint32_t s2) {
    return FloorSub(t & 31, s0) | FloorSub((t >> 5) & 31, s1) << 5 | FloorSub((t >> 10) & 31, s2) << 10;
}

// MR with a flat light: packedColor read once per call, its amounts fixed.
struct LightMRFlat : NoLane {
    uint32_t s0, s1, s2;
    void Init(const DevContext* ctx, const DevTrapGradients*) {
        const uint32_t c = ctx->color;
        s0 = 31 - ((c >> 3) & 31);
        s1 = 31 - ((c >> 11) & 31);
        s2 = 31 - ((c >> 19) & 31);
    }
    uint32_t Apply(uint32_t t, const Cursor&) const { return LightSubtract(t, s0, s1, s2); }
};

// MR with a smooth light: red, green, blue light in ch0 .. ch2, bits 19-23.
struct LightMRSmooth : ChannelLane<3> {
    uint32_t Apply(uint32_t t, const Cursor& l) const {
        return LightSubtract(t, 31 - ((l.c[0] >> 19) & 31), 31 - ((l.c[1] >> 19) & 31), 31 - ((l.c[2] >> 19) & 31));
    }
};

// MM: each channel times the intensity ch0 (0x1000000 full), signed, no
// clamp; results are ORed unmasked, so above full strength a channel runs
// into its neighbour, and the word is cut to 16 bits.
struct LightMM : ChannelLane<1> {
    uint32_t Apply(uint32_t t, const Cursor& l) const {
        const uint32_t i = l.c[0];
        const uint32_t r = Sar((t & 31) * i, 24), g = Sar(((t >> 5) & 31) * i, 24), b = Sar(((t >> 10) & 31) * i, 24);
        return (r | g << 5 | b << 10) & 0xffff;
    }
};

// MS: each channel times the intensity ch0, plus the additive term ch1,
// saturated at 0xffffff before its top 5 bits are taken.
struct LightMS : ChannelLane<2> {
    static uint32_t Channel(uint32_t tc, uint32_t i, uint32_t s) {
        uint32_t x = ((tc * i) >> 5) + s;
        if (x >= 0x1000000) x = 0xffffff;
        return x >> 19;
    }
    uint32_t Apply(uint32_t t, const Cursor& l) const {
        const uint32_t i = l.c[0], s = l.c[1];
        return Channel(t & 31, i, s) | Channel((t >> 5) & 31, i, s) << 5 | Channel((t >> 10) & 31, i, s) << 10;
    }
};

}  // namespace raster
