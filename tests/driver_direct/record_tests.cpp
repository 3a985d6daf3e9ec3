// Direct path: a context record handed over without being zeroed. The
// library owns and fills the record; the driver follows no pointer in it
// that it did not put there itself.
#include "direct_support.h"

#include <string.h>

using namespace drvtest;

namespace {

// A record poisoned with `byte`, then the driver's pointer words aimed as asked.
struct Poison {
    const char* name;
    uint8_t byte;
    bool aimAtLiveRecords;  // side records and masks aimed at another context's
};

std::vector<uint8_t> Bytes(const void* p, size_t n) { return std::vector<uint8_t>((const uint8_t*)p, (const uint8_t*)p + n); }

class UnzeroedRecord : public DirectTest, public ::testing::WithParamInterface<Poison> {};

// A zeroed twin goes through the same calls; the poisoned record comes out
// the same, and another context whose records the stale words name is
// left untouched.
TEST_P(UnzeroedRecord, IsAsSafeAsAZeroedOne)
{
    const Poison& p = GetParam();
    auto other = NewContext(0, 0, 64, 32);
    ASSERT_EQ(0x4c0u, DevBufferCreate(other->get(), 0x4c0));
    DevContext* o = other->get();
    const std::vector<uint8_t> otherBlock = Bytes(o->driverBlock, sizeof(DriverBlock));
    const std::vector<uint8_t> otherBack = Bytes(o->back.extra, sizeof(DevBufferExtra));
    const std::vector<uint8_t> otherMask = Bytes(o->dirtyA, 4 * o->dirtyRows);
    const int baseline = PoolBlocksInUse();

    auto zeroed = NewContext(10, 20, 110, 70);
    std::unique_ptr<Context> poisoned(new Context(&base_));
    poisoned->SetWindow(10, 20, 110, 70);
    (*poisoned)->hdc = WindowDc();
    DevContext* ctx = poisoned->get();
    PoisonRecord(ctx, p.byte, RecordPath::Direct);
    if (p.aimAtLiveRecords) {
        ctx->front.extra = o->front.extra;
        ctx->back.extra = o->back.extra;
        ctx->depth.extra = o->depth.extra;
        ctx->dirtyA = o->dirtyA;
        ctx->dirtyB = o->dirtyB;
        ctx->dirtyRows = o->dirtyRows;
        ctx->driverBlock = o->driverBlock;
        ctx->procs = o->procs;
    }
    ASSERT_EQ(1u, DevContextCreate(ctx));

    for (DevContext* c : {zeroed->get(), ctx}) {
        EXPECT_EQ(0x4c0u, DevBufferCreate(c, 0x40));  // keeps back and depth as they are
        EXPECT_EQ(0x4c0u, DevBufferCreate(c, 0x4c0));
        EXPECT_EQ(0x4c0u, DevBufferResize(c, 0x4c0, DEV_RESIZE_MOVED | DEV_RESIZE_SIZED));
        EXPECT_EQ(1u, DevBufferNotify(c, 0x4c0, 0x1));
        EXPECT_EQ(1u, DevContextSwitch(c, 1));
        EXPECT_EQ(1u, DevContextValidate(c));
    }
    DevContext* z = zeroed->get();
    for (auto pair : {std::make_pair(&z->front, &ctx->front), std::make_pair(&z->back, &ctx->back),
                      std::make_pair(&z->depth, &ctx->depth)}) {
        EXPECT_EQ(pair.first->flags, pair.second->flags);
        EXPECT_EQ(pair.first->width, pair.second->width);
        EXPECT_EQ(pair.first->height, pair.second->height);
        EXPECT_EQ(pair.first->pitch, pair.second->pitch);
        ASSERT_NE(nullptr, pair.second->extra);
        EXPECT_EQ(0, memcmp(pair.first->extra, pair.second->extra, 8)) << "origin";
    }
    EXPECT_EQ(z->dirtyRows, ctx->dirtyRows);
    EXPECT_NE(o->dirtyA, ctx->dirtyA);
    EXPECT_NE(o->driverBlock, ctx->driverBlock);
    EXPECT_EQ(0, memcmp(z->procs, ctx->procs, sizeof(DevProcTable)));

    for (DevContext* c : {z, ctx}) {
        EXPECT_EQ(0x4c0u, DevBufferDelete(c, 0x4c0));
        EXPECT_EQ(1u, DevContextDelete(c));
    }
    EXPECT_EQ(baseline, PoolBlocksInUse());
    EXPECT_EQ(otherBlock, Bytes(o->driverBlock, sizeof(DriverBlock)));
    EXPECT_EQ(otherBack, Bytes(o->back.extra, sizeof(DevBufferExtra)));
    EXPECT_EQ(otherMask, Bytes(o->dirtyA, 4 * o->dirtyRows));
    contexts_.push_back(std::move(other));
}

INSTANTIATE_TEST_SUITE_P(Table, UnzeroedRecord,
                         ::testing::Values(Poison{"Garbage", 0xa5, false}, Poison{"Ones", 0xff, false},
                                           Poison{"StaleLiveRecords", 0x00, true}),
                         [](const ::testing::TestParamInfo<Poison>& i) { return std::string(i.param.name); });

// A record reused after its buffers were deleted, its descriptors' flags
// cleared and an old side record still named, whose block another context
// holds now: the driver takes a fresh record and writes nothing of the other's.
TEST_F(DirectTest, ReusedRecordNamingAnotherContextsBlockTakesAFreshOne)
{
    auto c = NewContext(0, 0, 100, 50);
    DevContext* ctx = c->get();
    ASSERT_EQ(0x4c0u, DevBufferCreate(ctx, 0x4c0));
    DevBufferExtra* stale[3] = {ctx->front.extra, ctx->back.extra, ctx->depth.extra};
    ASSERT_EQ(0x4c0u, DevBufferDelete(ctx, 0x4c0));
    auto other = NewContext(30, 40, 94, 72);  // takes the freed blocks
    ASSERT_EQ(0x4c0u, DevBufferCreate(other->get(), 0x4c0));
    std::vector<bool> used(DEV_POOL_BLOCKS);
    for (int b = 0; b < DEV_POOL_BLOCKS; ++b) used[b] = !g_blockRuns[b].free;
    for (DevBufferExtra* e : stale) ASSERT_TRUE(used[((uint8_t*)e - g_blockPool) / DEV_POOL_BLOCK_SIZE]);
    const std::vector<uint8_t> before(g_blockPool, g_blockPool + sizeof g_blockPool);
    for (uint32_t mask : {0x40u, 0x4c0u}) {
        ctx->front.extra = stale[0], ctx->back.extra = stale[1], ctx->depth.extra = stale[2];
        ctx->front.flags = ctx->back.flags = ctx->depth.flags = 0;
        ASSERT_EQ(0x4c0u, DevBufferCreate(ctx, mask));
        for (int k = 0; k < 3; ++k) EXPECT_NE(stale[k], (&ctx->front)[k].extra) << mask;
        for (int b = 0; b < DEV_POOL_BLOCKS; ++b) {
            if (!used[b]) continue;
            ASSERT_EQ(0, memcmp(&before[b * DEV_POOL_BLOCK_SIZE], g_blockPool + b * DEV_POOL_BLOCK_SIZE,
                                DEV_POOL_BLOCK_SIZE))
                << "block " << b << " of another context written, mask " << mask;
        }
        // What the driver made for this record is its own again to free
        // (with mask 0x40 the back and depth descriptors were kept as handed over).
        EXPECT_EQ(mask, DevBufferDelete(ctx, 0x4c0));
    }
    for (int b = 0; b < DEV_POOL_BLOCKS; ++b) EXPECT_EQ(used[b], !g_blockRuns[b].free) << "block " << b;
    contexts_.push_back(std::move(c));
    contexts_.push_back(std::move(other));
}

}  // namespace
