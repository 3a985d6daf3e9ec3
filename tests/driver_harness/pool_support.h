// The driver's block pool and context records as the memory tests see them:
// how full the pool is, a way to fill it, and records handed over unzeroed.
#pragma once

#include "harness.h"

#include <vector>

namespace drvtest {

// Blocks of the pool taken now.
int PoolBlocksInUse();

// Takes every free block of the pool but `spare` while alive, so the next
// allocations that need more fail; gives them back when it ends.
class PoolFiller {
public:
    explicit PoolFiller(int spare);
    ~PoolFiller();
    PoolFiller(const PoolFiller&) = delete;
    PoolFiller& operator=(const PoolFiller&) = delete;
private:
    std::vector<void*> taken_;
};

// Which words of the record the library sets on the path before it hands
// the record over, beside the ones it sets on both.
enum class RecordPath { Gdi, Direct };

// Fills every byte of the record that the library does not set with `byte`.
// On the direct path the library also sets the clip counts (0) and the
// texture, and its buffer flags of 0 ask the driver for every buffer; on the
// GDI path the buffer flags are the driver's and get `byte` too.
void PoisonRecord(DevContext* ctx, uint8_t byte, RecordPath path);

}  // namespace drvtest
