// Helpers shared by the picture readers and the texture build.
#pragma once

enum BmpHeaderResult { BMP_HEADER_OK, BMP_HEADER_BAD, BMP_HEADER_TOO_BIG };

// What a bitmap file's headers say, with the sizes in their full range.
struct BmpInfo {
    int width;   // > 0
    int height;  // non-zero; negative for a top-down file
    int bitCount;
    int headerSize;    // 12 for the core header
    int compression;   // BI_RGB, BI_RLE8, ...
    int tableEntries;  // colour-table entries in the file
    unsigned offBits;
    unsigned pixelOffset;  // where a loader reads the pixels: offBits, or past the colour table when it is 0
    unsigned sizeImage;
    unsigned fileSize;
};

// Reads the headers. BMP_HEADER_TOO_BIG when a side does not fit 16 bits.
BmpHeaderResult ReadBmpInfo(const char* path, BmpInfo* info);

// True when the file holds every byte its headers promise: colour table and
// pixel rows (the system's loader reads past the end of a short file).
bool BmpLayoutIsComplete(const BmpInfo& info);
