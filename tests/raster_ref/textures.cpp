#include "textures.h"

#include "canvas.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include <memory>

namespace {

const uint32_t kPage = 4096;

// Column or row mask with n integer bits (and every fraction bit).
constexpr uint32_t Mask(uint32_t n) { return ((n - 1) << 21) | 0x1fffff; }

const TextureSpec kSpecs[] = {
    {"16 x 16 power of two", TEXADDR_POW2, 4, 0, 0, 0, Mask(16), Mask(16)},
    {"32 x 16 repeating 8 x 4", TEXADDR_POW2, 5, 0, 0, 0, Mask(8), Mask(4)},
    {"rows of 2^3 + 2^1", TEXADDR_POW2_SUM, 3, 1, 0, 0, Mask(8), Mask(16)},
    {"scaled 7 x 5", TEXADDR_SCALED, 0, 0, 7, 5, 0, 0},
    {"row shift 35 (3)", TEXADDR_POW2, 35, 9, 0, 0, Mask(8), Mask(8)},
    {"rows of 2^33 + 2^36 (2 + 16)", TEXADDR_POW2_SUM, 33, 36, 0, 0, Mask(16), Mask(4)},
    {"scaled 100 x 50, mode 7", 7, 0, 0, 100, 50, 0, 0},
    {"masks with a gap", TEXADDR_POW2, 3, 0, 0, 0, 0x00a00000 | 0xfffff, Mask(8)},
    {"scaled 3000 x 2, the column product wrapping", TEXADDR_SCALED, 0, 0, 3000, 2, 0, 0},
};

}  // namespace

uint32_t TextureTexelCount(const TextureSpec& s) {
    const uint32_t a = s.rowShift % 32, b = s.rowShift2 % 32;
    const uint32_t maxCol = s.uMask >> 21, maxRow = s.vMask >> 21;
    switch (s.addressMode) {
    case TEXADDR_POW2: return (maxRow << a) + maxCol + 1;
    case TEXADDR_POW2_SUM: return maxRow * ((1u << a) + (1u << b)) + maxCol + 1;
    default: return s.width * s.height;
    }
}

TextureFixture::TextureFixture(const TextureSpec& shape, uint32_t texelBytes, uint32_t seed)
    : count_(TextureTexelCount(shape)), texelBytes_(texelBytes) {
    memset(&texture_, 0xcd, sizeof texture_);  // fields no routine reads hold noise
    const uint32_t bytes = count_ * texelBytes;
    const uint32_t pages = (bytes + kPage - 1) / kPage;
    base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, (pages + 1) * kPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!base_) abort();
    DWORD old;
    if (!VirtualProtect(base_ + pages * kPage, kPage, PAGE_NOACCESS, &old)) abort();
    texels_ = base_ + pages * kPage - bytes;

    Noise noise{seed};
    for (uint32_t i = 0; i < count_; ++i) {
        const uint32_t r = noise.Next();
        uint32_t t = r & 0xffff;
        switch ((r >> 16) % 16) {
        case 0: case 1: t = kKeyTexel; break;
        case 2: t = kKeyTexelBit15; break;
        case 3: t = kKeyTexel9Bits; break;
        case 4: t = 0; break;
        default: break;
        }
        SetTexel(i, texelBytes == 1 ? t & 0xff : t);
    }

    texture_.texels = texels_;
    texture_.rowShift = shape.rowShift;
    texture_.rowShift2 = shape.rowShift2;
    texture_.addressMode = shape.addressMode;
    texture_.width = shape.width;
    texture_.height = shape.height;
    texture_.uMask = shape.uMask;
    texture_.vMask = shape.vMask;
}

TextureFixture::~TextureFixture() { VirtualFree(base_, 0, MEM_RELEASE); }

uint32_t TextureFixture::Texel(uint32_t index) const {
    const uint8_t* p = texels_ + index * texelBytes_;
    return texelBytes_ == 1 ? p[0] : p[0] | p[1] << 8;
}

void TextureFixture::SetTexel(uint32_t index, uint32_t value) {
    uint8_t* p = texels_ + index * texelBytes_;
    p[0] = static_cast<uint8_t>(value);
    if (texelBytes_ == 2) p[1] = static_cast<uint8_t>(value >> 8);
}

const TextureSpec& TextureSpecAt(int index) { return kSpecs[index]; }
int TextureSpecCount() { return static_cast<int>(sizeof kSpecs / sizeof kSpecs[0]); }

TextureFixture& SharedTexture(int index, uint32_t texelBytes) {
    static std::unique_ptr<TextureFixture> made[2][sizeof kSpecs / sizeof kSpecs[0]];
    auto& slot = made[texelBytes == 1 ? 0 : 1][index];
    if (!slot) slot.reset(new TextureFixture(kSpecs[index], texelBytes, 0x7e57u + 97u * index + texelBytes));
    return *slot;
}
