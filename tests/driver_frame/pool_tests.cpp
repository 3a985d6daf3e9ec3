// The block pool (first fit over runs, no merging) and global allocations.
#include <string.h>
#include "frame_fixtures.h"
#include "testsupport.h"

namespace {

// One step of a sequence: allocate `size` bytes and expect block `block`
// (-1: refused), or free through block `block` plus `offset` bytes.
struct PoolStep {
    enum Kind { Alloc, Free } kind;
    uint32_t size;   // Alloc: bytes; Free: byte offset into the block
    int block;
};

struct PoolCase {
    const char* name;
    std::vector<PoolStep> steps;
    size_t messages;
};

PoolStep A(uint32_t size, int block) { return {PoolStep::Alloc, size, block}; }
PoolStep F(int block, uint32_t offset = 0) { return {PoolStep::Free, offset, block}; }

int BlockOf(void* p) {
    return p ? static_cast<int>((static_cast<uint8_t*>(p) - g_blockPool) / DEV_POOL_BLOCK_SIZE) : -1;
}

// Walking by length from block 0 must visit every run start and land on 256;
// each run counts down to 1 and shares one free flag.
void ExpectRunTableConsistent() {
    uint32_t b = 0;
    while (b < DEV_POOL_BLOCKS) {
        uint32_t n = g_blockRuns[b].length;
        ASSERT_GE(n, 1u) << "block " << b;
        ASSERT_LE(b + n, static_cast<uint32_t>(DEV_POOL_BLOCKS)) << "block " << b;
        for (uint32_t j = 0; j < n; ++j) {
            EXPECT_EQ(g_blockRuns[b + j].length, n - j) << "block " << b + j;
            EXPECT_EQ(g_blockRuns[b + j].free, g_blockRuns[b].free) << "block " << b + j;
        }
        b += n;
    }
    EXPECT_EQ(b, static_cast<uint32_t>(DEV_POOL_BLOCKS));
}

// Every pool test is bounded: a first-fit search that never reaches the end
// of the run table ends the program in seconds, not at CTest's time-out.
class Pool : public FrameTest {
    testsupport::ScopedDeadline deadline_{
        std::string("Pool.") + ::testing::UnitTest::GetInstance()->current_test_info()->name(), 20000};
};

TEST_F(Pool, SequencesFollowFirstFitWithoutMerging) {
    const PoolCase cases[] = {
        {"whole pool, then nothing", {A(65536, 0), A(1, -1)}, 1},
        {"above 64 KB refused, pool unchanged", {A(65537, -1), A(0xffffffffu, -1), A(1, 0)}, 2},
        {"1, 256 and 257 bytes", {A(1, 0), A(256, 1), A(257, 2), A(1, 4)}, 0},
        {"zero bytes reserve nothing", {A(0, 0), A(1, 0), A(0, 1), A(1, 1)}, 0},
        {"freed run too short is skipped", {A(512, 0), A(256, 2), F(0), A(768, 3), A(512, 0)}, 0},
        {"adjacent freed singles stay apart", {A(256, 0), A(256, 1), A(256, 2), F(0), F(1),
                                               A(512, 3), A(256, 0), A(256, 1)}, 0},
        {"free through an interior address", {A(300, 0), A(10, 2), F(0, 12), A(512, 0)}, 0},
        {"exhaustion then recovery", {A(65536 - 256, 0), A(512, -1), A(256, 255), A(1, -1),
                                      F(255), A(1, 255)}, 2},
        {"172-byte blocks until full", {A(172, 0), A(172, 1), A(65536 - 512, 2), A(172, -1),
                                        F(1), A(172, 1)}, 1},
    };
    for (const PoolCase& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::MessageLog::Clear();
        DevMemoryInit();
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const PoolStep& s = c.steps[i];
            SCOPED_TRACE(i);
            if (s.kind == PoolStep::Alloc) {
                EXPECT_EQ(BlockOf(VnrDevMalloc(s.size)), s.block);
            } else {
                VnrDevFree(g_blockPool + s.block * DEV_POOL_BLOCK_SIZE + s.size);
            }
            ExpectRunTableConsistent();
        }
        ASSERT_EQ(Messages().size(), c.messages);
        for (const auto& m : Messages()) {
            EXPECT_EQ(m.owner, nullptr);
            EXPECT_EQ(m.text, "VXN: Low on memory, unable to proceed");
            EXPECT_EQ(m.caption, "VXN");
            EXPECT_EQ(m.type, static_cast<UINT>(MB_ICONHAND));
        }
    }
}

TEST_F(Pool, ZeroFillsExactlyTheRequestAndReinitFreesAll) {
    DevMemoryInit();
    uint8_t* p = static_cast<uint8_t*>(VnrDevMalloc(256));
    memset(p, 0xAA, 256);
    VnrDevFree(p);
    uint8_t* q = static_cast<uint8_t*>(VnrDevMalloc(10));
    ASSERT_EQ(q, p);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(q[i], 0) << i;
    EXPECT_EQ(q[10], 0xAA);

    DevBufferExtra* e = DevRecordAlloc();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(BlockOf(e), 1);
    DevRecordFree(e);

    ASSERT_NE(VnrDevMalloc(65536 - 512), nullptr);
    DevMemoryInit();
    EXPECT_EQ(VnrDevMalloc(65536), g_blockPool);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Pool, FreeOutsideThePoolTouchesNothing) {
    DevMemoryInit();
    VnrDevMalloc(300);
    DevBlockRun before[DEV_POOL_BLOCKS];
    memcpy(before, g_blockRuns, sizeof before);
    int local = 0;
    VnrDevFree(nullptr);
    VnrDevFree(&local);
    VnrDevFree(g_blockPool + sizeof g_blockPool);
    VnrDevFree(reinterpret_cast<void*>(reinterpret_cast<uintptr_t>(g_blockPool) - 1));
    EXPECT_EQ(memcmp(before, g_blockRuns, sizeof before), 0);
}

TEST_F(Pool, GlobalAllocationsAreZeroedAlignedAndFreed) {
    uint8_t* p = static_cast<uint8_t*>(DevGlobalAlloc(1000));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 4, 0u);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(p[i], 0) << i;
    HGLOBAL h = *reinterpret_cast<HGLOBAL*>(p - 4);
    EXPECT_EQ(GlobalHandle(p - 4), h);
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 1u);
    memset(p, 0x5A, 1000);
    DevGlobalFree(p);
    DevGlobalFree(nullptr);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Pool, GlobalAllocationFailureIsReportedAndNull) {
    // The second size would wrap the room for the handle word.
    for (uint32_t size : {0xfff00000u, 0xfffffffeu, 0xffffffffu}) {
        SCOPED_TRACE(size);
        testsupport::MessageLog::Clear();
        EXPECT_EQ(DevGlobalAlloc(size), nullptr);
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0].text, "DevGlobalAlloc() failed");
        EXPECT_EQ(Messages()[0].caption, "VXN");
        EXPECT_EQ(Messages()[0].type, static_cast<UINT>(MB_ICONHAND));
    }
}

}  // namespace
