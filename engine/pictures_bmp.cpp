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

// The information header and its longer relatives all begin with the same
// width, height, planes, bit count, compression, image size ... colours used.
static bool IsInfoHeaderSize(uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

// Offset just past the headers, the colour masks and the colour table.
static uint64_t TableEnd(const BmpInfo& info) {
    const bool core = info.headerSize == 12;
    uint64_t end = 14 + (uint64_t)info.headerSize + (uint64_t)info.tableEntries * (core ? 3 : 4);
    if (info.compression == 3 && info.headerSize == 40) end += 12;  // the three colour masks
    return end;
}

static BmpHeaderResult ReadHeaders(FILE* f, BmpInfo* info) {
    unsigned char file[14], h[36];
    if (fread(file, 1, sizeof file, f) != sizeof file || Le16(file) != 0x4D42) return BMP_HEADER_BAD;
    if (fread(h, 1, 4, f) != 4) return BMP_HEADER_BAD;
    uint32_t size = Le32(h);
    int64_t w, ht;
    memset(info, 0, sizeof *info);
    info->headerSize = (int)size;
    info->offBits = Le32(file + 10);
    if (size == 12) {
        if (fread(h + 4, 1, 8, f) != 8) return BMP_HEADER_BAD;
        w = Le16(h + 4);
        ht = Le16(h + 6);
        info->bitCount = Le16(h + 10);
        info->tableEntries = info->bitCount <= 8 ? 1 << info->bitCount : 0;
    } else if (IsInfoHeaderSize(size)) {
        if (fread(h + 4, 1, 32, f) != 32) return BMP_HEADER_BAD;
        w = (int32_t)Le32(h + 4);
        ht = (int32_t)Le32(h + 8);
        info->bitCount = Le16(h + 14);
        info->compression = (int)Le32(h + 16);
        info->sizeImage = Le32(h + 20);
        uint32_t used = Le32(h + 32);
        if (info->bitCount <= 8) {
            if (used > (1u << info->bitCount)) return BMP_HEADER_BAD;
            info->tableEntries = used ? (int)used : 1 << info->bitCount;
        } else {
            info->tableEntries = used > 256 ? 256 : (int)used;
        }
    } else {
        return BMP_HEADER_BAD;
    }
    if (w <= 0 || ht == 0 || ht == INT32_MIN) return BMP_HEADER_BAD;
    if (w > 32767 || ht > 32767 || ht < -32767) return BMP_HEADER_TOO_BIG;
    info->width = (int)w;
    info->height = (int)ht;
    info->pixelOffset = info->offBits ? info->offBits : (unsigned)TableEnd(*info);
    if (fseek(f, 0, SEEK_END) == 0) {
        long end = ftell(f);
        info->fileSize = end > 0 ? (unsigned)end : 0;
    }
    return BMP_HEADER_OK;
}

BmpHeaderResult ReadBmpInfo(const char* path, BmpInfo* info) {
    FILE* f = fopen(path, "rb");
    if (!f) return BMP_HEADER_BAD;
    BmpHeaderResult result = ReadHeaders(f, info);
    fclose(f);
    return result;
}

bool BmpLayoutIsComplete(const BmpInfo& info) {
    const uint64_t fileSize = info.fileSize;
    const int bits = info.bitCount;
    if (TableEnd(info) > fileSize || info.pixelOffset > fileSize) return false;
    uint64_t rows = info.height < 0 ? -(int64_t)info.height : info.height;
    switch (info.compression) {
    case 0:  // BI_RGB
    case 3:  // BI_BITFIELDS
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
        if (info.compression == 3 && bits != 16 && bits != 32) return false;
        return info.pixelOffset + ((uint64_t)info.width * bits + 31) / 32 * 4 * rows <= fileSize;
    case 1:  // BI_RLE8
    case 2:  // BI_RLE4
        if (bits != (info.compression == 1 ? 8 : 4) || info.height < 0 || info.sizeImage == 0) return false;
        return info.pixelOffset + (uint64_t)info.sizeImage <= fileSize;
    default: return false;
    }
}

int ReadBmpHeader(const char* path, short* width, short* height, int* bitCount) {
    BmpInfo info;
    if (ReadBmpInfo(path, &info) != BMP_HEADER_OK) return 0;
    *width = (short)info.width;
    *height = (short)info.height;
    *bitCount = info.bitCount;
    return 1;
}
