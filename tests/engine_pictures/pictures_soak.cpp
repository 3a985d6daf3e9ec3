#include "pictures_soak.h"

#include <windows.h>

#include "picturefiles.h"

using namespace testsupport;

namespace {

const char kNoPictures[] = "Can't get any pictures!";
const char kCorrupt[] = "This JPEG file may be corrupt:";
const char* const kRefusals[] = {"This file is too big.", "Not enough memory to deal with this file.",
                                 "Can't deal with this file."};

uint32_t Pattern(int x, int y) {
    return (uint32_t)((x * 5) & 255) << 16 | (uint32_t)((y * 3) & 255) << 8 | ((x ^ y) & 255);
}

}  // namespace

std::vector<SoakSeed> SoakSeeds() {
    std::vector<SoakSeed> seeds;
    for (int bits : {1, 4, 8, 24}) {
        BmpSpec pic;
        pic.width = 45, pic.height = 31, pic.bits = bits, pic.pixel = Pattern;
        if (bits <= 8) {
            for (int i = 0; i < (1 << bits); i++) pic.palette.push_back(i * 0x010101u);
            pic.pixel = [bits](int x, int y) { return Pattern(x, y) % (1u << bits); };
        }
        std::string depth = std::to_string(bits) + "-bit BMP";
        seeds.push_back({depth, "s.bmp", MakeBmp(pic)});
        if (bits == 4 || bits == 8) {
            pic.rle = true;
            seeds.push_back({depth + " RLE", "r.bmp", MakeBmp(pic)});
            pic.rle = false;
        }
        pic.topDown = true;
        seeds.push_back({depth + " top-down", "t.bmp", MakeBmp(pic)});
    }
    for (int components : {1, 3})
        for (bool progressive : {false, true}) {
            JpegSpec pic;
            pic.width = 45, pic.height = 31, pic.components = components, pic.progressive = progressive;
            pic.pixel = Pattern;
            std::string kind = std::string(components == 1 ? "grey" : "colour") +
                               (progressive ? " progressive" : " baseline") + " JPEG";
            seeds.push_back({kind, "s.jpg", MakeJpeg(pic)});
        }
    return seeds;
}

std::string SoakOutcome(const PicturesHarness& h) {
    std::string outcome = h.settings.pictureCount ? "loaded" : "refused";
    for (const auto& box : h.boxes)
        if (box.caption != kNoPictures) outcome += " / " + box.caption;
    return outcome;
}

bool SoakOutcomeIsDefined(const PicturesHarness& h, const std::string& path) {
    if (h.settings.pictureCount == 1) {
        for (const auto& box : h.boxes)
            if (box.caption != kCorrupt || box.text != path) return false;
        return true;
    }
    if (h.settings.pictureCount != 0 || h.settings.pictureNames[0][0] != 0) return false;
    // The refusal, after a corrupt-JPEG warning perhaps, then (unless
    // previewing) the box that asks for pictures.
    std::vector<PicturesHarness::Box> boxes = h.boxes;
    if (!h.previewing) {
        if (boxes.empty() || boxes.back().caption != kNoPictures) return false;
        boxes.pop_back();
    }
    if (boxes.size() == 2 && boxes[0].caption == kCorrupt && boxes[0].text == path) boxes.erase(boxes.begin());
    if (boxes.size() != 1 || boxes[0].text != path) return false;
    const std::string& reason = boxes[0].caption;
    for (const char* r : kRefusals)
        if (reason == r) return true;
    return false;
}

size_t CommittedPrivateBytes() {
    size_t total = 0;
    MEMORY_BASIC_INFORMATION m;
    for (const char* p = nullptr; VirtualQuery(p, &m, sizeof m) == sizeof m; p = (const char*)m.BaseAddress + m.RegionSize) {
        if (m.State == MEM_COMMIT && m.Type == MEM_PRIVATE) total += m.RegionSize;
        if ((const char*)m.BaseAddress + m.RegionSize < p) break;  // wrapped at the top
    }
    return total;
}

SoakReport RunSoak(PicturesHarness& h, int rounds, uint32_t seed, int markLoads) {
    const std::vector<SoakSeed> seeds = SoakSeeds();
    SoakReport report;
    // Nothing reads the call trace here; a line per call would only slow the soak.
    ScopedEnvVar noTrace("VISTARO_TRACE", "");
    LARGE_INTEGER freq, start, end;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    for (int round = 0; round < rounds; round++) {
        for (const SoakSeed& s : seeds) {
            std::string bytes = s.bytes;
            int flips = 1 + (int)(seed % 8);
            for (int i = 0; i < flips; i++) {
                seed = seed * 1103515245u + 12345u;
                size_t at = (seed >> 8) % bytes.size();
                seed = seed * 1103515245u + 12345u;
                bytes[at] ^= (char)(1 << (seed >> 16) % 8);
            }
            h.Reset(256);
            // Writing the settings file after a load costs more than the load;
            // one load in ten goes that whole way, the others as the preview
            // loads (no settings file, no no-picture box).
            h.previewing = report.loads % 10 != 0;
            std::string path = h.Picture(s.name, bytes);
            h.Load({path});
            std::string outcome = SoakOutcome(h);
            report.outcomes[outcome]++;
            if (!SoakOutcomeIsDefined(h, path) && report.undefined.size() < 20)
                report.undefined.push_back(s.kind + ": " + outcome);
            if (++report.loads == markLoads) report.memoryAtMark = CommittedPrivateBytes();
        }
    }
    h.Reset(256);  // the last load's textures go too
    report.memoryAtEnd = CommittedPrivateBytes();
    QueryPerformanceCounter(&end);
    report.seconds = (double)(end.QuadPart - start.QuadPart) / freq.QuadPart;
    return report;
}
