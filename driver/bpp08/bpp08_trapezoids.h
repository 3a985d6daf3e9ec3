// The 8-bit family's trapezoid rasterizers and their variant table.
#pragma once

#include "bpp16/family.h"

// The family's list, written once: X(suffix, key, lightMode) defines routine
// BPP08_DevTrapezoids<suffix> for that state key (the selector's masked
// state word) and, for keys with DEV_MODULATE, that lighting mode
// (DEV_LIGHT_MR, _MM, _MS). ALIAS(suffix, key, lightMode) adds a further
// key for an existing routine: affine textures without light ignore
// DEV_SMOOTH.
//
// Suffix letters, in this order (see bpp16/trapwalk.h for the lanes each
// feature picks):
//   Fs   flat colour (or flat light after MR)     Ss   smooth colour / light
//   Tx   affine texture (DEV_AFFINE)               PTx  perspective texture
//   Tr   colour key (DEV_COLORKEY)                 MR/MM/MS  texture lighting
//   I    colour index (DEV_COLORINDEX)             Z    depth (DEV_DEPTH)
//   D    dither (DEV_DITHER); no effect after MRFs or on index texels
#define BPP08_TRAP_VARIANTS(X)                                                                                    \
    X(Fs, 0, 0)                                                                                                   \
    X(FsZ, DEV_DEPTH, 0)                                                                                          \
    X(FsD, DEV_DITHER, 0)                                                                                         \
    X(FsZD, DEV_DEPTH | DEV_DITHER, 0)                                                                            \
    X(Ss, DEV_SMOOTH, 0)                                                                                          \
    X(SsZ, DEV_SMOOTH | DEV_DEPTH, 0)                                                                             \
    X(SsD, DEV_SMOOTH | DEV_DITHER, 0)                                                                            \
    X(SsZD, DEV_SMOOTH | DEV_DEPTH | DEV_DITHER, 0)                                                               \
    X(FsI, DEV_COLORINDEX, 0)                                                                                     \
    X(FsIZ, DEV_COLORINDEX | DEV_DEPTH, 0)                                                                        \
    X(FsID, DEV_COLORINDEX | DEV_DITHER, 0)                                                                       \
    X(FsIZD, DEV_COLORINDEX | DEV_DEPTH | DEV_DITHER, 0)                                                          \
    X(SsI, DEV_COLORINDEX | DEV_SMOOTH, 0)                                                                        \
    X(SsIZ, DEV_COLORINDEX | DEV_SMOOTH | DEV_DEPTH, 0)                                                           \
    X(SsID, DEV_COLORINDEX | DEV_SMOOTH | DEV_DITHER, 0)                                                          \
    X(SsIZD, DEV_COLORINDEX | DEV_SMOOTH | DEV_DEPTH | DEV_DITHER, 0)                                             \
    X(PTx, DEV_TEXTURE, 0)                                                                                        \
    X(PTxZ, DEV_TEXTURE | DEV_DEPTH, 0)                                                                           \
    X(PTxD, DEV_TEXTURE | DEV_DITHER, 0)                                                                          \
    X(PTxZD, DEV_TEXTURE | DEV_DEPTH | DEV_DITHER, 0)                                                             \
    X(PTxTr, DEV_TEXTURE | DEV_COLORKEY, 0)                                                                       \
    X(PTxTrZ, DEV_TEXTURE | DEV_COLORKEY | DEV_DEPTH, 0)                                                          \
    X(PTxTrD, DEV_TEXTURE | DEV_COLORKEY | DEV_DITHER, 0)                                                         \
    X(PTxTrZD, DEV_TEXTURE | DEV_COLORKEY | DEV_DEPTH | DEV_DITHER, 0)                                            \
    X(PTxMRFs, DEV_TEXTURE | DEV_MODULATE, DEV_LIGHT_MR)                                                          \
    X(PTxMRFsZ, DEV_TEXTURE | DEV_MODULATE | DEV_DEPTH, DEV_LIGHT_MR)                                             \
    X(PTxMRFsD, DEV_TEXTURE | DEV_MODULATE | DEV_DITHER, DEV_LIGHT_MR)                                            \
    X(PTxMRFsZD, DEV_TEXTURE | DEV_MODULATE | DEV_DEPTH | DEV_DITHER, DEV_LIGHT_MR)                               \
    X(PTxMRSs, DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MR)                                             \
    X(PTxMRSsZ, DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MR)                                \
    X(PTxMRSsD, DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH | DEV_DITHER, DEV_LIGHT_MR)                               \
    X(PTxMRSsZD, DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH | DEV_DITHER, DEV_LIGHT_MR)                  \
    X(PTxMMSs, DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MM)                                             \
    X(PTxMMSsZ, DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MM)                                \
    X(PTxMMSsD, DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH | DEV_DITHER, DEV_LIGHT_MM)                               \
    X(PTxMMSsZD, DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH | DEV_DITHER, DEV_LIGHT_MM)                  \
    X(PTxMSSs, DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MS)                                             \
    X(PTxMSSsZ, DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MS)                                \
    X(PTxMSSsD, DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH | DEV_DITHER, DEV_LIGHT_MS)                               \
    X(PTxMSSsZD, DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH | DEV_DITHER, DEV_LIGHT_MS)                  \
    X(PTxTrMRFs, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE, DEV_LIGHT_MR)                                         \
    X(PTxTrMRFsZ, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_DEPTH, DEV_LIGHT_MR)                            \
    X(PTxTrMRFsD, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_DITHER, DEV_LIGHT_MR)                           \
    X(PTxTrMRFsZD, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_DEPTH | DEV_DITHER, DEV_LIGHT_MR)              \
    X(PTxTrMRSs, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MR)                            \
    X(PTxTrMRSsZ, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MR)               \
    X(PTxTrMRSsD, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DITHER, DEV_LIGHT_MR)              \
    X(PTxTrMRSsZD, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH | DEV_DITHER, DEV_LIGHT_MR) \
    X(PTxTrMMSs, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MM)                            \
    X(PTxTrMMSsZ, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MM)               \
    X(PTxTrMMSsD, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DITHER, DEV_LIGHT_MM)              \
    X(PTxTrMMSsZD, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH | DEV_DITHER, DEV_LIGHT_MM) \
    X(PTxTrMSSs, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MS)                            \
    X(PTxTrMSSsZ, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MS)               \
    X(PTxTrMSSsD, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DITHER, DEV_LIGHT_MS)              \
    X(PTxTrMSSsZD, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH | DEV_DITHER, DEV_LIGHT_MS) \
    X(PTxI, DEV_TEXTURE | DEV_COLORINDEX, 0)                                                                      \
    X(PTxIZ, DEV_TEXTURE | DEV_COLORINDEX | DEV_DEPTH, 0)                                                         \
    X(PTxID, DEV_TEXTURE | DEV_COLORINDEX | DEV_DITHER, 0)                                                        \
    X(PTxIZD, DEV_TEXTURE | DEV_COLORINDEX | DEV_DEPTH | DEV_DITHER, 0)                                           \
    X(PTxTrI, DEV_TEXTURE | DEV_COLORKEY | DEV_COLORINDEX, 0)                                                     \
    X(PTxTrIZ, DEV_TEXTURE | DEV_COLORKEY | DEV_COLORINDEX | DEV_DEPTH, 0)                                        \
    X(PTxTrID, DEV_TEXTURE | DEV_COLORKEY | DEV_COLORINDEX | DEV_DITHER, 0)                                       \
    X(PTxTrIZD, DEV_TEXTURE | DEV_COLORKEY | DEV_COLORINDEX | DEV_DEPTH | DEV_DITHER, 0)                          \
    X(Tx, DEV_TEXTURE | DEV_AFFINE, 0)                                                                            \
    X(TxZ, DEV_TEXTURE | DEV_AFFINE | DEV_DEPTH, 0)                                                               \
    X(TxD, DEV_TEXTURE | DEV_AFFINE | DEV_DITHER, 0)                                                              \
    X(TxZD, DEV_TEXTURE | DEV_AFFINE | DEV_DEPTH | DEV_DITHER, 0)                                                 \
    X(TxTr, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY, 0)                                                           \
    X(TxTrZ, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_DEPTH, 0)                                              \
    X(TxTrD, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_DITHER, 0)                                             \
    X(TxTrZD, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_DEPTH | DEV_DITHER, 0)                                \
    X(TxMRFs, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE, DEV_LIGHT_MR)                                              \
    X(TxMRFsZ, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_DEPTH, DEV_LIGHT_MR)                                 \
    X(TxMRFsD, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_DITHER, DEV_LIGHT_MR)                                \
    X(TxMRFsZD, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_DEPTH | DEV_DITHER, DEV_LIGHT_MR)                   \
    X(TxMRSs, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MR)                                 \
    X(TxMRSsZ, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MR)                    \
    X(TxMRSsD, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_SMOOTH | DEV_DITHER, DEV_LIGHT_MR)                   \
    X(TxMRSsZD, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH | DEV_DITHER, DEV_LIGHT_MR)      \
    X(TxMMSs, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MM)                                 \
    X(TxMMSsZ, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MM)                    \
    X(TxMMSsD, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_SMOOTH | DEV_DITHER, DEV_LIGHT_MM)                   \
    X(TxMMSsZD, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH | DEV_DITHER, DEV_LIGHT_MM)      \
    X(TxMSSs, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MS)                                 \
    X(TxMSSsZ, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MS)                    \
    X(TxMSSsD, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_SMOOTH | DEV_DITHER, DEV_LIGHT_MS)                   \
    X(TxMSSsZD, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH | DEV_DITHER, DEV_LIGHT_MS)      \
    X(TxTrMRFs, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE, DEV_LIGHT_MR)                             \
    X(TxTrMRFsZ, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_DEPTH, DEV_LIGHT_MR)                \
    X(TxTrMRFsD, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_DITHER, DEV_LIGHT_MR)               \
    X(TxTrMRFsZD, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_DEPTH | DEV_DITHER, DEV_LIGHT_MR)  \
    X(TxTrMRSs, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MR)                \
    X(TxTrMRSsZ, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MR)   \
    X(TxTrMRSsD, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DITHER, DEV_LIGHT_MR)  \
    X(TxTrMRSsZD, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH | DEV_DITHER,   \
      DEV_LIGHT_MR)                                                                                               \
    X(TxTrMMSs, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MM)                \
    X(TxTrMMSsZ, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MM)   \
    X(TxTrMMSsD, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DITHER, DEV_LIGHT_MM)  \
    X(TxTrMMSsZD, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH | DEV_DITHER,   \
      DEV_LIGHT_MM)                                                                                               \
    X(TxTrMSSs, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MS)                \
    X(TxTrMSSsZ, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MS)   \
    X(TxTrMSSsD, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DITHER, DEV_LIGHT_MS)  \
    X(TxTrMSSsZD, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH | DEV_DITHER,   \
      DEV_LIGHT_MS)                                                                                               \
    X(TxI, DEV_TEXTURE | DEV_AFFINE | DEV_COLORINDEX, 0)                                                          \
    X(TxIZ, DEV_TEXTURE | DEV_AFFINE | DEV_COLORINDEX | DEV_DEPTH, 0)                                             \
    X(TxID, DEV_TEXTURE | DEV_AFFINE | DEV_COLORINDEX | DEV_DITHER, 0)                                            \
    X(TxIZD, DEV_TEXTURE | DEV_AFFINE | DEV_COLORINDEX | DEV_DEPTH | DEV_DITHER, 0)                               \
    X(TxTrI, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_COLORINDEX, 0)                                         \
    X(TxTrIZ, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_COLORINDEX | DEV_DEPTH, 0)                            \
    X(TxTrID, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_COLORINDEX | DEV_DITHER, 0)                           \
    X(TxTrIZD, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_COLORINDEX | DEV_DEPTH | DEV_DITHER, 0)

#define BPP08_TRAP_ALIASES(ALIAS)                                                      \
    ALIAS(Tx, DEV_TEXTURE | DEV_AFFINE | DEV_SMOOTH, 0)                                \
    ALIAS(TxZ, DEV_TEXTURE | DEV_AFFINE | DEV_SMOOTH | DEV_DEPTH, 0)                   \
    ALIAS(TxD, DEV_TEXTURE | DEV_AFFINE | DEV_SMOOTH | DEV_DITHER, 0)                  \
    ALIAS(TxZD, DEV_TEXTURE | DEV_AFFINE | DEV_SMOOTH | DEV_DEPTH | DEV_DITHER, 0)     \
    ALIAS(TxTr, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_SMOOTH, 0)               \
    ALIAS(TxTrZ, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_SMOOTH | DEV_DEPTH, 0)  \
    ALIAS(TxTrD, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_SMOOTH | DEV_DITHER, 0) \
    ALIAS(TxTrZD, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_SMOOTH | DEV_DEPTH | DEV_DITHER, 0)

#define DEV_FAMILY_NN 08
DEV_FAMILY_TRAPEZOIDS_DECLARE(BPP08_TRAP_VARIANTS, BPP08_TRAP_ALIASES)
#undef DEV_FAMILY_NN
