// The trapezoid routines each family must have, derived from their names:
// the rows of name suffixes with their state keys and lighting modes, each
// with and without Z (and D on the 8-bit family).
#pragma once

#include "reference.h"

#include <stdint.h>
#include <string>
#include <vector>

struct RoutineName {
    std::string name;   // "BPP16_DevTrapezoidsPTxTrMRFsZ"
    uint32_t key;       // the state key the selector finds it at
    uint8_t lightMode;  // with DEV_MODULATE, else 0
};

// "BPP08", "BPP16", "BPP24" or "BPP32": the 112 routines of the 8-bit
// family (8 of them also serve a second key) or the 44 of another (4 on a
// second key), one entry per key.
std::vector<RoutineName> FamilyRoutines(const std::string& prefix);
