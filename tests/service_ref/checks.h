// One comparison per routine group: a family's routines, taken from its
// family record, against the reference over a table of cases. Each returns
// an empty text when every case agrees byte for byte, else what differed;
// a routine the family lacks is a difference too.
#pragma once

#include "families.h"

#include <string>

namespace svcref {

std::string CheckSetColor(const ServiceFamily& f);
std::string CheckClear(const ServiceFamily& f);
std::string CheckPresent(const ServiceFamily& f);
std::string CheckTrapezoidForwarder(const ServiceFamily& f);
std::string CheckLineForwarder(const ServiceFamily& f);
std::string CheckLines(const ServiceFamily& f);
// Three frames in a row: set colours, clear, draw through the forwarders,
// present; the DirtyMask cycle carries from routine to routine.
std::string CheckFrames(const ServiceFamily& f);

// Two canvases made alike: the routine runs on one, the reference on the other.
struct Pair {
    Canvas got, want;
    Pair(const CanvasSpec& s, uint32_t seed) : got(s, seed), want(s, seed) {}
    template <class F>
    void Both(F f) { f(got), f(want); }
    // Empty when the two agree, else what differs, headed by what.
    std::string Check(const std::string& what);
};

std::string Describe(const char* routine, const char* name, const Display& d, uint32_t shift);

}  // namespace svcref
