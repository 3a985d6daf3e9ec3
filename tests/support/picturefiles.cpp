#include "picturefiles.h"

#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

#include <jpeglib.h>

namespace testsupport {

namespace {

void Put16(std::string& s, uint32_t v) {
    s += (char)(v & 0xFF);
    s += (char)(v >> 8 & 0xFF);
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

std::string PackRow(const BmpSpec& spec, int y) {
    std::string row;
    int acc = 0, used = 0;
    for (int x = 0; x < spec.width; x++) {
        uint32_t v = spec.pixel(x, y);
        switch (spec.bits) {
        case 1:
        case 4:
        case 8:
            acc = acc << spec.bits | (int)(v & ((1u << spec.bits) - 1));
            used += spec.bits;
            if (used == 8) {
                row += (char)acc;
                acc = used = 0;
            }
            break;
        case 16:  // 5-5-5
            Put16(row, (v >> 19 & 31) << 10 | (v >> 11 & 31) << 5 | (v >> 3 & 31));
            break;
        case 24:
            row += (char)(v & 0xFF);
            row += (char)(v >> 8 & 0xFF);
            row += (char)(v >> 16 & 0xFF);
            break;
        case 32:
            Put32(row, v & 0xFFFFFF);
            break;
        }
    }
    if (used) row += (char)(acc << (8 - used));
    while (row.size() % 4) row += '\0';
    return row;
}

// Runs of at most 255 equal pixels (two equal indices for 4 bits), each row
// ended by an end-of-line mark, the picture by an end-of-bitmap mark.
std::string RleRows(const BmpSpec& spec) {
    std::string out;
    for (int i = 0; i < spec.height; i++) {
        int y = spec.height - 1 - i;
        for (int x = 0; x < spec.width;) {
            uint32_t v = spec.pixel(x, y);
            int n = 1;
            while (x + n < spec.width && n < 255 && spec.pixel(x + n, y) == v) n++;
            out += (char)n;
            out += (char)(spec.bits == 4 ? (v & 15) * 0x11 : v & 255);
            x += n;
        }
        out += std::string("\0\0", 2);
    }
    out += std::string("\0\1", 2);
    return out;
}

}  // namespace

std::string MakeBmp(const BmpSpec& spec) {
    std::string pixels;
    if (spec.rle)
        pixels = RleRows(spec);
    else
        for (int i = 0; i < spec.height; i++) pixels += PackRow(spec, spec.topDown ? i : spec.height - 1 - i);
    std::string table;
    for (uint32_t c : spec.palette) {
        table += (char)(c & 0xFF);
        table += (char)(c >> 8 & 0xFF);
        table += (char)(c >> 16 & 0xFF);
        if (!spec.coreHeader) table += '\0';
    }
    std::string header;
    if (spec.coreHeader) {
        Put32(header, 12);
        Put16(header, spec.width);
        Put16(header, spec.height);
        Put16(header, 1);
        Put16(header, spec.bits);
    } else {
        Put32(header, spec.headerSize);
        Put32(header, spec.width);
        Put32(header, spec.topDown ? -spec.height : spec.height);
        Put16(header, 1);
        Put16(header, spec.bits);
        Put32(header, spec.rle ? (spec.bits == 4 ? BI_RLE4 : BI_RLE8) : BI_RGB);
        Put32(header, pixels.size());
        Put32(header, 2835);
        Put32(header, 2835);
        Put32(header, spec.bits <= 8 ? spec.palette.size() : 0);
        Put32(header, 0);
        header.resize(spec.headerSize, '\0');
    }
    std::string file = "BM";
    Put32(file, 14 + header.size() + table.size() + pixels.size());
    Put32(file, 0);
    Put32(file, 14 + header.size() + table.size());
    return file + header + table + pixels;
}

std::string MakeJpeg(const JpegSpec& spec) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = spec.width;
    cinfo.image_height = spec.height;
    cinfo.input_components = spec.components;
    cinfo.in_color_space = spec.components == 1 ? JCS_GRAYSCALE : spec.components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, spec.quality, TRUE);
    if (spec.progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row((size_t)spec.width * spec.components);
    while (cinfo.next_scanline < cinfo.image_height) {
        int y = cinfo.next_scanline;
        for (int x = 0; x < spec.width; x++) {
            uint32_t v = spec.pixel(x, y);
            unsigned char* p = &row[(size_t)x * spec.components];
            p[0] = v >> 16 & 0xFF;
            if (spec.components >= 3) {
                p[1] = v >> 8 & 0xFF;
                p[2] = v & 0xFF;
            }
            if (spec.components == 4) p[3] = 0;
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string bytes((const char*)out, size);
    jpeg_destroy_compress(&cinfo);
    free(out);
    return bytes;
}

}  // namespace testsupport
