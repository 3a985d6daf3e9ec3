// The trapezoid variants the 16-, 24- and 32-bit families share: the same
// 44 routines (and four further keys) suffix for suffix; each family
// instantiates the list for its own pixel policy under its own prefix.
#pragma once

#include "frame/records.h"

// X(suffix, key, lightMode) defines routine BPPnn_DevTrapezoids<suffix>
// for that state key (the selector's masked state word) and, for keys with
// DEV_MODULATE, that lighting mode.
// ALIAS(suffix, key, lightMode) adds a further key for an existing routine:
// affine textures without light ignore DEV_SMOOTH.
//
// Suffix letters, in this order (bpp16/trapwalk.h says which lanes each
// feature picks):
//   Tx   affine texture (DEV_TEXTURE | DEV_AFFINE)
//   PTx  perspective texture (DEV_TEXTURE)
//   Tr   colour key (DEV_COLORKEY)
//   MR, MM, MS  texture lighting (DEV_MODULATE; DEV_LIGHT_MR, _MM, _MS),
//        followed by Fs (flat light) or Ss (smooth light, DEV_SMOOTH)
//   Fs   flat colour; Ss smooth colour (DEV_SMOOTH), untextured
//   Z    depth test and write (DEV_DEPTH)
#define DEV_TRAP44_VARIANTS(X)                                                                                  \
    X(Fs, 0, 0)                                                                                                 \
    X(FsZ, DEV_DEPTH, 0)                                                                                        \
    X(Ss, DEV_SMOOTH, 0)                                                                                        \
    X(SsZ, DEV_SMOOTH | DEV_DEPTH, 0)                                                                           \
    X(Tx, DEV_TEXTURE | DEV_AFFINE, 0)                                                                          \
    X(TxZ, DEV_TEXTURE | DEV_AFFINE | DEV_DEPTH, 0)                                                             \
    X(TxTr, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY, 0)                                                         \
    X(TxTrZ, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_DEPTH, 0)                                            \
    X(TxMRFs, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE, DEV_LIGHT_MR)                                            \
    X(TxMRFsZ, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_DEPTH, DEV_LIGHT_MR)                               \
    X(TxMRSs, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MR)                               \
    X(TxMRSsZ, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MR)                  \
    X(TxTrMRFs, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE, DEV_LIGHT_MR)                           \
    X(TxTrMRFsZ, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_DEPTH, DEV_LIGHT_MR)              \
    X(TxTrMRSs, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MR)              \
    X(TxTrMRSsZ, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MR) \
    X(TxMMSs, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MM)                               \
    X(TxMMSsZ, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MM)                  \
    X(TxTrMMSs, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MM)              \
    X(TxTrMMSsZ, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MM) \
    X(TxMSSs, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MS)                               \
    X(TxMSSsZ, DEV_TEXTURE | DEV_AFFINE | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MS)                  \
    X(TxTrMSSs, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MS)              \
    X(TxTrMSSsZ, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MS) \
    X(PTx, DEV_TEXTURE, 0)                                                                                      \
    X(PTxZ, DEV_TEXTURE | DEV_DEPTH, 0)                                                                         \
    X(PTxTr, DEV_TEXTURE | DEV_COLORKEY, 0)                                                                     \
    X(PTxTrZ, DEV_TEXTURE | DEV_COLORKEY | DEV_DEPTH, 0)                                                        \
    X(PTxMRFs, DEV_TEXTURE | DEV_MODULATE, DEV_LIGHT_MR)                                                        \
    X(PTxMRFsZ, DEV_TEXTURE | DEV_MODULATE | DEV_DEPTH, DEV_LIGHT_MR)                                           \
    X(PTxMRSs, DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MR)                                           \
    X(PTxMRSsZ, DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MR)                              \
    X(PTxTrMRFs, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE, DEV_LIGHT_MR)                                       \
    X(PTxTrMRFsZ, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_DEPTH, DEV_LIGHT_MR)                          \
    X(PTxTrMRSs, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MR)                          \
    X(PTxTrMRSsZ, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MR)             \
    X(PTxMMSs, DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MM)                                           \
    X(PTxMMSsZ, DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MM)                              \
    X(PTxTrMMSs, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MM)                          \
    X(PTxTrMMSsZ, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MM)             \
    X(PTxMSSs, DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MS)                                           \
    X(PTxMSSsZ, DEV_TEXTURE | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MS)                              \
    X(PTxTrMSSs, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH, DEV_LIGHT_MS)                          \
    X(PTxTrMSSsZ, DEV_TEXTURE | DEV_COLORKEY | DEV_MODULATE | DEV_SMOOTH | DEV_DEPTH, DEV_LIGHT_MS)

#define DEV_TRAP44_ALIASES(ALIAS)                                        \
    ALIAS(Tx, DEV_TEXTURE | DEV_AFFINE | DEV_SMOOTH, 0)                  \
    ALIAS(TxZ, DEV_TEXTURE | DEV_AFFINE | DEV_SMOOTH | DEV_DEPTH, 0)     \
    ALIAS(TxTr, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_SMOOTH, 0) \
    ALIAS(TxTrZ, DEV_TEXTURE | DEV_AFFINE | DEV_COLORKEY | DEV_SMOOTH | DEV_DEPTH, 0)
