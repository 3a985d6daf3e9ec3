// Byte-flip soak of the texture build, shared by the hand-run program
// (pictures_fuzz.exe) and the bounded CI test: valid pictures of every kind
// with a few random bits flipped, loaded one after another.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <map>
#include <string>
#include <vector>

#include "pictures_harness.h"

struct SoakSeed {
    std::string kind;  // what the picture is, for the report
    std::string name;  // file name: its extension chooses the reader
    std::string bytes;
};

// One valid picture of every kind the build reads: BMP of 1, 4, 8 and 24
// bits bottom-up and top-down, RLE 4 and 8, grey and colour JPEG, baseline
// and progressive.
std::vector<SoakSeed> SoakSeeds();

// How a load ended: "loaded" or "refused", then " / caption" for each box
// other than the no-picture box.
std::string SoakOutcome(const PicturesHarness& h);

// True when the load ended as the build promises: the picture loaded (at
// most a corrupt-JPEG warning), or it was refused with one of the build's
// own reasons and its path, the list shortened to nothing.
bool SoakOutcomeIsDefined(const PicturesHarness& h, const std::string& path);

// Committed private memory of the process: what a leak makes grow.
size_t CommittedPrivateBytes();

struct SoakReport {
    std::map<std::string, int> outcomes;  // count by SoakOutcome
    std::vector<std::string> undefined;   // "kind: outcome" of loads that ended otherwise (first 20)
    int loads = 0;
    double seconds = 0;
    size_t memoryAtMark = 0;  // after the first markLoads loads
    size_t memoryAtEnd = 0;
};

// rounds of every seed, interleaved (round 0 of every kind, then round 1 ...),
// each with 1 to 8 bits flipped by a fixed generator from seed. One load in
// ten saves the settings file as the saver does; the others skip that as
// the preview does.
SoakReport RunSoak(PicturesHarness& h, int rounds, uint32_t seed, int markLoads = 100);
