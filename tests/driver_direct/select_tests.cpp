// The procedure selection every family shares, on a family of marker
// routines, the 8-bit family's own table, and validation choosing the
// family of the display depth.
#include "harness.h"
#include "frame/paths.h"
#include "frame/select.h"

#include "bpp08/bpp08_trapezoids.h"
#include "bpp08/services08.h"
#include "bpp16/services16.h"
#include "bpp24/services24.h"
#include "bpp32/services32.h"

#include <gtest/gtest.h>

#include "direct_support.h"

using namespace drvtest;

namespace {

// Distinct routines that only mark which one the table holds.
#define MARKER(name)                                                                      \
    uint32_t DEVPROC name##Trap(DevContext*, DevTrapEdge*, DevTrapEdge*, DevTrapGradients*) \
    {                                                                                     \
        return 1;                                                                         \
    }
MARKER(Generic)
MARKER(Flat)
MARKER(FlatDepth)
MARKER(TexMR)
MARKER(TexMM)
MARKER(Affine)
uint32_t DEVPROC GenericLine(DevContext*, DevLineRecord*, uint32_t) { return 1; }
uint32_t DEVPROC FlatLine(DevContext*, DevLineRecord*, uint32_t) { return 1; }
uint32_t DEVPROC Clear(DevContext*, uint32_t) { return 1; }
uint32_t DEVPROC SetColor(DevContext*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, void*) { return 1; }
uint32_t DEVPROC Present(DevContext*) { return 1; }
uint32_t DEVPROC PresentTranslated(DevContext*) { return 1; }

const DevTrapVariant kVariants[] = {
    {0x0, 0, FlatTrap, "Flat"},     {0x8, 0, FlatDepthTrap, "FlatDepth"}, {0x7, 1, TexMRTrap, "TexMR"},
    {0x7, 2, TexMMTrap, "TexMM"},   {0x200002, 0, AffineTrap, "Affine"},  {0x200003, 0, AffineTrap, "Affine"},
};
const DevLineVariant kLines[] = {{0x0, FlatLine, "FlatLine"}};

DevFamily Family()
{
    DevFamily f = {};
    f.texturedKeyMask = 0x20400f;
    f.untexturedKeyMask = 0xb;
    f.clear = Clear;
    f.setColor = SetColor;
    f.lineGeneric = GenericLine;
    f.trapezoidsGeneric = GenericTrap;
    f.present = Present;
    f.presentTranslated = PresentTranslated;
    f.variants = kVariants;
    f.variantCount = sizeof kVariants / sizeof kVariants[0];
    f.lines = kLines;
    f.lineCount = 1;
    return f;
}

struct SelectCase {
    const char* name;
    uint32_t state;
    uint8_t depthFunc, lightMode;
    uint32_t translate;
    DevTrapezoidsProc trap;
    DevLineProc line;
    DevPresentProc present;
};

class SharedSelection : public ::testing::TestWithParam<SelectCase> {};

TEST_P(SharedSelection, InstallsDefaultsThenTheVariant)
{
    const SelectCase& c = GetParam();
    DriverBlock block = {};
    Context ctx;
    ctx->driverBlock = &block;
    ctx->procs = &block.procs;
    ctx->state = c.state;
    ctx->depthFunc = c.depthFunc;
    ctx->lightMode = c.lightMode;
    ctx->translate = c.translate;
    // A stale choice from an earlier state must not survive.
    block.procs.trapezoids = AffineTrap;
    block.procs.line = FlatLine;
    DevFamily family = Family();
    DevSelectFamily(ctx.get(), &family);
    DevProcTable& t = block.procs;
    EXPECT_EQ(c.trap, t.trapezoids);
    EXPECT_EQ(c.line, t.line);
    EXPECT_EQ(c.present, t.present);
    EXPECT_EQ((DevClearProc)Clear, t.clear);
    EXPECT_EQ((DevSetColorProc)SetColor, t.setColor);
    EXPECT_EQ((DevCopyRectProc)DirtyMarkCopy, t.copyRect);
    for (int slot = 0; slot < DEV_SLOT_COUNT; ++slot) {
        if (slot == 12 || slot == 16 || slot == 17 || slot == 19 || slot == 20 || slot == 21) continue;
        EXPECT_EQ(nullptr, t.slot[slot]) << slot;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SharedSelection,
    ::testing::Values(SelectCase{"Flat", 0x0, 0, 0, 0, FlatTrap, FlatLine, Present},
                      SelectCase{"Translated", 0x0, 0, 0, 1, FlatTrap, FlatLine, PresentTranslated},
                      SelectCase{"ZoomIgnored", DEV_ZOOM2, 0, 0, 0, FlatTrap, FlatLine, Present},
                      SelectCase{"UntexturedDropsTextureBits", 0x4004, 0, 0, 0, FlatTrap, FlatLine, Present},
                      SelectCase{"DepthOne", 0x8, 1, 0, 0, FlatDepthTrap, GenericLine, Present},
                      SelectCase{"DepthThree", 0x8, 3, 0, 0, FlatDepthTrap, GenericLine, Present},
                      SelectCase{"DepthTwoRejected", 0x8, 2, 0, 0, GenericTrap, GenericLine, Present},
                      SelectCase{"DepthFuncIgnoredWithoutDepth", 0x0, 2, 0, 0, FlatTrap, FlatLine, Present},
                      SelectCase{"GenericBitRejected", 0x10, 0, 0, 0, GenericTrap, GenericLine, Present},
                      SelectCase{"RejectedTranslated", 0x10, 0, 0, 1, GenericTrap, GenericLine, PresentTranslated},
                      SelectCase{"LightModeOne", 0x7, 0, 1, 0, TexMRTrap, GenericLine, Present},
                      SelectCase{"LightModeTwo", 0x7, 0, 2, 0, TexMMTrap, GenericLine, Present},
                      SelectCase{"UnknownLightMode", 0x7, 0, 4, 0, GenericTrap, GenericLine, Present},
                      SelectCase{"LightModeIgnoredWithoutModulate", 0x200003, 0, 9, 0, AffineTrap, GenericLine,
                                 Present},
                      SelectCase{"UnlistedKey", 0x3, 0, 0, 0, GenericTrap, GenericLine, Present}),
    [](const ::testing::TestParamInfo<SelectCase>& i) { return std::string(i.param.name); });

TEST(SharedSelection, FrontBufferNotMadeByTheDriverIsLeftAlone)
{
    DriverBlock block = {};
    Context ctx;
    ctx->driverBlock = &block;
    ctx->drawBuffer = &ctx->front;
    block.procs.present = Present;
    DevFamily family = Family();
    DevSelectFamily(ctx.get(), &family);
    for (int slot = 0; slot < DEV_SLOT_COUNT; ++slot)
        EXPECT_EQ(slot == 20 ? (DevProc)Present : nullptr, block.procs.slot[slot]) << slot;
    ctx->front.flags = DEVBUF_DIRECT_FRONT;
    DevSelectFamily(ctx.get(), &family);
    EXPECT_EQ((DevTrapezoidsProc)FlatTrap, block.procs.trapezoids);
}

// The 8-bit family's table through its selector.
TEST(EightBitSelection, KeysReachTheFamilysRasterizers)
{
    struct {
        uint32_t state;
        uint8_t depthFunc;
        DevTrapezoidsProc want;
    } cases[] = {
        {0x0, 0, BPP08_DevTrapezoidsFs},          {0x1000, 0, BPP08_DevTrapezoidsFsD},
        {0x4005, 0, BPP08_DevTrapezoidsSs},       {0x100009, 3, BPP08_DevTrapezoidsSsIZ},
        {0x101008 | DEV_ZOOM2, 1, BPP08_DevTrapezoidsFsIZD}, {0x1009, 1, BPP08_DevTrapezoidsSsZD},
    };
    for (auto& c : cases) {
        DriverBlock block = {};
        Context ctx;
        ctx->driverBlock = &block;
        ctx->state = c.state;
        ctx->depthFunc = c.depthFunc;
        BPP08_DevSelectProcs(ctx.get());
        EXPECT_EQ(c.want, block.procs.trapezoids) << std::hex << c.state;
        EXPECT_EQ((DevCopyRectProc)DirtyMarkCopy, block.procs.copyRect);
        EXPECT_EQ((DevClearProc)BPP08_DevClear, block.procs.clear);
        EXPECT_EQ((DevSetColorProc)BPP08_DevSetColor, block.procs.setColor);
        EXPECT_EQ((DevPresentProc)BPP08_DevPresent, block.procs.present);
    }
}

// The family's services, the forwarders where it has no routine, and the
// translated present with the library's tables, also for a rejected state.
TEST(EightBitSelection, ServicesAndForwarders)
{
    for (uint32_t state : {0x10u, 0x3u}) {
        DriverBlock block = {};
        Context ctx;
        ctx->driverBlock = &block;
        ctx->state = state;
        ctx->translate = 1;
        BPP08_DevSelectProcs(ctx.get());
        EXPECT_EQ((DevTrapezoidsProc)BPP08_DevTrapezoidsGeneric, block.procs.trapezoids) << state;
        EXPECT_EQ((DevLineProc)BPP08_DevLineGeneric, block.procs.line) << state;
        EXPECT_EQ((DevPresentProc)BPP08_DevPresentTranslated, block.procs.present) << state;
        EXPECT_EQ((DevClearProc)BPP08_DevClear, block.procs.clear) << state;
    }
}

// The 16-, 24- and 32-bit selectors install their own services, the
// forwarders for states handed to the library, and the present also then.
TEST(WideFamilySelection, ServicesForwardersAndPresent)
{
    struct {
        void (*select)(DevContext*);
        DevClearProc clear;
        DevSetColorProc setColor;
        DevPresentProc present;
        DevLineProc line;
        DevTrapezoidsProc trapezoids;
    } families[] = {
        {BPP16_DevSelectProcs, BPP16_DevClear, BPP16_DevSetColor, BPP16_DevPresent, BPP16_DevLineGeneric,
         BPP16_DevTrapezoidsGeneric},
        {BPP24_DevSelectProcs, BPP24_DevClear, BPP24_DevSetColor, BPP24_DevPresent, BPP24_DevLineGeneric,
         BPP24_DevTrapezoidsGeneric},
        {BPP32_DevSelectProcs, BPP32_DevClear, BPP32_DevSetColor, BPP32_DevPresent, BPP32_DevLineGeneric,
         BPP32_DevTrapezoidsGeneric},
    };
    for (const auto& f : families) {
        for (uint32_t state : {0x10u, 0x3u, 0x1000u | DEV_DEPTH}) {
            DriverBlock block = {};
            Context ctx;
            ctx->driverBlock = &block;
            ctx->state = state;
            ctx->depthFunc = 2;
            ctx->translate = 1;  // no translated form: the plain present
            f.select(ctx.get());
            EXPECT_EQ(f.clear, block.procs.clear) << state;
            EXPECT_EQ(f.setColor, block.procs.setColor) << state;
            EXPECT_EQ(f.present, block.procs.present) << state;
            EXPECT_EQ(f.line, block.procs.line) << state;
            EXPECT_EQ(f.trapezoids, block.procs.trapezoids) << state;
            EXPECT_EQ((DevCopyRectProc)DirtyMarkCopy, block.procs.copyRect);
        }
    }
}

// ---- validation on the direct path ----

// Validation installs the family of the display depth: its services, the
// copy wrapper, and for the zeroed state its flat routine.
TEST_F(DirectTest, ValidationCallsTheFamilyOfTheDisplayDepth)
{
    const struct {
        int bits;
        const DevFamily* family;
        DevClearProc clear;
        DevSetColorProc setColor;
        DevPresentProc present;
        DevLineProc line;
        const char* flat;
    } depths[] = {
        {8, &g_bpp08Family, BPP08_DevClear, BPP08_DevSetColor, BPP08_DevPresent, BPP08_DevLineGeneric,
         "BPP08_DevTrapezoidsFs"},
        {16, &g_bpp16Family, BPP16_DevClear, BPP16_DevSetColor, BPP16_DevPresent, BPP16_DevLineGeneric,
         "BPP16_DevTrapezoidsFs"},
        {24, &g_bpp24Family, BPP24_DevClear, BPP24_DevSetColor, BPP24_DevPresent, BPP24_DevLineGeneric,
         "BPP24_DevTrapezoidsFs"},
        {32, &g_bpp32Family, BPP32_DevClear, BPP32_DevSetColor, BPP32_DevPresent, BPP32_DevLineGeneric,
         "BPP32_DevTrapezoidsFs"},
    };
    for (const auto& d : depths) {
        Begin(d.bits);
        auto c = NewContext(0, 0, 64, 64);
        ASSERT_EQ(0x4c0u, DevBufferCreate(c->get(), 0x4c0));
        EXPECT_EQ(1u, DevContextValidate(c->get()));
        DevProcTable* t = (*c)->procs;
        EXPECT_EQ((DevCopyRectProc)DirtyMarkCopy, t->copyRect) << d.bits;
        EXPECT_EQ(d.clear, t->clear) << d.bits;
        EXPECT_EQ(d.setColor, t->setColor) << d.bits;
        EXPECT_EQ(d.present, t->present) << d.bits;
        EXPECT_EQ(d.line, t->line) << d.bits;
        const DevTrapVariant* flat = DevTrapVariantFind(d.family->variants, d.family->variantCount, 0, 0);
        ASSERT_NE(nullptr, flat) << d.bits;
        EXPECT_STREQ(d.flat, flat->name);
        EXPECT_EQ(flat->proc, t->trapezoids) << d.bits;
        contexts_.push_back(std::move(c));
    }
    EXPECT_EQ((DevTrapezoidsProc)BPP08_DevTrapezoidsFs, DevTrapVariantFind(g_bpp08Family.variants,
                                                                          g_bpp08Family.variantCount, 0, 0)->proc);
    // No family for other depths: the table keeps its empty slots.
    g_bytesPerPixel = 5;
    auto c = NewContext(0, 0, 64, 64);
    EXPECT_EQ(1u, DevContextValidate(c->get()));
    for (int slot = 0; slot < DEV_SLOT_COUNT; ++slot) EXPECT_EQ(nullptr, (*c)->procs->slot[slot]);
    contexts_.push_back(std::move(c));
}

}  // namespace
