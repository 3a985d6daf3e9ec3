// Byte-flip soak of the texture build: valid pictures of every kind with a
// few random bits flipped, loaded one after another; prints how each load
// ended and how long loads took. Any crash is a fault.
//   pictures_fuzz.exe [rounds per file (default 500)] [seed]
#include <stdio.h>
#include <stdlib.h>
#include <map>
#include <string>

#include "picturefiles.h"
#include "pictures_harness.h"

using namespace testsupport;

int main(int argc, char** argv) {
    int rounds = argc > 1 ? atoi(argv[1]) : 500;
    uint32_t seed = argc > 2 ? (uint32_t)strtoul(argv[2], nullptr, 10) : 1;
    auto pattern = [](int x, int y) { return (uint32_t)((x * 5) & 255) << 16 | (uint32_t)((y * 3) & 255) << 8 | ((x ^ y) & 255); };
    struct Seed {
        const char* name;
        std::string bytes;
    };
    std::vector<Seed> seeds;
    for (int bits : {1, 4, 8, 24}) {
        BmpSpec pic;
        pic.width = 45, pic.height = 31, pic.bits = bits, pic.pixel = pattern;
        if (bits <= 8) {
            for (int i = 0; i < (1 << bits); i++) pic.palette.push_back(i * 0x010101u);
            pic.pixel = [bits, pattern](int x, int y) { return pattern(x, y) % (1u << bits); };
        }
        seeds.push_back({"s.bmp", MakeBmp(pic)});
        if (bits == 4 || bits == 8) {
            pic.rle = true;
            seeds.push_back({"r.bmp", MakeBmp(pic)});
            pic.rle = false;
        }
        pic.topDown = true;
        seeds.push_back({"t.bmp", MakeBmp(pic)});
    }
    for (int components : {1, 3})
        for (bool progressive : {false, true}) {
            JpegSpec pic;
            pic.width = 45, pic.height = 31, pic.components = components, pic.progressive = progressive;
            pic.pixel = pattern;
            seeds.push_back({"s.jpg", MakeJpeg(pic)});
        }

    PicturesHarness h;
    std::map<std::string, int> outcomes;
    int loads = 0;
    LARGE_INTEGER freq, start, end;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    for (const Seed& s : seeds) {
        for (int round = 0; round < rounds; round++) {
            std::string bytes = s.bytes;
            int flips = 1 + (int)(seed % 8);
            for (int i = 0; i < flips; i++) {
                seed = seed * 1103515245u + 12345u;
                size_t at = (seed >> 8) % bytes.size();
                seed = seed * 1103515245u + 12345u;
                bytes[at] ^= (char)(1 << (seed >> 16) % 8);
            }
            h.Reset(256);
            h.Load({h.Picture(s.name, bytes)});
            std::string outcome = h.settings.pictureCount ? "loaded" : "refused";
            for (const auto& box : h.boxes)
                if (box.caption != "Can't get any pictures!") outcome += " / " + box.caption;
            outcomes[outcome]++;
            loads++;
        }
    }
    QueryPerformanceCounter(&end);
    double seconds = (double)(end.QuadPart - start.QuadPart) / freq.QuadPart;
    for (const auto& o : outcomes) printf("%6d  %s\n", o.second, o.first.c_str());
    printf("%d loads in %.2f s, %.2f ms a load\n", loads, seconds, 1000 * seconds / loads);
    return 0;
}
