// The 8-bit selector against the family's routines as their names give
// them (family_names): every reachable state key, with and without the bits
// the selection ignores, must put the routine of its key in slot 16 and the
// listed line routine (or the generic forwarders) in slot 17, and touch no
// slot beyond the six it owns.
#include "harness.h"
#include "frame/paths.h"
#include "frame/select.h"

#include "bpp08/services08.h"

#include <gtest/gtest.h>

#include <stdio.h>

#include <set>
#include <string>
#include <vector>

#include "family_names.h"

using namespace drvtest;

namespace {

const std::vector<RoutineName>& Routines08()
{
    static const std::vector<RoutineName> routines = FamilyRoutines("BPP08");
    return routines;
}

// The line routines: untextured keys with dither.
const struct {
    uint32_t key;
    const char* name;
} kLines[] = {
    {DEV_DITHER, "BPP08_DevLineFsD"},
    {DEV_DEPTH | DEV_DITHER, "BPP08_DevLineFsZD"},
    {DEV_SMOOTH | DEV_DITHER, "BPP08_DevLineSsD"},
    {DEV_SMOOTH | DEV_DEPTH | DEV_DITHER, "BPP08_DevLineSsZD"},
};

// Reachable textured keys that keep the generic trapezoid forwarder
// (light -1: under every mode).
const struct {
    uint32_t key;
    int light;
} kGenericKeys[] = {
    // perspective with smooth colour and no lighting
    {0x3, -1}, {0xb, -1}, {0x1003, -1}, {0x100b, -1},
    {0x4003, -1}, {0x400b, -1}, {0x5003, -1}, {0x500b, -1},
    // lighting modes outside 1..3
    {0x6, 0}, {0x7, 4}, {0x4007, 0}, {0x20000f, 0xff}, {0x20500e, 9},
    // MM and MS need smooth light
    {0x6, DEV_LIGHT_MM}, {0x6, DEV_LIGHT_MS}, {0x4006, DEV_LIGHT_MM}, {0x20000e, DEV_LIGHT_MS},
    {0x205006, DEV_LIGHT_MM},
    // colour-index textures are unlit and flat only
    {0x100003, -1}, {0x300003, -1}, {0x104003, -1}, {0x30500b, -1},
    {0x100006, DEV_LIGHT_MR}, {0x300007, DEV_LIGHT_MR}, {0x304006, DEV_LIGHT_MR},
};
const int kModes[] = {0, DEV_LIGHT_MR, DEV_LIGHT_MM, DEV_LIGHT_MS, 4, 9, 0xff};

// What the names say for a masked key and a lighting mode.
struct Expected {
    const char* trap = nullptr;  // null: the generic forwarder
    const char* line = nullptr;
    uint8_t light = 0;           // the routine's lighting mode
};

Expected Lookup(uint32_t key, uint8_t light)
{
    Expected e;
    for (const RoutineName& r : Routines08()) {
        if ((r.key & DEV_MODULATE) && r.lightMode != light) continue;
        if (r.key != key) continue;
        EXPECT_EQ(nullptr, e.trap) << std::hex << key << " is listed twice";
        e.trap = r.name.c_str();
        e.light = r.lightMode;
    }
    for (const auto& l : kLines)
        if (l.key == key) e.line = l.name;
    return e;
}

DevTrapezoidsProc TrapByName(const char* name)
{
    for (uint32_t i = 0; i < g_bpp08Family.variantCount; ++i)
        if (std::string(g_bpp08Family.variants[i].name) == name) return g_bpp08Family.variants[i].proc;
    return nullptr;
}

DevLineProc LineByName(const char* name)
{
    for (uint32_t i = 0; i < g_bpp08Family.lineCount; ++i)
        if (std::string(g_bpp08Family.lines[i].name) == name) return g_bpp08Family.lines[i].proc;
    return nullptr;
}

uint32_t DEVPROC Untouched(void) { return 0xbad; }

// A context drawing into its back buffer, its table filled with a marker.
struct Selection {
    DriverBlock block = {};
    Context ctx;
    Selection()
    {
        ctx->driverBlock = &block;
        ctx->procs = &block.procs;
        ctx->depthFunc = 1;
        for (DevProc& p : block.procs.slot) p = Untouched;
    }
    DevProcTable& Select(uint32_t state, uint8_t light)
    {
        ctx->state = state;
        ctx->lightMode = light;
        BPP08_DevSelectProcs(ctx.get());
        return block.procs;
    }
};

// Bits that are neither in the key masks nor in DEV_GENERIC_MASK, and the
// three that only textured keys read.
const uint32_t kIgnoredAlways[] = {DEV_ZOOM2, 0x100, 0x200, 0x8000, 0x10000, 0x40000, 0x400000, 0x80000000u};
const uint32_t kTexturedOnly = DEV_MODULATE | DEV_COLORKEY | DEV_AFFINE;

// Checks the six slots for an accepted state and every other slot untouched.
// The service slots every call past the guard writes, and every other slot
// untouched. A rejected state gets the present too, so that the forwarders'
// marks and repaint requests are consumed.
void ExpectServices(const DevProcTable& t, uint32_t translate, const std::string& what)
{
    EXPECT_EQ((DevClearProc)BPP08_DevClear, t.clear) << what;
    EXPECT_EQ((DevSetColorProc)BPP08_DevSetColor, t.setColor) << what;
    EXPECT_EQ((DevCopyRectProc)DirtyMarkCopy, t.copyRect) << what;
    EXPECT_EQ(translate ? (DevPresentProc)BPP08_DevPresentTranslated : (DevPresentProc)BPP08_DevPresent, t.present)
        << what;
    for (int slot = 0; slot < DEV_SLOT_COUNT; ++slot) {
        if (slot == 12 || slot == 16 || slot == 17 || slot == 19 || slot == 20 || slot == 21) continue;
        EXPECT_EQ((DevProc)Untouched, t.slot[slot]) << what << ", slot " << slot;
    }
}

void ExpectAccepted(const DevProcTable& t, const Expected& e, uint32_t translate, const std::string& what)
{
    EXPECT_EQ(e.trap ? TrapByName(e.trap) : (DevTrapezoidsProc)BPP08_DevTrapezoidsGeneric, t.trapezoids) << what;
    EXPECT_EQ(e.line && e.trap ? LineByName(e.line) : (DevLineProc)BPP08_DevLineGeneric, t.line) << what;
    ExpectServices(t, translate, what);
}

std::string Describe(uint32_t state, uint8_t light)
{
    char text[64];
    snprintf(text, sizeof text, "state 0x%x, lightMode %u", state, light);
    return text;
}

// The line routines are the family's four, at their keys; the family's
// table holds exactly the routines of the names; the keys listed as
// generic have none.
TEST(EightBitTable, LinesRoutinesAndGenericKeys)
{
    ASSERT_EQ(4u, g_bpp08Family.lineCount);
    for (uint32_t i = 0; i < g_bpp08Family.lineCount; ++i) {
        const DevLineVariant& l = g_bpp08Family.lines[i];
        const Expected e = Lookup(l.key, 0);
        EXPECT_STREQ(e.line, l.name) << std::hex << l.key;
    }
    for (const auto& l : kLines) {
        EXPECT_NE(nullptr, LineByName(l.name)) << l.name;
        EXPECT_NE(nullptr, Lookup(l.key, 0).trap) << l.name << " has no trapezoid routine beside it";
    }
    std::set<std::string> names;
    for (const RoutineName& r : Routines08()) {
        names.insert(r.name);
        EXPECT_NE(nullptr, TrapByName(r.name.c_str())) << r.name << " is missing from the family's table";
    }
    EXPECT_EQ(112u, names.size());
    for (uint32_t i = 0; i < g_bpp08Family.variantCount; ++i) {
        const DevTrapVariant& v = g_bpp08Family.variants[i];
        const Expected e = Lookup(v.key, v.lightMode);
        ASSERT_NE(nullptr, e.trap) << v.name << " at a key its name does not give";
        EXPECT_STREQ(e.trap, v.name) << std::hex << v.key;
    }

    for (const auto& g : kGenericKeys) {
        for (int light : kModes) {
            if (g.light != -1 && g.light != light) continue;
            EXPECT_EQ(nullptr, Lookup(g.key, static_cast<uint8_t>(light)).trap) << std::hex << g.key << " mode "
                                                                                << light;
        }
    }
}

// Every reachable key (untextured: the 16 combinations of smooth, depth,
// dither and colour index; textured: the 128 of the other seven key bits)
// under every lighting mode, alone and with each ignored bit added, on a
// fresh table each time.
TEST(EightBitSelection, EveryKeyInstallsTheRoutineItsNameGives)
{
    const uint32_t untexturedBits[] = {DEV_SMOOTH, DEV_DEPTH, DEV_DITHER, DEV_COLORINDEX};
    const uint32_t texturedBits[] = {DEV_SMOOTH, DEV_MODULATE, DEV_DEPTH, DEV_DITHER, DEV_COLORKEY,
                                     DEV_COLORINDEX, DEV_AFFINE};
    std::vector<uint32_t> keys;
    for (uint32_t m = 0; m < 16; ++m) {
        uint32_t k = 0;
        for (int b = 0; b < 4; ++b)
            if (m & (1u << b)) k |= untexturedBits[b];
        keys.push_back(k);
    }
    for (uint32_t m = 0; m < 128; ++m) {
        uint32_t k = DEV_TEXTURE;
        for (int b = 0; b < 7; ++b)
            if (m & (1u << b)) k |= texturedBits[b];
        keys.push_back(k);
    }
    int routines = 0, lines = 0;
    for (uint32_t key : keys) {
        for (int mode : kModes) {
            const uint8_t light = static_cast<uint8_t>(mode);
            const Expected e = Lookup(key, light);
            if (e.trap && light == (key & DEV_MODULATE ? e.light : 0)) ++routines;
            if (e.line && light == 0) ++lines;
            std::vector<uint32_t> extras(std::begin(kIgnoredAlways), std::end(kIgnoredAlways));
            extras.push_back(0);
            if (!(key & DEV_TEXTURE)) extras.push_back(kTexturedOnly);
            for (uint32_t extra : extras) {
                for (uint32_t translate : {0u, 1u}) {
                    Selection s;
                    s.ctx->translate = translate ? 0x100 : 0;  // any nonzero word
                    s.ctx->depthFunc = translate ? 3 : 1;
                    const DevProcTable& t = s.Select(key | extra, light);
                    ExpectAccepted(t, e, translate, Describe(key | extra, light));
                }
            }
        }
    }
    // 112 routines at 120 keys (the two Tx rows with a second key), 4 lines.
    EXPECT_EQ(120, routines);
    EXPECT_EQ(4, lines);
}

// The keys listed as generic keep the forwarder.
TEST(EightBitSelection, GenericKeysKeepTheForwarder)
{
    for (const auto& g : kGenericKeys) {
        for (int mode : kModes) {
            if (g.light != -1 && g.light != mode) continue;
            const uint8_t light = static_cast<uint8_t>(mode);
            Selection s;
            const DevProcTable& t = s.Select(g.key, light);
            EXPECT_EQ((DevTrapezoidsProc)BPP08_DevTrapezoidsGeneric, t.trapezoids) << Describe(g.key, light);
            EXPECT_EQ((DevLineProc)BPP08_DevLineGeneric, t.line) << Describe(g.key, light);
            ExpectServices(t, 0, Describe(g.key, light));
        }
    }
}

// One table through a run of validations: slots 16 and 17 never keep a
// routine chosen for an earlier state.
TEST(EightBitSelection, NothingSurvivesFromTheStateBefore)
{
    Selection s;
    const struct {
        uint32_t state;
        uint8_t depthFunc;
    } run[] = {{0x1000, 1}, {0x0, 1}, {0x1009, 3}, {0x1009, 2}, {0x1001, 2}, {0x4005 | DEV_DITHER, 0},
               {0x10 | 0x1001, 1}, {0x101001, 1}, {0x1008, 1}, {0x200003, 1}, {0x1008, 0}};
    for (const auto& r : run) {
        s.ctx->depthFunc = r.depthFunc;
        const DevProcTable& t = s.Select(r.state, 0);
        const bool rejected = (r.state & DEV_GENERIC_MASK) || ((r.state & DEV_DEPTH) && r.depthFunc != 1 &&
                                                                r.depthFunc != 3);
        const Expected e = rejected ? Expected() : Lookup(DevSelectKey(&g_bpp08Family, r.state), 0);
        EXPECT_EQ(e.trap ? TrapByName(e.trap) : (DevTrapezoidsProc)BPP08_DevTrapezoidsGeneric, t.trapezoids)
            << Describe(r.state, 0);
        EXPECT_EQ(e.line && e.trap ? LineByName(e.line) : (DevLineProc)BPP08_DevLineGeneric, t.line)
            << Describe(r.state, 0);
    }
}

// A generic bit, or depth with a compare mode other than 1 or 3: the
// defaults only. Without DEV_DEPTH the compare mode is not read.
TEST(EightBitSelection, RejectedStatesKeepTheDefaults)
{
    std::vector<std::pair<uint32_t, uint8_t>> rejected;
    for (uint32_t bit = 1; bit; bit <<= 1)
        if (bit & DEV_GENERIC_MASK) rejected.push_back({0x1001 | bit, 1});
    for (uint8_t f : {uint8_t(0), uint8_t(2), uint8_t(4), uint8_t(0x81), uint8_t(0xff)}) {
        rejected.push_back({0x1009, f});
        rejected.push_back({0x8, f});
    }
    for (const auto& r : rejected) {
        for (uint32_t translate : {0u, 1u}) {
            Selection s;
            s.ctx->depthFunc = r.second;
            s.ctx->translate = translate;
            const DevProcTable& t = s.Select(r.first, 0);
            const std::string what = Describe(r.first, 0) + ", depthFunc " + std::to_string(r.second);
            EXPECT_EQ((DevTrapezoidsProc)BPP08_DevTrapezoidsGeneric, t.trapezoids) << what;
            EXPECT_EQ((DevLineProc)BPP08_DevLineGeneric, t.line) << what;
            ExpectServices(t, translate, what);
        }
    }
    for (uint8_t f : {uint8_t(0), uint8_t(2), uint8_t(0xff)}) {
        Selection s;
        s.ctx->depthFunc = f;
        ExpectAccepted(s.Select(0x1001, 0), Lookup(0x1001, 0), 0, "SsD, depthFunc " + std::to_string(f));
    }
}

// The front buffer: left alone unless the driver made it.
TEST(EightBitSelection, FrontBufferGuard)
{
    for (uint16_t flags : {uint16_t(0), uint16_t(DEVBUF_VALID | DEV_BUFFER_FRONT), uint16_t(0xfffd)}) {
        Selection s;
        s.ctx->drawBuffer = &s.ctx->front;
        s.ctx->front.flags = flags;
        const DevProcTable& t = s.Select(0x1001, 0);
        for (int slot = 0; slot < DEV_SLOT_COUNT; ++slot)
            EXPECT_EQ((DevProc)Untouched, t.slot[slot]) << "flags " << flags << ", slot " << slot;
    }
    for (uint16_t flags : {uint16_t(DEVBUF_DIRECT_FRONT), uint16_t(DEVBUF_DRIVER)}) {
        Selection s;
        s.ctx->drawBuffer = &s.ctx->front;
        s.ctx->front.flags = flags;
        ExpectAccepted(s.Select(0x1001, 0), Lookup(0x1001, 0), 0, "front flags " + std::to_string(flags));
    }
    // The guard is for the front buffer only.
    Selection s;
    s.ctx->back.flags = 0;
    ExpectAccepted(s.Select(0x1008, 0), Lookup(0x1008, 0), 0, "back buffer without driver flag");
}

}  // namespace
