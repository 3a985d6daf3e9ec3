// Byte-flip soak of the texture build: valid pictures of every kind with a
// few random bits flipped, loaded one after another; prints how the loads
// ended, by outcome, how long they took and how the memory went. Any crash,
// and any load that ends in no defined outcome, is a fault.
//   pictures_fuzz.exe [rounds per kind (default 500)] [seed]
#include <stdio.h>
#include <stdlib.h>

#include "pictures_soak.h"

int main(int argc, char** argv) {
    int rounds = argc > 1 ? atoi(argv[1]) : 500;
    uint32_t seed = argc > 2 ? (uint32_t)strtoul(argv[2], nullptr, 10) : 1;
    PicturesHarness h;
    SoakReport r = RunSoak(h, rounds, seed);
    for (const auto& o : r.outcomes) printf("%6d  %s\n", o.second, o.first.c_str());
    for (const std::string& u : r.undefined) printf("undefined outcome: %s\n", u.c_str());
    printf("%d loads in %.2f s, %.2f ms a load\n", r.loads, r.seconds, r.loads ? 1000 * r.seconds / r.loads : 0.0);
    printf("committed memory: %.1f MB after %d loads, %.1f MB at the end\n", r.memoryAtMark / 1048576.0,
           r.loads < 100 ? r.loads : 100, r.memoryAtEnd / 1048576.0);
    fflush(stdout);
    return r.undefined.empty() ? 0 : 1;
}
