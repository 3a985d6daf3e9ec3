// One row of a family's variant table: the state key and lighting mode a
// trapezoid rasterizer is installed for, the routine and its name. Each
// family writes its list once; the selector, the tests and the benchmark
// all read that one table.
#pragma once

#include "frame/records.h"
#include "bpp16/trapezoid.h"

struct DevTrapVariant {
    uint32_t key;       // the selector's masked state word
    uint8_t lightMode;  // required lightMode for keys with DEV_MODULATE, else 0
    DevTrapezoidsProc proc;
    const char* name;
};

// The row for key (and lightMode, when key holds DEV_MODULATE), or null.
inline const DevTrapVariant* DevTrapVariantFind(const DevTrapVariant* table, uint32_t count, uint32_t key,
                                                uint8_t lightMode) {
    for (uint32_t i = 0; i < count; ++i) {
        if (table[i].key != key) continue;
        if ((key & DEV_MODULATE) && table[i].lightMode != lightMode) continue;
        return &table[i];
    }
    return nullptr;
}
