// Every trapezoid routine of every family against the reference, over the
// whole case table, every start alignment and both row orders; the
// families' variant tables against the routine names they must hold; the
// dirty blocks of a span; and each 24- and 32-bit routine against its
// 16-bit twin.
#include "canvas.h"
#include "family_names.h"
#include "formats.h"
#include "reference.h"
#include "frame/select.h"
#include "textures.h"
#include "trap_cases.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

// ------------------------------------------------------------ expected names

struct FamilyCase {
    const char* prefix;
    const DevFamily* family;
    const RefFormat* format;  // a display format of the family
    uint32_t texturedKeyMask, untexturedKeyMask;
    std::vector<RoutineName> all;  // every routine the family has
};

const std::vector<FamilyCase>& Families() {
    static const std::vector<FamilyCase> families = {
        {"BPP08", &g_bpp08Family, &kFormat8, 0x30500f, 0x10100b, FamilyRoutines("BPP08")},
        {"BPP16", &g_bpp16Family, &kFormat565, 0x20400f, 0xb, FamilyRoutines("BPP16")},
        {"BPP24", &g_bpp24Family, &kFormat24Rgb, 0x20400f, 0xb, FamilyRoutines("BPP24")},
        {"BPP32", &g_bpp32Family, &kFormat32Shift16, 0x20400f, 0xb, FamilyRoutines("BPP32")},
    };
    return families;
}

std::string Describe(const RoutineName& e) {
    char text[160];
    snprintf(text, sizeof text, "%s (key %#x, mode %u)", e.name.c_str(), e.key, e.lightMode);
    return text;
}

TEST(FamilyTables, ExpectedListsHaveTheirSizes) {
    // 112 names in the 8-bit family, 44 in each other; second keys extra.
    auto names = [](const std::vector<RoutineName>& v) {
        std::vector<std::string> n;
        for (const auto& e : v)
            if (n.empty() || n.back() != e.name) n.push_back(e.name);
        return n.size();
    };
    const std::vector<RoutineName> all08 = FamilyRoutines("BPP08");
    EXPECT_EQ(names(all08), 112u);
    EXPECT_EQ(all08.size(), 120u);
    EXPECT_EQ(names(FamilyRoutines("BPP24")), 44u);
    EXPECT_EQ(FamilyRoutines("BPP24").size(), 48u);
    size_t untextured = 0;
    for (const RoutineName& e : all08) untextured += (e.key & DEV_TEXTURE) ? 0 : 1;
    EXPECT_EQ(untextured, 16u);
}

// Every row a family's table holds sits at the key and mode of its name,
// decodes to the features its name spells, and is there once.
TEST(FamilyTables, EveryRowIsItsNamedRoutine) {
    for (const FamilyCase& fc : Families()) {
        const DevFamily* f = fc.family;
        for (uint32_t i = 0; i < f->variantCount; ++i) {
            const DevTrapVariant& v = f->variants[i];
            ASSERT_NE(v.name, nullptr) << fc.prefix << " row " << i;
            const RoutineName* found = nullptr;
            for (const RoutineName& e : fc.all)
                if (e.key == v.key && e.lightMode == v.lightMode) found = &e;
            ASSERT_NE(found, nullptr) << fc.prefix << " row " << i << " " << v.name << " key " << std::hex << v.key
                                      << " mode " << unsigned(v.lightMode) << " is no routine of the family";
            EXPECT_EQ(found->name, v.name) << "key " << std::hex << v.key << " mode " << unsigned(v.lightMode);
            EXPECT_NE(v.proc, nullptr) << v.name;
            RefFeatures features;
            ASSERT_TRUE(RefDecode(v.key, v.lightMode, &features)) << v.name;
            EXPECT_EQ(std::string(fc.prefix) + "_DevTrapezoids" + RefSuffix(features), v.name);
            for (uint32_t j = 0; j < i; ++j)
                EXPECT_FALSE(f->variants[j].key == v.key && f->variants[j].lightMode == v.lightMode)
                    << v.name << " listed twice";
            // The selector's key mask keeps every bit of the row's key.
            const uint32_t mask = (v.key & DEV_TEXTURE) ? f->texturedKeyMask : f->untexturedKeyMask;
            EXPECT_EQ(DevSelectKey(f, v.key), v.key) << v.name << " mask " << std::hex << mask;
        }
    }
}

TEST(FamilyTables, EveryFamilyHoldsEveryRoutine) {
    for (const FamilyCase& fc : Families()) {
        for (const RoutineName& e : fc.all) {
            const DevTrapVariant* v = DevTrapVariantFind(fc.family->variants, fc.family->variantCount, e.key,
                                                         e.lightMode);
            ASSERT_NE(v, nullptr) << Describe(e) << " is missing";
            EXPECT_EQ(e.name, v->name) << Describe(e);
        }
        EXPECT_EQ(fc.family->variantCount, fc.all.size()) << fc.prefix;
    }
}

// The selector keys of each family: exactly the bits its routines tell apart.
TEST(FamilyTables, KeyMasksHoldTheBitsTheRoutinesTellApart) {
    for (const FamilyCase& fc : Families()) {
        EXPECT_EQ(fc.family->texturedKeyMask, fc.texturedKeyMask) << fc.prefix;
        EXPECT_EQ(fc.family->untexturedKeyMask, fc.untexturedKeyMask) << fc.prefix;
    }
}

// Keys every family leaves to the generic forwarder find no row.
TEST(FamilyTables, KeysWithoutARoutineFindNone) {
    const struct {
        uint32_t key;
        uint8_t light;
    } generic[] = {
        {0x3, 0}, {0xb, 0}, {0x4003, 0}, {0x400b, 0}, {0x6, 2}, {0x6, 3}, {0x200006, 2}, {0x7, 4}, {0x200007, 0},
    };
    for (const FamilyCase& fc : Families())
        for (const auto& k : generic)
            EXPECT_EQ(DevTrapVariantFind(fc.family->variants, fc.family->variantCount, k.key, k.light), nullptr)
                << fc.prefix << " key " << std::hex << k.key << " light " << int(k.light);
}

// ------------------------------------------------------------ dirty blocks

// A 16 x 16 power-of-two texture; u = v = 0 reads texel 0.
const TextureSpec kSmallTexture = {"16 x 16", TEXADDR_POW2, 4, 0, 0, 0, 0x1ffffff, 0x1ffffff};

// DirtyMask A of one span from a zeroed word, for every routine of every
// family: both ends of the block range are limited to block 31, which
// stands for everything to its right; no routine shifts past the word for a
// span that starts beyond it, and only the shift's low byte counts.
TEST(FamilyDirtyBlocks, BothEndsOfASpanClampToTheLastBlock) {
    const struct {
        uint32_t shift;
        int xl, xr;
        uint32_t want;
    } cases[] = {
        {5, 10, 64, 0x7},           {5, 0, 1024, 0xffffffff},   {5, 992, 1000, 0x80000000},
        {5, 30, 33, 0x3},           {5, 0, 32, 0x3},            {5, 20, 20, 0},
        {5, 21, 20, 0},             {4, 600, 700, 0x80000000},  {4, 500, 700, 0x80000000},
        {4, 480, 700, 0xc0000000},  {4, 0, 1040, 0xffffffff},   {4, 1030, 1040, 0x80000000},
        {0x105, 10, 64, 0x7},
    };
    TextureFixture colourTexels(kSmallTexture, 2, 5), indexTexels(kSmallTexture, 1, 5);
    for (const FamilyCase& fc : Families()) {
        RefApplyFormat(*fc.format);
        const DevFamily& f = *fc.family;
        for (uint32_t i = 0; i < f.variantCount; ++i) {
            const DevTrapVariant& v = f.variants[i];
            RefFeatures features;
            ASSERT_TRUE(RefDecode(v.key, v.lightMode, &features)) << v.name;
            for (const auto& t : cases) {
                CanvasShape shape;
                shape.height = 8;
                shape.bytesPerPixel = fc.format->bytesPerPixel;
                shape.depthFill = 0xffff;
                Canvas c(shape, 11);
                c.ctx()->texture = (features.index ? indexTexels : colourTexels).texture();
                c.Dirty(4) = 0;
                g_dirtyShift = t.shift;
                EXPECT_EQ(DrawSpan(v.proc, c, 4, t.xl, t.xr), 1u) << v.name;
                EXPECT_EQ(c.Dirty(4), t.want) << v.name << " " << t.xl << ".." << t.xr << " shift " << std::hex
                                              << t.shift;
            }
        }
    }
}

// ------------------------------------------------------------- comparison

// The flat routines without depth and texture must not read the gradients.
DevTrapGradients* GradFor(uint32_t key, DevTrapGradients* g) {
    return (key & (DEV_SMOOTH | DEV_DEPTH | DEV_TEXTURE)) ? g : nullptr;
}

// A fill pattern of noise; for 3-byte pixels byte 8 repeats byte 2, as the
// 3-pixel groups take either for their ninth byte.
void MakePattern(uint8_t pattern[32], uint32_t bytesPerPixel, uint32_t seed) {
    Noise noise{seed};
    for (int i = 0; i < 32; ++i) pattern[i] = static_cast<uint8_t>(noise.Next());
    if (bytesPerPixel == 3) pattern[8] = pattern[2];
}

// Every row of the family's table on every case, alignment and row order,
// on one display format. Reports the first difference of each routine.
void CompareFamily(const DevFamily& family, const RefFormat& fmt) {
    RefApplyFormat(fmt);
    std::vector<bool> failed(family.variantCount, false);
    std::vector<RefFeatures> features(family.variantCount);
    for (uint32_t vi = 0; vi < family.variantCount; ++vi)
        ASSERT_TRUE(RefDecode(family.variants[vi].key, family.variants[vi].lightMode, &features[vi]))
            << family.variants[vi].name;

    uint8_t pattern[32];
    MakePattern(pattern, fmt.bytesPerPixel, 0x5eed + fmt.bytesPerPixel);
    uint32_t seed = 1234;
    for (const TrapCase& c : TrapCases()) {
        Chains chains(c);
        for (uint32_t align = 0; align < 4; ++align) {
            for (bool bottomUp : {false, true}) {
                CanvasShape shape = ShapeFor(c, fmt.bytesPerPixel);
                shape.align = align;
                shape.bottomUp = bottomUp;
                Canvas proto(shape, ++seed), fast(shape, 0), ref(shape, 0);
                for (uint32_t vi = 0; vi < family.variantCount; ++vi) {
                    if (failed[vi]) continue;
                    const DevTrapVariant& v = family.variants[vi];
                    const uint32_t texelBytes = features[vi].index ? 1 : 2;
                    for (Canvas* k : {&fast, &ref}) {
                        k->CopyFrom(proto);
                        PrepareContext(c, k->ctx(), texelBytes, pattern);
                    }
                    g_dirtyShift = c.dirtyShift;
                    g_paletteBase = c.paletteBase;
                    DevTrapGradients g = chains.grad;
                    EXPECT_EQ(v.proc(fast.ctx(), chains.left.data(), chains.right.data(), GradFor(v.key, &g)), 1u)
                        << v.name;
                    RefTrapezoids(features[vi], fmt, ref.ctx(), chains.left.data(), chains.right.data(), &g);
                    const std::string diff = fast.Diff(ref);
                    if (!diff.empty()) {
                        failed[vi] = true;
                        ADD_FAILURE() << v.name << " on " << fmt.name << ", case \"" << c.name << "\", align " << align
                                      << (bottomUp ? ", bottom-up" : "") << ": " << diff << " (routine vs reference)";
                    }
                }
            }
        }
    }
}

TEST(FamilyComparison, Bpp08MatchesTheReference) { CompareFamily(g_bpp08Family, kFormat8); }

TEST(FamilyComparison, Bpp16MatchesTheReference) {
    CompareFamily(g_bpp16Family, kFormat565);
    CompareFamily(g_bpp16Family, kFormat555);
}

// The 16-bit routines run 5-6-5 and 5-5-5 with their fields as constants;
// every other layout takes the copy that reads the format tables.
TEST(FamilyComparison, Bpp16MatchesTheReferenceOnOtherLayouts) {
    const RefFormat blueHigh = {"5-6-5 blue high", 2, 0x001f, 0x07e0, 0xf800, 31, 63, 31};
    const RefFormat narrow = {"4-4-4", 2, 0x0f00, 0x00f0, 0x000f, 15, 15, 15};
    CompareFamily(g_bpp16Family, blueHigh);
    CompareFamily(g_bpp16Family, narrow);
}

TEST(FamilyComparison, Bpp24MatchesTheReference) {
    CompareFamily(g_bpp24Family, kFormat24Bgr);
    CompareFamily(g_bpp24Family, kFormat24Rgb);
}

TEST(FamilyComparison, Bpp32MatchesTheReference) {
    CompareFamily(g_bpp32Family, kFormat32Shift16);
    CompareFamily(g_bpp32Family, kFormat32Shift0);
}

// ------------------------------------------------------------------ twins

// The family's routine at the entry's key; a missing one fails the twin
// comparison instead of letting anything stand in for it.
const DevTrapVariant* TwinRoutine(const DevFamily& family, const RoutineName& e) {
    const DevTrapVariant* v = DevTrapVariantFind(family.variants, family.variantCount, e.key, e.lightMode);
    if (!v) ADD_FAILURE() << Describe(e) << " is missing: no twin to compare";
    return v;
}

// The 5-5-5 pixel of a 24- or 32-bit pixel: the top five bits of each
// component (and back, with three zero bits below).
uint32_t To555(const RefFormat& fmt24, uint32_t pixel24) {
    const uint32_t masks[3] = {fmt24.redMask, fmt24.greenMask, fmt24.blueMask};
    const uint32_t masks555[3] = {kFormat555.redMask, kFormat555.greenMask, kFormat555.blueMask};
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) out |= ((pixel24 >> RefLowBit(masks[c])) & 0xff) >> 3 << RefLowBit(masks555[c]);
    return out;
}

uint32_t From555(const RefFormat& fmt24, uint32_t pixel16) {
    const uint32_t masks[3] = {fmt24.redMask, fmt24.greenMask, fmt24.blueMask};
    const uint32_t masks555[3] = {kFormat555.redMask, kFormat555.greenMask, kFormat555.blueMask};
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) out |= ((pixel16 >> RefLowBit(masks555[c])) & 31) << 3 << RefLowBit(masks[c]);
    return out;
}

// Each routine of a 3- or 4-byte family draws the pixels of its 16-bit
// twin (on 5-5-5, each component the twin's five bits), the same depth
// values and the same dirty blocks.
void CompareWithTwins(const DevFamily& family, const char* prefix, const RefFormat& fmt) {
    const std::vector<RoutineName> list16 = FamilyRoutines("BPP16"), list = FamilyRoutines(prefix);
    ASSERT_EQ(list16.size(), list.size());
    std::vector<const DevTrapVariant*> routines16, routines;
    std::vector<RefFeatures> features(list.size());
    std::vector<bool> failed(list.size(), false);
    for (size_t i = 0; i < list.size(); ++i) {
        routines16.push_back(TwinRoutine(g_bpp16Family, list16[i]));
        routines.push_back(TwinRoutine(family, list[i]));
        failed[i] = !routines16[i] || !routines[i] || !RefDecode(list[i].key, list[i].lightMode, &features[i]);
    }
    const uint32_t flat = 0x19e5;  // the 15-bit flat colour
    const uint32_t bpp = fmt.bytesPerPixel;
    uint8_t p16[32], p[32];
    const uint32_t q16 = RefTexelPixel(kFormat555, flat), q = RefTexelPixel(fmt, flat);
    for (uint32_t k = 0; k < 32; ++k) {
        p16[k] = static_cast<uint8_t>(q16 >> (8 * (k % 2)));
        p[k] = static_cast<uint8_t>(q >> (8 * (k % bpp)));
    }
    for (const TrapCase& c : TrapCases()) {
        Chains chains(c);
        for (uint32_t align : {0u, 3u}) {
            CanvasShape s16 = ShapeFor(c, 2), s = ShapeFor(c, bpp);
            s16.align = s.align = align;
            s16.bottomUp = s.bottomUp = align == 3;
            // Backgrounds that convert into each other.
            Canvas proto16(s16, 99 + align), proto(s, 0), c16(s16, 0), cw(s, 0);
            proto.CopyDepthAndDirtyFrom(proto16);
            for (int y = 0; y < s16.height; ++y)
                for (int x = 0; x < s16.width; ++x) {
                    proto16.SetPixelValue(x, y, proto16.PixelValue(x, y) & 0x7fff);
                    proto.SetPixelValue(x, y, From555(fmt, proto16.PixelValue(x, y)));
                }
            for (size_t i = 0; i < list.size(); ++i) {
                if (failed[i]) continue;
                c16.CopyFrom(proto16);
                cw.CopyFrom(proto);
                PrepareContext(c, c16.ctx(), 2, p16);
                PrepareContext(c, cw.ctx(), 2, p);
                g_dirtyShift = c.dirtyShift;
                DevTrapGradients g16 = chains.grad, g = chains.grad;
                RefApplyFormat(kFormat555);
                routines16[i]->proc(c16.ctx(), chains.left.data(), chains.right.data(), &g16);
                RefApplyFormat(fmt);
                routines[i]->proc(cw.ctx(), chains.left.data(), chains.right.data(), &g);
                // Smooth colour keeps all eight bits of a component; texels,
                // lit or not, and the flat colour only the twin's five.
                const bool eightBits = features[i].smooth;
                std::string diff = cw.DiffDepthAndDirty(c16);
                for (int y = 0; diff.empty() && y < s16.height; ++y)
                    for (int x = 0; diff.empty() && x < s16.width; ++x)
                        if (eightBits ? To555(fmt, cw.PixelValue(x, y)) != c16.PixelValue(x, y)
                                      : cw.PixelValue(x, y) != From555(fmt, c16.PixelValue(x, y)))
                            diff = "pixel " + std::to_string(x) + "," + std::to_string(y);
                if (!diff.empty()) {
                    ADD_FAILURE() << list[i].name << " on " << fmt.name << " vs " << list16[i].name << ", case \""
                                  << c.name << "\", align " << align << ": " << diff;
                    failed[i] = true;
                }
            }
        }
    }
}

TEST(FamilyTwins, Each24BitRoutineDrawsAsIts16BitTwin) {
    CompareWithTwins(g_bpp24Family, "BPP24", kFormat24Bgr);
    CompareWithTwins(g_bpp24Family, "BPP24", kFormat24Rgb);
}

TEST(FamilyTwins, Each32BitRoutineDrawsAsIts16BitTwin) {
    CompareWithTwins(g_bpp32Family, "BPP32", kFormat32Shift16);
    CompareWithTwins(g_bpp32Family, "BPP32", kFormat32Shift0);
}

}  // namespace
