// File-name test and bitmap file header reader.
#include "pictures.h"
#include "pictures_internal.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

int IsJpegFileName(const char* name) {
    const char* dot = strrchr(name, '.');
    if (!dot) return 0;
    return strcmp(dot + 1, "jpg") == 0 || strcmp(dot + 1, "JPG") == 0;
}

static uint16_t Le16(const unsigned char* p) { return (uint16_t)(p[0] | p[1] << 8); }
static uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24; }

// Header sizes: the core header, the information header and its longer
// relatives, which all begin with the same width, height, planes, bit count.
static bool IsInfoHeaderSize(uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

static BmpHeaderResult ReadHeader(FILE* f, int* width, int* height, int* bitCount) {
    unsigned char file[14], info[16];
    if (fread(file, 1, sizeof file, f) != sizeof file || Le16(file) != 0x4D42) return BMP_HEADER_BAD;
    if (fread(info, 1, 4, f) != 4) return BMP_HEADER_BAD;
    uint32_t size = Le32(info);
    int64_t w, h;
    if (size == 12) {
        if (fread(info + 4, 1, 8, f) != 8) return BMP_HEADER_BAD;
        w = Le16(info + 4);
        h = Le16(info + 6);
        *bitCount = Le16(info + 10);
    } else if (IsInfoHeaderSize(size)) {
        if (fread(info + 4, 1, 12, f) != 12) return BMP_HEADER_BAD;
        w = (int32_t)Le32(info + 4);
        h = (int32_t)Le32(info + 8);
        *bitCount = Le16(info + 14);
    } else {
        return BMP_HEADER_BAD;
    }
    if (w <= 0 || h == 0) return BMP_HEADER_BAD;
    if (w > 32767 || h > 32767 || h < -32767) return BMP_HEADER_TOO_BIG;
    *width = (int)w;
    *height = (int)h;
    return BMP_HEADER_OK;
}

BmpHeaderResult ReadBmpDimensions(const char* path, int* width, int* height, int* bitCount) {
    FILE* f = fopen(path, "rb");
    if (!f) return BMP_HEADER_BAD;
    BmpHeaderResult result = ReadHeader(f, width, height, bitCount);
    fclose(f);
    return result;
}

int ReadBmpHeader(const char* path, short* width, short* height, int* bitCount) {
    int w, h, bits;
    if (ReadBmpDimensions(path, &w, &h, &bits) != BMP_HEADER_OK) return 0;
    *width = (short)w;
    *height = (short)h;
    *bitCount = bits;
    return 1;
}
