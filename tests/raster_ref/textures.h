// Texture fixtures: a DevTexture whose texels end exactly where an
// inaccessible page begins, so that a texel read past the texture crashes
// instead of reading whatever lies there.
#pragma once

#include "bpp16/trapezoid.h"

#include <stdint.h>

struct TextureSpec {
    const char* name;
    uint32_t addressMode;
    uint8_t rowShift, rowShift2;  // as stored: the routines take them modulo 32
    uint32_t width, height;       // scaled mode
    uint32_t uMask, vMask;        // power-of-two modes
};

// Texel values planted among the noise so that colour keys find matches.
enum : uint32_t {
    kKeyTexel = 0x0034,         // also an index texel
    kKeyTexelBit15 = 0x8034,    // same colour, only the key tells them apart
    kKeyTexel9Bits = 0x0134,    // a 16-bit texel above 255
};

class TextureFixture {
public:
    // texelBytes 2 (colour texels) or 1 (colour-index texels).
    TextureFixture(const TextureSpec& shape, uint32_t texelBytes, uint32_t seed);
    ~TextureFixture();
    TextureFixture(const TextureFixture&) = delete;
    TextureFixture& operator=(const TextureFixture&) = delete;

    DevTexture* texture() { return &texture_; }
    uint32_t texelCount() const { return count_; }
    uint32_t texelBytes() const { return texelBytes_; }
    uint32_t Texel(uint32_t index) const;
    void SetTexel(uint32_t index, uint32_t value);

private:
    DevTexture texture_;
    uint8_t* base_ = nullptr;  // the allocation
    uint8_t* texels_ = nullptr;
    uint32_t count_ = 0;
    uint32_t texelBytes_ = 0;
};

// One texel past the largest index the masks or sizes can address.
uint32_t TextureTexelCount(const TextureSpec& shape);

// The fixtures every case table entry picks from, made once.
const TextureSpec& TextureSpecAt(int index);
int TextureSpecCount();
TextureFixture& SharedTexture(int index, uint32_t texelBytes);
