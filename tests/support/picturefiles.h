// Picture files made in memory, for fixtures and sample pictures.
#pragma once
#include <stdint.h>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// Colour of picture pixel (x, y), y counted from the top row: 0xRRGGBB, or a
// colour-table index for bitmaps of 8 bits or fewer.
using PixelFunction = std::function<uint32_t(int x, int y)>;

struct BmpSpec {
    int width = 0;
    int height = 0;
    int bits = 24;                  // 1, 4, 8, 16, 24 or 32
    bool topDown = false;           // negative height, top row first in the file
    bool coreHeader = false;        // the 12-byte header with 16-bit sizes
    int headerSize = 40;            // 40, 108, 124 ... (ignored with coreHeader)
    bool rle = false;               // run-length encoded (8 or 4 bits, bottom-up)
    std::vector<uint32_t> palette;  // 0xRRGGBB, written as given (may be short)
    PixelFunction pixel;
};

// The bytes of a Windows bitmap file.
std::string MakeBmp(const BmpSpec& pic);

struct JpegSpec {
    int width = 0;
    int height = 0;
    int components = 3;  // 1 grey, 3 colour, 4 CMYK (the colour taken as C, M, Y; K = 0)
    int quality = 95;
    bool progressive = false;
    PixelFunction pixel;  // 0xRRGGBB; grey uses the red byte
};

// The bytes of a JPEG file.
std::string MakeJpeg(const JpegSpec& pic);

}  // namespace testsupport
