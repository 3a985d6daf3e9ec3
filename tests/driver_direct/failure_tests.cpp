// Direct path: global memory and the block pool running out part way
// through a create. What was made stays deletable, what was not made is
// not described as made, and a delete afterwards leaves nothing held.
#include "direct_support.h"

#include <algorithm>

using namespace drvtest;

namespace {

const char kGlobalFailed[] = "VXN|DevGlobalAlloc() failed";
const char kPoolFull[] = "VXN|VXN: Low on memory, unable to proceed";

uint32_t Address(const void* p) { return (uint32_t)(uintptr_t)p; }

size_t Count(const char* text)
{
    return (size_t)std::count(MessageCatcher::texts.begin(), MessageCatcher::texts.end(), std::string(text));
}

// How the back and depth descriptors stand before the create that fails.
enum Before {
    Fresh,         // a new context: create 0x4c0 makes all three
    DriverMade,    // all three made; create 0x40 keeps back and depth
    CallerMemory,  // back and depth in the library's memory; create 0x4c0
};

class Buffers : public DirectTest {
protected:
    // Sets the context's buffers up as `before` says and returns the mask
    // of the create that follows.
    uint16_t Prepare(DevContext* ctx, Before before)
    {
        if (before == DriverMade) {
            EXPECT_EQ(0x4c0u, DevBufferCreate(ctx, 0x4c0));
            return 0x40;
        }
        if (before == CallerMemory) {
            for (DevBuffer* b : {&ctx->back, &ctx->depth}) {
                std::vector<uint8_t>& memory = b == &ctx->back ? back_ : depth_;
                memory.assign(256 * 50, 0);
                b->bits = b->bitsCopy = Address(memory.data());
                b->width = 128;
                b->height = 50;
                b->pitch = 256;
                b->bitsPerPixel = 16;
            }
            ctx->back.flags = DEVBUF_CALLER_MEMORY | DEV_BUFFER_BACK | DEVBUF_VALID;
            ctx->depth.flags = DEVBUF_CALLER_MEMORY | DEV_BUFFER_DEPTH | DEVBUF_VALID;
        }
        return 0x4c0;
    }
    // The library's memory is as it handed it over.
    void ExpectCallerMemoryKept(DevContext* ctx)
    {
        EXPECT_EQ(Address(back_.data()), ctx->back.bits);
        EXPECT_EQ(Address(depth_.data()), ctx->depth.bits);
        EXPECT_EQ(DEVBUF_CALLER_MEMORY | DEV_BUFFER_BACK | DEVBUF_VALID, ctx->back.flags);
        EXPECT_EQ(DEVBUF_CALLER_MEMORY | DEV_BUFFER_DEPTH | DEVBUF_VALID, ctx->depth.flags);
        back_.assign(back_.size(), 1);  // still the library's to write
        depth_.assign(depth_.size(), 2);
    }
    std::vector<uint8_t> back_, depth_;
};

struct AllocFailure {
    const char* name;
    Before before;
    int failCall;   // which global allocation of the create fails
    uint32_t made;  // the create's result
};

class GlobalFailure : public Buffers, public ::testing::WithParamInterface<AllocFailure> {};

// The create's global allocations in order: the back buffer (when made),
// dirty mask A, dirty mask B, the depth buffer (when made). Each failing in
// turn, then a retry or a delete: the delete frees every block the
// context's creates allocated, the back buffer of the earlier create too.
TEST_P(GlobalFailure, LeavesEverythingDeletable)
{
    const AllocFailure& f = GetParam();
    for (bool retry : {false, true}) {
        SCOPED_TRACE(retry ? "retried, then deleted" : "deleted");
        MessageCatcher::texts.clear();
        MessageCatcher messages;
        auto c = NewContext(10, 20, 110, 70);
        DevContext* ctx = c->get();
        const int pool = PoolBlocksInUse();
        GlobalLedger ledger;
        uint16_t mask = Prepare(ctx, f.before);
        const uint32_t backBits = ctx->back.bits;
        const uint32_t rawBack = ctx->back.extra ? ctx->back.extra->rawBack : 0;
        ledger.FailCall(f.failCall);
        const int callsBefore = ledger.Calls();
        EXPECT_EQ(f.made, DevBufferCreate(ctx, mask));
        ASSERT_GE(ledger.Calls() - callsBefore, f.failCall) << "the failing allocation was not reached";
        EXPECT_EQ(1u, Count(kGlobalFailed));
        const bool back = (f.made & DEV_BUFFER_BACK) != 0;
        EXPECT_EQ(back, ctx->dirtyA != nullptr);
        EXPECT_EQ(back, ctx->dirtyB != nullptr);
        EXPECT_EQ(back ? 50u : 0u, ctx->dirtyRows);
        EXPECT_EQ(DEVBUF_DIRECT_FRONT, ctx->front.flags);
        if (f.before == DriverMade) {
            // The back buffer is kept as it was, and so is the record that frees it.
            EXPECT_EQ(DEVBUF_DIRECT_BACK, ctx->back.flags);
            EXPECT_EQ(backBits, ctx->back.bits);
            EXPECT_NE(nullptr, ctx->back.extra);
            if (ctx->back.extra) EXPECT_EQ(rawBack, ctx->back.extra->rawBack);
        } else if (f.before == Fresh) {
            EXPECT_EQ(back, (ctx->back.flags & DEVBUF_VALID) != 0);
            EXPECT_EQ(0, ctx->depth.flags & DEVBUF_VALID);
        }
        if (f.before == CallerMemory) ExpectCallerMemoryKept(ctx);
        if (retry) {
            EXPECT_EQ(0x4c0u, DevBufferCreate(ctx, mask));
            EXPECT_EQ(50u, ctx->dirtyRows);
            ASSERT_NE(nullptr, ctx->dirtyA);
            if (f.before == DriverMade) {
                EXPECT_EQ(backBits, ctx->back.bits);
            }
        }
        DevBufferDelete(ctx, 0x4c0);
        EXPECT_EQ(0, ledger.Live()) << "global blocks left after the delete";
        EXPECT_EQ(pool, PoolBlocksInUse());
        if (f.before == CallerMemory) ExpectCallerMemoryKept(ctx);
        contexts_.push_back(std::move(c));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, GlobalFailure,
                         ::testing::Values(AllocFailure{"FreshBack", Fresh, 1, 0x40},
                                           AllocFailure{"FreshMaskA", Fresh, 2, 0x40},
                                           AllocFailure{"FreshMaskB", Fresh, 3, 0x40},
                                           AllocFailure{"FreshDepth", Fresh, 4, 0xc0},
                                           AllocFailure{"KeptBackMaskA", DriverMade, 1, 0x40},
                                           AllocFailure{"KeptBackMaskB", DriverMade, 2, 0x40},
                                           AllocFailure{"CallerMemoryMaskA", CallerMemory, 1, 0x40},
                                           AllocFailure{"CallerMemoryMaskB", CallerMemory, 2, 0x40}),
                         [](const ::testing::TestParamInfo<AllocFailure>& i) { return std::string(i.param.name); });

struct PoolFailure {
    const char* name;
    Before before;
    int spare;      // free pool blocks left for the create's side records
    uint32_t made;
};

class PoolExhaustion : public Buffers, public ::testing::WithParamInterface<PoolFailure> {};

// The pool runs out at the front, back or depth record: the buffers before
// it are made, the one whose record is missing is not described as made,
// and nothing is written through the missing record.
TEST_P(PoolExhaustion, StopsAtTheMissingRecord)
{
    const PoolFailure& f = GetParam();
    MessageCatcher::texts.clear();
    MessageCatcher messages;
    auto c = NewContext(10, 20, 110, 70);
    DevContext* ctx = c->get();
    const int pool = PoolBlocksInUse();
    GlobalLedger ledger;
    uint16_t mask = Prepare(ctx, f.before);
    {
        PoolFiller full(f.spare);
        EXPECT_EQ(f.made, DevBufferCreate(ctx, mask));
        EXPECT_EQ(1u, Count(kPoolFull));
        EXPECT_EQ(0u, Count(kGlobalFailed));
        EXPECT_EQ(DEV_POOL_BLOCKS, PoolBlocksInUse());
    }
    const bool front = (f.made & DEV_BUFFER_FRONT) != 0, back = (f.made & DEV_BUFFER_BACK) != 0;
    EXPECT_EQ(front, (ctx->front.flags & DEVBUF_VALID) != 0);
    EXPECT_EQ(front, ctx->front.extra != nullptr);
    if (f.before == Fresh) {
        EXPECT_EQ(back, (ctx->back.flags & DEVBUF_VALID) != 0);
        EXPECT_EQ(0, ctx->depth.flags & DEVBUF_VALID);
    } else {
        ExpectCallerMemoryKept(ctx);
    }
    EXPECT_EQ(back, ctx->back.extra != nullptr);
    EXPECT_EQ(back, ctx->dirtyA != nullptr);
    EXPECT_EQ(nullptr, ctx->depth.extra);
    // Held now: the back buffer and its masks (with the library's memory, the masks only).
    EXPECT_EQ(!back ? 0 : f.before == Fresh ? 3 : 2, ledger.Live());
    DevBufferDelete(ctx, 0x4c0);
    EXPECT_EQ(0, ledger.Live());
    EXPECT_EQ(pool, PoolBlocksInUse());
    contexts_.push_back(std::move(c));
}

INSTANTIATE_TEST_SUITE_P(Table, PoolExhaustion,
                         ::testing::Values(PoolFailure{"FrontRecord", Fresh, 0, 0},
                                           PoolFailure{"BackRecord", Fresh, 1, 0x40},
                                           PoolFailure{"DepthRecord", Fresh, 2, 0xc0},
                                           PoolFailure{"CallerBackRecord", CallerMemory, 1, 0x40},
                                           PoolFailure{"CallerDepthRecord", CallerMemory, 2, 0xc0}),
                         [](const ::testing::TestParamInfo<PoolFailure>& i) { return std::string(i.param.name); });

// With the pool full a context create is refused before anything else is
// made for it: no surface, no window watch, no count. The record it leaves
// names nothing of the driver's (not even the words it came with), and every
// later call on it is safe and changes nothing.
TEST_F(DirectTest, ContextCreateRefusedWhenThePoolIsFull)
{
    MessageCatcher::texts.clear();
    MessageCatcher messages;
    auto first = NewContext(0, 0, 64, 32);  // a second context would make a surface of its own
    DevContext* o = first->get();
    ASSERT_EQ(0x4c0u, DevBufferCreate(o, 0x4c0));
    const int pool = PoolBlocksInUse();
    const uint32_t count = g_directContextCount;
    const DciStandInCounters before = Counters();

    Context refused(&base_);
    refused.SetWindow(100, 100, 200, 150);
    DevContext* ctx = refused.get();
    ctx->hdc = WindowDc();
    ctx->driverBlock = o->driverBlock;  // stale words naming another context's records
    ctx->procs = o->procs;
    ctx->back.extra = o->back.extra;
    ctx->dirtyA = o->dirtyA;
    ctx->dirtyRows = o->dirtyRows;
    {
        PoolFiller full(0);
        EXPECT_EQ(0u, DevContextCreate(ctx));
        EXPECT_EQ(1u, Count(kPoolFull));
        EXPECT_EQ(nullptr, ctx->driverBlock);
        EXPECT_EQ(nullptr, ctx->procs);
        EXPECT_EQ(nullptr, ctx->back.extra);
        EXPECT_EQ(nullptr, ctx->dirtyA);
        EXPECT_EQ(0u, ctx->dirtyRows);
        EXPECT_EQ(count, g_directContextCount);
        const DciStandInCounters after = Counters();
        EXPECT_EQ(before.surfacesCreated, after.surfacesCreated);
        EXPECT_EQ(before.watchesOpened, after.watchesOpened);

        EXPECT_EQ(1u, DevContextSwitch(ctx, 1));
        EXPECT_EQ(1u, DevContextValidate(ctx));
        EXPECT_EQ(nullptr, ctx->procs);
        EXPECT_EQ(0u, DevBufferCreate(ctx, 0x4c0));
    }
    EXPECT_EQ(0u, DevBufferDelete(ctx, 0x4c0));
    EXPECT_EQ(1u, DevContextDelete(ctx));
    EXPECT_EQ(count, g_directContextCount);
    EXPECT_EQ(pool, PoolBlocksInUse());
    const DciStandInCounters after = Counters();
    EXPECT_EQ(before.surfacesDestroyed, after.surfacesDestroyed);
    EXPECT_EQ(before.watchesClosed, after.watchesClosed);
    EXPECT_EQ(0, after.badDestroys);
    EXPECT_EQ(0, after.badWatchCalls);
    // The other context is whole: its masks and table still work.
    EXPECT_EQ(1u, DevContextValidate(o));
    EXPECT_NE(nullptr, o->procs->present);
    EXPECT_EQ(1u, DevBufferNotify(o, 0x80, 1));
    contexts_.push_back(std::move(first));
}

}  // namespace
