// The 8-bit selector against the family's whole variant table, written out
// here as data: every reachable state key, with and without the bits the
// selection ignores, must put the listed routine in slot 16 and the listed
// line routine (or the generic forwarders) in slot 17, and touch no slot
// beyond the six it owns.
#include "harness.h"
#include "frame/paths.h"
#include "frame/select.h"

#include "bpp08/services08.h"

#include <gtest/gtest.h>

#include <stdio.h>

#include <set>
#include <string>
#include <vector>

using namespace drvtest;

namespace {

// Whether a row's routines exist yet. The textured rows are Pending until
// the textured routines land: a pending row expects the generic forwarder,
// and fails once one of its routines appears in g_bpp08Family.variants, so
// whoever lands them switches the row to Built here.
enum Status { Built, Pending };

// One row of the table: a base key (and a second key installing the same
// routines), the lighting mode for keys with DEV_MODULATE, and the routines
// for base + 0, + DEV_DEPTH, + DEV_DITHER and + both; the line routines
// for the same four columns.
struct TableRow {
    uint32_t key, key2;
    uint8_t light;
    const char* trap[4];
    const char* line[4];
    Status status;
};

const uint32_t kColumn[4] = {0, DEV_DEPTH, DEV_DITHER, DEV_DEPTH | DEV_DITHER};
const uint32_t kTx = DEV_TEXTURE | DEV_AFFINE, kPTx = DEV_TEXTURE;
const uint32_t kTr = DEV_COLORKEY, kM = DEV_MODULATE, kS = DEV_SMOOTH, kI = DEV_COLORINDEX;

#define T4(n) {"BPP08_DevTrapezoids" n, "BPP08_DevTrapezoids" n "Z", "BPP08_DevTrapezoids" n "D", \
               "BPP08_DevTrapezoids" n "ZD"}
#define NOLINES {nullptr, nullptr, nullptr, nullptr}

const TableRow kTable[] = {
    {0, 0, 0, T4("Fs"), {nullptr, nullptr, "BPP08_DevLineFsD", "BPP08_DevLineFsZD"}, Built},
    {kS, 0, 0, T4("Ss"), {nullptr, nullptr, "BPP08_DevLineSsD", "BPP08_DevLineSsZD"}, Built},
    {kI, 0, 0, {"BPP08_DevTrapezoidsFsI", "BPP08_DevTrapezoidsFsIZ", "BPP08_DevTrapezoidsFsID",
                "BPP08_DevTrapezoidsFsIZD"}, NOLINES, Built},
    {kI | kS, 0, 0, {"BPP08_DevTrapezoidsSsI", "BPP08_DevTrapezoidsSsIZ", "BPP08_DevTrapezoidsSsID",
                     "BPP08_DevTrapezoidsSsIZD"}, NOLINES, Built},
    {kPTx, 0, 0, T4("PTx"), NOLINES, Built},
    {kPTx | kTr, 0, 0, T4("PTxTr"), NOLINES, Built},
    {kPTx | kM, 0, DEV_LIGHT_MR, T4("PTxMRFs"), NOLINES, Built},
    {kPTx | kM | kS, 0, DEV_LIGHT_MR, T4("PTxMRSs"), NOLINES, Built},
    {kPTx | kM | kS, 0, DEV_LIGHT_MM, T4("PTxMMSs"), NOLINES, Built},
    {kPTx | kM | kS, 0, DEV_LIGHT_MS, T4("PTxMSSs"), NOLINES, Built},
    {kPTx | kTr | kM, 0, DEV_LIGHT_MR, T4("PTxTrMRFs"), NOLINES, Built},
    {kPTx | kTr | kM | kS, 0, DEV_LIGHT_MR, T4("PTxTrMRSs"), NOLINES, Built},
    {kPTx | kTr | kM | kS, 0, DEV_LIGHT_MM, T4("PTxTrMMSs"), NOLINES, Built},
    {kPTx | kTr | kM | kS, 0, DEV_LIGHT_MS, T4("PTxTrMSSs"), NOLINES, Built},
    {kPTx | kI, 0, 0, {"BPP08_DevTrapezoidsPTxI", "BPP08_DevTrapezoidsPTxIZ", "BPP08_DevTrapezoidsPTxID",
                       "BPP08_DevTrapezoidsPTxIZD"}, NOLINES, Built},
    {kPTx | kTr | kI, 0, 0, {"BPP08_DevTrapezoidsPTxTrI", "BPP08_DevTrapezoidsPTxTrIZ",
                             "BPP08_DevTrapezoidsPTxTrID", "BPP08_DevTrapezoidsPTxTrIZD"}, NOLINES, Built},
    // The unlit affine texture ignores DEV_SMOOTH.
    {kTx, kTx | kS, 0, T4("Tx"), NOLINES, Built},
    {kTx | kTr, kTx | kTr | kS, 0, T4("TxTr"), NOLINES, Built},
    {kTx | kM, 0, DEV_LIGHT_MR, T4("TxMRFs"), NOLINES, Built},
    {kTx | kM | kS, 0, DEV_LIGHT_MR, T4("TxMRSs"), NOLINES, Built},
    {kTx | kM | kS, 0, DEV_LIGHT_MM, T4("TxMMSs"), NOLINES, Built},
    {kTx | kM | kS, 0, DEV_LIGHT_MS, T4("TxMSSs"), NOLINES, Built},
    {kTx | kTr | kM, 0, DEV_LIGHT_MR, T4("TxTrMRFs"), NOLINES, Built},
    {kTx | kTr | kM | kS, 0, DEV_LIGHT_MR, T4("TxTrMRSs"), NOLINES, Built},
    {kTx | kTr | kM | kS, 0, DEV_LIGHT_MM, T4("TxTrMMSs"), NOLINES, Built},
    {kTx | kTr | kM | kS, 0, DEV_LIGHT_MS, T4("TxTrMSSs"), NOLINES, Built},
    {kTx | kI, 0, 0, {"BPP08_DevTrapezoidsTxI", "BPP08_DevTrapezoidsTxIZ", "BPP08_DevTrapezoidsTxID",
                      "BPP08_DevTrapezoidsTxIZD"}, NOLINES, Built},
    {kTx | kTr | kI, 0, 0, {"BPP08_DevTrapezoidsTxTrI", "BPP08_DevTrapezoidsTxTrIZ", "BPP08_DevTrapezoidsTxTrID",
                            "BPP08_DevTrapezoidsTxTrIZD"}, NOLINES, Built},
};

// Reachable textured keys that keep the generic trapezoid forwarder, as
// listed beside the table (light -1: under every mode).
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

// What the table says for a masked key and a lighting mode.
struct Expected {
    const char* trap = nullptr;  // null: the generic forwarder
    const char* line = nullptr;
    const TableRow* row = nullptr;
};

Expected Lookup(uint32_t key, uint8_t light)
{
    Expected e;
    for (const TableRow& r : kTable) {
        if ((r.key & DEV_MODULATE) && r.light != light) continue;
        for (int c = 0; c < 4; ++c) {
            if (key != (r.key | kColumn[c]) && !(r.key2 && key == (r.key2 | kColumn[c]))) continue;
            EXPECT_EQ(nullptr, e.row) << std::hex << key << " is listed twice";
            e.row = &r;
            e.trap = r.trap[c];
            e.line = r.line[c];
        }
    }
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
    const bool built = e.trap && e.row->status == Built;
    EXPECT_EQ(built ? TrapByName(e.trap) : (DevTrapezoidsProc)BPP08_DevTrapezoidsGeneric, t.trapezoids) << what;
    EXPECT_EQ(e.line && built ? LineByName(e.line) : (DevLineProc)BPP08_DevLineGeneric, t.line) << what;
    ExpectServices(t, translate, what);
}

std::string Describe(uint32_t state, uint8_t light)
{
    char text[64];
    snprintf(text, sizeof text, "state 0x%x, lightMode %u", state, light);
    return text;
}

// The table itself: 112 distinct routine names, four line routines; every
// built name resolves in the family's tables at the same key, no pending
// name does yet, and the family has no routine the table lacks.
TEST(EightBitTable, ListsEveryRoutineOnceAndMatchesTheFamily)
{
    std::set<std::string> names, lines;
    for (const TableRow& r : kTable) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_TRUE(names.insert(r.trap[c]).second) << r.trap[c];
            if (r.line[c]) {
                EXPECT_TRUE(lines.insert(r.line[c]).second) << r.line[c];
                EXPECT_NE(nullptr, LineByName(r.line[c])) << r.line[c];
            }
            const bool present = TrapByName(r.trap[c]) != nullptr;
            if (r.status == Built)
                EXPECT_TRUE(present) << r.trap[c] << " is missing from the family's table";
            else
                EXPECT_FALSE(present) << r.trap[c] << " has landed: switch its row to Built";
        }
    }
    EXPECT_EQ(112u, names.size());
    EXPECT_EQ(4u, lines.size());

    for (uint32_t i = 0; i < g_bpp08Family.variantCount; ++i) {
        const DevTrapVariant& v = g_bpp08Family.variants[i];
        const Expected e = Lookup(v.key, v.lightMode);
        ASSERT_NE(nullptr, e.trap) << v.name << " at a key the table does not list";
        EXPECT_STREQ(e.trap, v.name) << std::hex << v.key;
    }
    ASSERT_EQ(4u, g_bpp08Family.lineCount);
    for (uint32_t i = 0; i < g_bpp08Family.lineCount; ++i) {
        const DevLineVariant& l = g_bpp08Family.lines[i];
        const Expected e = Lookup(l.key, 0);
        EXPECT_STREQ(e.line, l.name) << std::hex << l.key;
    }

    // The keys listed as generic are not in the table.
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
TEST(EightBitSelection, EveryKeyInstallsWhatTheTableLists)
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
            if (e.trap && light == (key & DEV_MODULATE ? e.row->light : 0)) ++routines;
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
        const bool built = e.trap && e.row->status == Built;
        EXPECT_EQ(built ? TrapByName(e.trap) : (DevTrapezoidsProc)BPP08_DevTrapezoidsGeneric, t.trapezoids)
            << Describe(r.state, 0);
        EXPECT_EQ(e.line && built ? LineByName(e.line) : (DevLineProc)BPP08_DevLineGeneric, t.line)
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
