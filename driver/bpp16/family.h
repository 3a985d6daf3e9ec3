// What every rasterizer family defines in the same form, written once: its
// trapezoid routines and their table from the family's variant list and
// pixel policy, the declarations of its service routines, the generic
// forwarders, and its constant record with the selector over it. What a
// family does its own way (pixel policy, variant list, set colour, clear,
// present, key masks, lines) stays in its folder.
//
// Every name carries the family's number nn (08, 16, 24, 32):
//   BPPnn_DevTrapezoids<suffix>   one routine per row of the variant list
//   g_bppnnTrapVariants, g_bppnnTrapVariantCount
//                                 the table (rows, then aliases) and its size
//   kBppnnTrapRoutineCount, kBppnnTrapVariantCount
//                                 the same sizes as constants
//   BPPnn_DevSetColor, _DevClear, _DevPresent
//                                 the family's own services
//   BPPnn_DevTrapezoidsGeneric, BPPnn_DevLineGeneric
//                                 the forwarders to the library
//   g_bppnnFamily, BPPnn_DevSelectProcs
//                                 the record and its selector
//
// A variant list is X(suffix, key, lightMode) rows, so its rows cannot take
// the number as an argument: each use names it in DEV_FAMILY_NN first, and
// a header takes it away again after its use:
//   #define DEV_FAMILY_NN 16
//   DEV_FAMILY_TRAPEZOIDS_DECLARE(BPP16_TRAP_VARIANTS, BPP16_TRAP_ALIASES)
//   #undef DEV_FAMILY_NN
#pragma once

#include "bpp16/trapvariant.h"

#define DEV_FAMILY_PASTE_(a, b) a##b
#define DEV_FAMILY_PASTE(a, b) DEV_FAMILY_PASTE_(a, b)
#define DEV_FAMILY_STRING_(a) #a
#define DEV_FAMILY_STRING(a) DEV_FAMILY_STRING_(a)

// prefix, the family's number, rest: DEV_FAMILY_NAME(g_bpp, TrapVariants).
#define DEV_FAMILY_NAME(prefix, rest) DEV_FAMILY_PASTE(DEV_FAMILY_PASTE(prefix, DEV_FAMILY_NN), rest)
#define DEV_FAMILY_TRAP_NAME(sfx) DEV_FAMILY_NAME(BPP, DEV_FAMILY_PASTE(_DevTrapezoids, sfx))

// ------------------------------------------------------ trapezoid routines

// The formatter reads the parameter lists inside these macros as products.
// clang-format off
#define DEV_FAMILY_TRAP_COUNT_(sfx, key, light) +1

#define DEV_FAMILY_TRAP_DECLARE_(sfx, key, light)                                                             \
    uint32_t DEVPROC DEV_FAMILY_TRAP_NAME(sfx)(DevContext* ctx, DevTrapEdge* left, DevTrapEdge* right,        \
                                               DevTrapGradients* grad);

// Each routine is the shared walk for one key and lighting mode under the
// family's pixel policy, flattened into a routine of its own.
#define DEV_FAMILY_TRAP_DEFINE_(sfx, key, light)                                                              \
    extern "C" __attribute__((flatten)) uint32_t DEVPROC DEV_FAMILY_TRAP_NAME(sfx)(                           \
        DevContext* ctx, DevTrapEdge* left, DevTrapEdge* right, DevTrapGradients* grad) {                     \
        return raster::DevTrapWalk<DevFamilyPixel, key, light>(ctx, left, right, grad);                       \
    }

#define DEV_FAMILY_TRAP_ROW_(sfx, key, light)                                                                 \
    {key, light, DEV_FAMILY_TRAP_NAME(sfx), "BPP" DEV_FAMILY_STRING(DEV_FAMILY_NN) "_DevTrapezoids" #sfx},

// In the family's header: the routines, the table and its sizes.
#define DEV_FAMILY_TRAPEZOIDS_DECLARE(VARIANTS, ALIASES)                                                      \
    enum {                                                                                                    \
        DEV_FAMILY_NAME(kBpp, TrapRoutineCount) = 0 VARIANTS(DEV_FAMILY_TRAP_COUNT_),                         \
        DEV_FAMILY_NAME(kBpp, TrapVariantCount) =                                                             \
            0 VARIANTS(DEV_FAMILY_TRAP_COUNT_) ALIASES(DEV_FAMILY_TRAP_COUNT_)                                \
    };                                                                                                        \
    extern "C" {                                                                                              \
    VARIANTS(DEV_FAMILY_TRAP_DECLARE_)                                                                        \
    extern const DevTrapVariant DEV_FAMILY_NAME(g_bpp, TrapVariants)[];                                       \
    extern const uint32_t DEV_FAMILY_NAME(g_bpp, TrapVariantCount);                                           \
    }

// In the family's source, with the walk and its pixel policy included: the
// routines and the table, every row of the list and then every alias.
#define DEV_FAMILY_TRAPEZOIDS_DEFINE(PIXEL, VARIANTS, ALIASES)                                                \
    namespace {                                                                                               \
    using DevFamilyPixel = PIXEL;                                                                             \
    }                                                                                                         \
    VARIANTS(DEV_FAMILY_TRAP_DEFINE_)                                                                         \
    extern "C" {                                                                                              \
    const DevTrapVariant DEV_FAMILY_NAME(g_bpp, TrapVariants)[] = {                                           \
        VARIANTS(DEV_FAMILY_TRAP_ROW_) ALIASES(DEV_FAMILY_TRAP_ROW_)};                                        \
    const uint32_t DEV_FAMILY_NAME(g_bpp, TrapVariantCount) =                                                 \
        sizeof(DEV_FAMILY_NAME(g_bpp, TrapVariants)) / sizeof(DEV_FAMILY_NAME(g_bpp, TrapVariants)[0]);       \
    }

// -------------------------------------------------------- service routines

// In the family's header: the services every family installs.
#define DEV_FAMILY_SERVICES_DECLARE()                                                                         \
    extern "C" {                                                                                              \
    uint32_t DEVPROC DEV_FAMILY_NAME(BPP, _DevSetColor)(DevContext* ctx, uint32_t c0, uint32_t c1,            \
                                                        uint32_t c2, uint32_t c3, uint32_t separate,          \
                                                        void* out);                                           \
    uint32_t DEVPROC DEV_FAMILY_NAME(BPP, _DevClear)(DevContext* ctx, uint32_t what);                         \
    uint32_t DEVPROC DEV_FAMILY_NAME(BPP, _DevPresent)(DevContext* ctx);                                      \
    uint32_t DEVPROC DEV_FAMILY_NAME(BPP, _DevTrapezoidsGeneric)(DevContext* ctx, DevTrapEdge* left,          \
                                                                 DevTrapEdge* right, DevTrapGradients* grad); \
    uint32_t DEVPROC DEV_FAMILY_NAME(BPP, _DevLineGeneric)(DevContext* ctx, DevLineRecord* line,              \
                                                           uint32_t pass);                                    \
    }

// In the family's services source, with bpp16/blockwalk.h included: the
// forwarders, the same in every family.
#define DEV_FAMILY_FORWARDERS_DEFINE()                                                                        \
    extern "C" uint32_t DEVPROC DEV_FAMILY_NAME(BPP, _DevTrapezoidsGeneric)(                                  \
        DevContext* ctx, DevTrapEdge* left, DevTrapEdge* right, DevTrapGradients* grad) {                     \
        return raster::ForwardTrapezoids(ctx, left, right, grad);                                             \
    }                                                                                                         \
    extern "C" uint32_t DEVPROC DEV_FAMILY_NAME(BPP, _DevLineGeneric)(DevContext* ctx, DevLineRecord* line,   \
                                                                      uint32_t pass) {                        \
        return raster::ForwardLine(ctx, line, pass);                                                          \
    }

// ----------------------------------------------------- record and selector

// In the family's selector source, with select.h and the family's headers
// included: the family's record and BPPnn_DevSelectProcs over it. The
// arguments are the designated fields the family gives itself, in the
// order of DevFamily: its key masks, its translated present, its lines.
#define DEV_FAMILY_SELECTOR(...)                                                                              \
    extern "C" {                                                                                              \
    const DevFamily DEV_FAMILY_NAME(g_bpp, Family) = {                                                        \
        .clear = DEV_FAMILY_NAME(BPP, _DevClear),                                                             \
        .setColor = DEV_FAMILY_NAME(BPP, _DevSetColor),                                                       \
        .lineGeneric = DEV_FAMILY_NAME(BPP, _DevLineGeneric),                                                 \
        .trapezoidsGeneric = DEV_FAMILY_NAME(BPP, _DevTrapezoidsGeneric),                                     \
        .present = DEV_FAMILY_NAME(BPP, _DevPresent),                                                         \
        .variants = DEV_FAMILY_NAME(g_bpp, TrapVariants),                                                     \
        .variantCount = DEV_FAMILY_NAME(kBpp, TrapVariantCount),                                              \
        __VA_ARGS__};                                                                                         \
    }                                                                                                         \
    void DEV_FAMILY_NAME(BPP, _DevSelectProcs)(DevContext* ctx) {                                             \
        DevSelectFamily(ctx, &DEV_FAMILY_NAME(g_bpp, Family));                                                \
    }
// clang-format on
