// The rendering library's base trapezoid routine, reached through each
// family's trapezoid forwarder as the driver hands a state it has no
// routine for to the library, against the reference: every state of every
// family's table, on the whole case table, top-down and bottom-up.
#include "canvas.h"
#include "formats.h"
#include "library.h"
#include "reference.h"
#include "frame/select.h"
#include "textures.h"
#include "trap_cases.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

const vxnlib::PixelFormat* g_format;

uint32_t DEVPROC BaseSlot16(DevContext* ctx, DevTrapEdge* l, DevTrapEdge* r, DevTrapGradients* g) {
    return vxnlib::BaseTrapezoidsWith(*g_format, ctx, l, r, g);
}

// A fill pattern in the family's own form (what set colour writes), of
// noise: 8 bits two rows of four bytes, 16 bits the pixel twice, 24 bits
// four pixels, 32 bits one.
void MakePattern(uint8_t pattern[32], uint32_t bytesPerPixel, uint32_t seed) {
    Noise noise{seed};
    for (int i = 0; i < 32; ++i) pattern[i] = static_cast<uint8_t>(noise.Next());
    for (int i = 0; bytesPerPixel > 1 && i < 12; ++i) pattern[i] = pattern[i % bytesPerPixel];
}

// The undithered 8-bit pattern holds its one pixel in all four bytes.
void MakeUndithered8(uint8_t pattern[32]) {
    for (int i = 1; i < 4; ++i) pattern[i] = pattern[0];
}

void CompareBase(const DevFamily& family, const RefFormat& fmt) {
    RefApplyFormat(fmt);
    vxnlib::PixelFormat format;
    format.Init(fmt.bytesPerPixel, fmt.redMask, fmt.greenMask, fmt.blueMask, 0);
    g_format = &format;
    DevProcTable base = {};
    base.trapezoids = BaseSlot16;
    uint8_t pattern[32];
    MakePattern(pattern, fmt.bytesPerPixel, 0xba5e + fmt.bytesPerPixel);
    std::vector<bool> failed(family.variantCount, false);
    uint32_t seed = 77;
    for (const TrapCase& c : TrapCases()) {
        Chains chains(c);
        for (bool bottomUp : {false, true}) {
            CanvasShape shape = ShapeFor(c, fmt.bytesPerPixel);
            shape.bottomUp = bottomUp;
            Canvas proto(shape, ++seed), lib(shape, 0), ref(shape, 0);
            for (uint32_t vi = 0; vi < family.variantCount; ++vi) {
                if (failed[vi]) continue;
                const DevTrapVariant& v = family.variants[vi];
                RefFeatures features;
                ASSERT_TRUE(RefDecode(v.key, v.lightMode, &features)) << v.name;
                uint8_t own[32];
                memcpy(own, pattern, sizeof own);
                if (fmt.bytesPerPixel == 1 && !features.dither) MakeUndithered8(own);
                for (Canvas* k : {&lib, &ref}) {
                    k->CopyFrom(proto);
                    PrepareContext(c, k->ctx(), features.index ? 1 : 2, own);
                }
                DevContext* ctx = lib.ctx();
                ctx->state = v.key;
                ctx->lightMode = v.lightMode;
                ctx->baseProcs = &base;
                format.paletteBase = c.paletteBase;
                g_dirtyShift = c.dirtyShift;
                g_paletteBase = c.paletteBase;
                DevTrapGradients g = chains.grad;
                family.trapezoidsGeneric(ctx, chains.left.data(), chains.right.data(), &g);
                RefTrapezoids(features, fmt, ref.ctx(), chains.left.data(), chains.right.data(), &g);
                // The marks are the forwarder's (its rule for reversed rows
                // is its own); the library draws.
                for (int y = 0; y < shape.height; ++y) lib.Dirty(y) = ref.Dirty(y);
                const std::string diff = lib.Diff(ref);
                if (!diff.empty()) {
                    failed[vi] = true;
                    ADD_FAILURE() << "the library for " << v.name << " on " << fmt.name << ", case \"" << c.name
                                  << "\"" << (bottomUp ? ", bottom-up" : "") << ": " << diff << " (library vs reference)";
                }
            }
        }
    }
}

TEST(BaseTrapezoids, EveryStateOf8BitsMatchesTheReference) { CompareBase(g_bpp08Family, kFormat8); }

TEST(BaseTrapezoids, EveryStateOf16BitsMatchesTheReference) {
    CompareBase(g_bpp16Family, kFormat565);
    CompareBase(g_bpp16Family, kFormat555);
}

TEST(BaseTrapezoids, EveryStateOf24BitsMatchesTheReference) {
    CompareBase(g_bpp24Family, kFormat24Bgr);
    CompareBase(g_bpp24Family, kFormat24Rgb);
}

TEST(BaseTrapezoids, EveryStateOf32BitsMatchesTheReference) {
    CompareBase(g_bpp32Family, kFormat32Shift16);
    CompareBase(g_bpp32Family, kFormat32Shift0);
}

}  // namespace
