// The 24-bit family's record, its selection and the driver's name table.
#include "bpp24/bpp24_trapezoids.h"
#include "bpp24/services24.h"
#include "frame/select.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

TEST(Family24, RecordHoldsTheVariantTable) {
    EXPECT_EQ(g_bpp24Family.variants, g_bpp24TrapVariants);
    EXPECT_EQ(g_bpp24Family.variantCount, g_bpp24TrapVariantCount);
    EXPECT_EQ(g_bpp24TrapVariantCount, 48u);  // 44 routines, 4 of them on a second key
}

// The 44 names by variant number, each with its one trailing blank.
TEST(Family24, NameTableInVariantOrder) {
    const char* const order[] = {
        "Fs",         "FsZ",         "Ss",          "SsZ",           "Tx",          "TxZ",
        "TxTr",       "TxTrZ",       "TxMRFs",      "TxMRFsZ",       "TxMRSs",      "TxMRSsZ",
        "TxTrMRFs",   "TxTrMRFsZ",   "TxTrMRSs",    "TxTrMRSsZ",     "TxMMSs",      "TxMMSsZ",
        "TxTrMMSs",   "TxTrMMSsZ",   "TxMSSs",      "TxMSSsZ",       "TxTrMSSs",    "TxTrMSSsZ",
        "PTx",        "PTxZ",        "PTxTr",       "PTxTrZ",        "PTxMRFs",     "PTxMRFsZ",
        "PTxMRSs",    "PTxMRSsZ",    "PTxTrMRFs",   "PTxTrMRFsZ",    "PTxTrMRSs",   "PTxTrMRSsZ",
        "PTxMMSs",    "PTxMMSsZ",    "PTxTrMMSs",   "PTxTrMMSsZ",    "PTxMSSs",     "PTxMSSsZ",
        "PTxTrMSSs",  "PTxTrMSSsZ",
    };
    static_assert(sizeof order / sizeof order[0] == kBpp24TrapRoutineCount, "44 routines");
    for (uint32_t i = 0; i < kBpp24TrapRoutineCount; ++i) {
        EXPECT_EQ(std::string(g_bpp24TrapNames[i]), std::string("BPP24_DevTrapezoids") + order[i] + " ") << i;
        EXPECT_EQ(std::string(g_bpp24TrapNames[i]), std::string(g_bpp24TrapVariants[i].name) + " ") << i;
    }
    EXPECT_STREQ(g_bpp24TrapNames[43], "BPP24_DevTrapezoidsPTxTrMSSsZ ");
}

// The selector installs the family's routines: ignored bits stay ignored,
// affine unlit rows also take DEV_SMOOTH, and keys without a row keep the
// forwarder.
TEST(Family24, SelectorInstallsTheFamilysRoutines) {
    const struct {
        uint32_t state;
        uint8_t lightMode, depthFunc;
        DevTrapezoidsProc want;
    } cases[] = {
        {0x1000, 0, 1, BPP24_DevTrapezoidsFs},          // DEV_DITHER only
        {0x100000 | 0x1009, 0, 3, BPP24_DevTrapezoidsSsZ},
        {0x4005, 0, 1, BPP24_DevTrapezoidsSs},           // modulate and key without texture
        {0x200003, 0, 1, BPP24_DevTrapezoidsTx},
        {0x20400b, 0, 1, BPP24_DevTrapezoidsTxTrZ},
        {0x3, 0, 1, BPP24_DevTrapezoidsGeneric},
        {0x7, 2, 1, BPP24_DevTrapezoidsPTxMMSs},
        {0x6, 2, 1, BPP24_DevTrapezoidsGeneric},
        {0x40f, 3, 1, BPP24_DevTrapezoidsGeneric},       // a bit of the generic mask
        {0x20400f, 3, 3, BPP24_DevTrapezoidsTxTrMSSsZ},
        {0x7, 4, 1, BPP24_DevTrapezoidsGeneric},
    };
    for (const auto& t : cases) {
        DevContext ctx;
        memset(&ctx, 0, sizeof ctx);
        DriverBlock block;
        memset(&block, 0, sizeof block);
        ctx.driverBlock = &block;
        ctx.drawBuffer = &ctx.back;
        ctx.state = t.state;
        ctx.lightMode = t.lightMode;
        ctx.depthFunc = t.depthFunc;
        BPP24_DevSelectProcs(&ctx);
        EXPECT_EQ(block.procs.trapezoids, t.want) << std::hex << t.state << " mode " << unsigned(t.lightMode);
        EXPECT_EQ(block.procs.clear, (DevClearProc)BPP24_DevClear);
    }
}

}  // namespace
