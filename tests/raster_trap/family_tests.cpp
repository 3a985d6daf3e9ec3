// Every trapezoid routine of every family against the reference, over the
// whole case table, every start alignment and both row orders; the
// families' variant tables against the routine names they must hold; and
// each 24-bit routine against its 16-bit twin.
#include "canvas.h"
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

struct Expected {
    std::string name;
    uint32_t key;
    uint8_t lightMode;
};

// One row of a family's routine list as the selector tables give it: the
// base key, the lighting mode, the name suffix, and a second key the same
// routines serve (the affine unlit rows also take DEV_SMOOTH).
struct BaseRow {
    uint32_t key;
    uint8_t lightMode;
    const char* suffix;
    uint32_t alsoKey;
};

// Rows every family has, each with and without Z; the 8-bit family adds D.
const BaseRow kSharedRows[] = {
    {0x0, 0, "Fs", 0},
    {0x1, 0, "Ss", 0},
    {0x2, 0, "PTx", 0},
    {0x4002, 0, "PTxTr", 0},
    {0x6, 1, "PTxMRFs", 0},
    {0x7, 1, "PTxMRSs", 0},
    {0x7, 2, "PTxMMSs", 0},
    {0x7, 3, "PTxMSSs", 0},
    {0x4006, 1, "PTxTrMRFs", 0},
    {0x4007, 1, "PTxTrMRSs", 0},
    {0x4007, 2, "PTxTrMMSs", 0},
    {0x4007, 3, "PTxTrMSSs", 0},
    {0x200002, 0, "Tx", 0x200003},
    {0x204002, 0, "TxTr", 0x204003},
    {0x200006, 1, "TxMRFs", 0},
    {0x200007, 1, "TxMRSs", 0},
    {0x200007, 2, "TxMMSs", 0},
    {0x200007, 3, "TxMSSs", 0},
    {0x204006, 1, "TxTrMRFs", 0},
    {0x204007, 1, "TxTrMRSs", 0},
    {0x204007, 2, "TxTrMMSs", 0},
    {0x204007, 3, "TxTrMSSs", 0},
};

// Colour-index rows of the 8-bit family.
const BaseRow kIndexRows[] = {
    {0x100000, 0, "FsI", 0},
    {0x100001, 0, "SsI", 0},
    {0x100002, 0, "PTxI", 0},
    {0x104002, 0, "PTxTrI", 0},
    {0x300002, 0, "TxI", 0},
    {0x304002, 0, "TxTrI", 0},
};

void AddRow(std::vector<Expected>& out, const std::string& prefix, const BaseRow& r, bool dither) {
    struct Column { const char* letters; uint32_t add; };
    const Column columns[] = {{"", 0}, {"Z", DEV_DEPTH}, {"D", DEV_DITHER}, {"ZD", DEV_DEPTH | DEV_DITHER}};
    for (const Column& c : columns) {
        if (!dither && (c.add & DEV_DITHER)) continue;
        const std::string name = prefix + "_DevTrapezoids" + r.suffix + c.letters;
        out.push_back({name, r.key + c.add, r.lightMode});
        if (r.alsoKey) out.push_back({name, r.alsoKey + c.add, r.lightMode});
    }
}

// The 112 routines of the 8-bit family (8 of them also serve a second key).
std::vector<Expected> Expected08() {
    std::vector<Expected> out;
    for (const BaseRow& r : kSharedRows) AddRow(out, "BPP08", r, true);
    for (const BaseRow& r : kIndexRows) AddRow(out, "BPP08", r, true);
    return out;
}

std::vector<Expected> Untextured(std::vector<Expected> all) {
    std::vector<Expected> out;
    for (const Expected& e : all)
        if (!(e.key & DEV_TEXTURE)) out.push_back(e);
    return out;
}

// The 44 routines of the 16-, 24- or 32-bit family.
std::vector<Expected> Expected44(const char* prefix) {
    std::vector<Expected> out;
    for (const BaseRow& r : kSharedRows) AddRow(out, prefix, r, false);
    return out;
}

struct FamilyCase {
    const char* prefix;
    const DevFamily* family;
    std::vector<Expected> all;  // every routine the family will have
};

const std::vector<FamilyCase>& Families() {
    static const std::vector<FamilyCase> families = {
        {"BPP08", &g_bpp08Family, Expected08()},
        {"BPP16", &g_bpp16Family, Expected44("BPP16")},
        {"BPP24", &g_bpp24Family, Expected44("BPP24")},
        {"BPP32", &g_bpp32Family, Expected44("BPP32")},
    };
    return families;
}

// The routine lists that are complete: a routine missing from one of these
// tables fails. A family whose routines land in steps gets its line here
// with the part that exists (say Untextured(Expected08())), widened by its
// engineer as the rest lands; every family is complete now.
struct Complete {
    const DevFamily* family;
    std::vector<Expected> expected;
};

const std::vector<Complete>& CompleteLists() {
    static const std::vector<Complete> lists = {
        {&g_bpp08Family, Expected08()},
        {&g_bpp16Family, Expected44("BPP16")},
        {&g_bpp24Family, Expected44("BPP24")},
        {&g_bpp32Family, Expected44("BPP32")},
    };
    return lists;
}

std::string Describe(const Expected& e) {
    char text[160];
    snprintf(text, sizeof text, "%s (key %#x, mode %u)", e.name.c_str(), e.key, e.lightMode);
    return text;
}

TEST(FamilyTables, ExpectedListsHaveTheirSizes) {
    // 112 names in the 8-bit family, 44 in each other; second keys extra.
    auto names = [](const std::vector<Expected>& v) {
        std::vector<std::string> n;
        for (const auto& e : v)
            if (n.empty() || n.back() != e.name) n.push_back(e.name);
        return n.size();
    };
    EXPECT_EQ(names(Expected08()), 112u);
    EXPECT_EQ(Expected08().size(), 120u);
    EXPECT_EQ(names(Expected44("BPP24")), 44u);
    EXPECT_EQ(Expected44("BPP24").size(), 48u);
    EXPECT_EQ(Untextured(Expected08()).size(), 16u);
}

// Every row a family's table holds sits at the key and mode of its name,
// decodes to the features its name spells, and is there once.
TEST(FamilyTables, EveryRowIsItsNamedRoutine) {
    for (const FamilyCase& fc : Families()) {
        const DevFamily* f = fc.family;
        for (uint32_t i = 0; i < f->variantCount; ++i) {
            const DevTrapVariant& v = f->variants[i];
            ASSERT_NE(v.name, nullptr) << fc.prefix << " row " << i;
            const Expected* found = nullptr;
            for (const Expected& e : fc.all)
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

TEST(FamilyTables, CompleteFamiliesHoldEveryRoutine) {
    for (const Complete& c : CompleteLists()) {
        for (const Expected& e : c.expected) {
            const DevTrapVariant* v =
                DevTrapVariantFind(c.family->variants, c.family->variantCount, e.key, e.lightMode);
            ASSERT_NE(v, nullptr) << Describe(e) << " is missing";
            EXPECT_EQ(e.name, v->name) << Describe(e);
        }
        EXPECT_EQ(c.family->variantCount, c.expected.size());
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

// Draws as the family's routine for the suffix when the family has it,
// else as the reference does.
struct Drawer {
    const DevTrapVariant* routine;
    RefFeatures features;
    const RefFormat* fmt;
    void Draw(DevContext* ctx, DevTrapEdge* left, DevTrapEdge* right, DevTrapGradients* g) const {
        if (routine)
            routine->proc(ctx, left, right, g);
        else
            RefTrapezoids(features, *fmt, ctx, left, right, g);
    }
};

Drawer DrawerFor(const DevFamily& family, const RefFormat& fmt, const Expected& e) {
    Drawer d{DevTrapVariantFind(family.variants, family.variantCount, e.key, e.lightMode), {}, &fmt};
    RefDecode(e.key, e.lightMode, &d.features);
    return d;
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
// values and the same dirty blocks. Where a family lacks the routine the
// reference stands in.
void CompareWithTwins(const DevFamily& family, const char* prefix, const RefFormat& fmt) {
    const std::vector<Expected> list16 = Expected44("BPP16"), list = Expected44(prefix);
    const uint32_t flat = 0x19e5;  // the 15-bit flat colour
    const uint32_t bpp = fmt.bytesPerPixel;
    uint8_t p16[32], p[32];
    const uint32_t q16 = RefTexelPixel(kFormat555, flat), q = RefTexelPixel(fmt, flat);
    for (uint32_t k = 0; k < 32; ++k) {
        p16[k] = static_cast<uint8_t>(q16 >> (8 * (k % 2)));
        p[k] = static_cast<uint8_t>(q >> (8 * (k % bpp)));
    }
    std::vector<bool> failed(list.size(), false);
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
                const Drawer d16 = DrawerFor(g_bpp16Family, kFormat555, list16[i]);
                const Drawer d = DrawerFor(family, fmt, list[i]);
                c16.CopyFrom(proto16);
                cw.CopyFrom(proto);
                PrepareContext(c, c16.ctx(), 2, p16);
                PrepareContext(c, cw.ctx(), 2, p);
                g_dirtyShift = c.dirtyShift;
                DevTrapGradients g16 = chains.grad, g = chains.grad;
                RefApplyFormat(kFormat555);
                d16.Draw(c16.ctx(), chains.left.data(), chains.right.data(), &g16);
                RefApplyFormat(fmt);
                d.Draw(cw.ctx(), chains.left.data(), chains.right.data(), &g);
                // Smooth colour keeps all eight bits of a component; texels,
                // lit or not, and the flat colour only the twin's five.
                const bool eightBits = d.features.smooth;
                std::string diff = cw.DiffDepthAndDirty(c16);
                for (int y = 0; diff.empty() && y < s16.height; ++y)
                    for (int x = 0; diff.empty() && x < s16.width; ++x)
                        if (eightBits ? To555(fmt, cw.PixelValue(x, y)) != c16.PixelValue(x, y)
                                      : cw.PixelValue(x, y) != From555(fmt, c16.PixelValue(x, y)))
                            diff = "pixel " + std::to_string(x) + "," + std::to_string(y);
                if (!diff.empty()) {
                    ADD_FAILURE() << list[i].name << (d.routine ? "" : " (reference)") << " on " << fmt.name << " vs "
                                  << list16[i].name << (d16.routine ? "" : " (reference)") << ", case \"" << c.name
                                  << "\", align " << align << ": " << diff;
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
