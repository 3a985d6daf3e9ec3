// Helpers shared by the picture readers and the texture build.
#pragma once

enum BmpHeaderResult { BMP_HEADER_OK, BMP_HEADER_BAD, BMP_HEADER_TOO_BIG };

// Reads the size of a bitmap file with its full range: width > 0; height
// non-zero, negative for a top-down file. BMP_HEADER_TOO_BIG when a side
// does not fit 16 bits.
BmpHeaderResult ReadBmpDimensions(const char* path, int* width, int* height, int* bitCount);
