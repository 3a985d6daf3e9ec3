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

std::string PackRow(const BmpSpec& pic, int y) {
    std::string row;
    int acc = 0, used = 0;
    for (int x = 0; x < pic.width; x++) {
        uint32_t v = pic.pixel(x, y);
        switch (pic.bits) {
        case 1:
        case 4:
        case 8:
            acc = acc << pic.bits | (int)(v & ((1u << pic.bits) - 1));
            used += pic.bits;
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
std::string RleRows(const BmpSpec& pic) {
    std::string out;
    for (int i = 0; i < pic.height; i++) {
        int y = pic.height - 1 - i;
        for (int x = 0; x < pic.width;) {
            uint32_t v = pic.pixel(x, y);
            int n = 1;
            while (x + n < pic.width && n < 255 && pic.pixel(x + n, y) == v) n++;
            out += (char)n;
            out += (char)(pic.bits == 4 ? (v & 15) * 0x11 : v & 255);
            x += n;
        }
        out += std::string("\0\0", 2);
    }
    out += std::string("\0\1", 2);
    return out;
}

}  // namespace

std::string MakeBmp(const BmpSpec& pic) {
    std::string pixels;
    if (pic.rle)
        pixels = RleRows(pic);
    else
        for (int i = 0; i < pic.height; i++) pixels += PackRow(pic, pic.topDown ? i : pic.height - 1 - i);
    std::string table;
    for (uint32_t c : pic.palette) {
        table += (char)(c & 0xFF);
        table += (char)(c >> 8 & 0xFF);
        table += (char)(c >> 16 & 0xFF);
        if (!pic.coreHeader) table += '\0';
    }
    std::string header;
    if (pic.coreHeader) {
        Put32(header, 12);
        Put16(header, pic.width);
        Put16(header, pic.height);
        Put16(header, 1);
        Put16(header, pic.bits);
    } else {
        Put32(header, pic.headerSize);
        Put32(header, pic.width);
        Put32(header, pic.topDown ? -pic.height : pic.height);
        Put16(header, 1);
        Put16(header, pic.bits);
        Put32(header, pic.rle ? (pic.bits == 4 ? BI_RLE4 : BI_RLE8) : BI_RGB);
        Put32(header, pixels.size());
        Put32(header, 2835);
        Put32(header, 2835);
        Put32(header, pic.bits <= 8 ? pic.palette.size() : 0);
        Put32(header, 0);
        header.resize(pic.headerSize, '\0');
    }
    std::string file = "BM";
    Put32(file, 14 + header.size() + table.size() + pixels.size());
    Put32(file, 0);
    Put32(file, 14 + header.size() + table.size());
    return file + header + table + pixels;
}

std::string MakeJpeg(const JpegSpec& pic) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = pic.width;
    cinfo.image_height = pic.height;
    cinfo.input_components = pic.components;
    cinfo.in_color_space = pic.components == 1 ? JCS_GRAYSCALE : pic.components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, pic.quality, TRUE);
    if (pic.progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row((size_t)pic.width * pic.components);
    while (cinfo.next_scanline < cinfo.image_height) {
        int y = cinfo.next_scanline;
        for (int x = 0; x < pic.width; x++) {
            uint32_t v = pic.pixel(x, y);
            unsigned char* p = &row[(size_t)x * pic.components];
            p[0] = v >> 16 & 0xFF;
            if (pic.components >= 3) {
                p[1] = v >> 8 & 0xFF;
                p[2] = v & 0xFF;
            }
            if (pic.components == 4) p[3] = 0;
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
