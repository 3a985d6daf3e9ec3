// JPEG reader on libjpeg. Errors leave libjpeg through JpegErrorExit by a
// long jump, so nothing here may own a destructor across the jump.
#include "pictures.h"

#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>

#include <jpeglib.h>
#include <jerror.h>

namespace {

struct JpegErrors {
    jpeg_error_mgr mgr;  // first, so libjpeg's err pointer is ours too
    jmp_buf recovery;
};

// A hostile progressive file may hold thousands of scans, each a pass over
// the whole picture; real files have a dozen or so.
const int kMaxScans = 256;
// Ceiling for libjpeg's own buffers; the largest accepted picture needs far less.
const long kMaxDecoderMemory = 96L * 1024 * 1024;

void LimitScans(j_common_ptr cinfo) {
    j_decompress_ptr d = (j_decompress_ptr)cinfo;
    if (d->input_scan_number > kMaxScans) ERREXIT1(cinfo, JERR_BAD_SCAN_SCRIPT, d->input_scan_number);
}

}  // namespace

void JpegErrorExit(jpeg_common_struct* cinfo) {
    (*cinfo->err->output_message)(cinfo);
    longjmp(((JpegErrors*)cinfo->err)->recovery, 1);
}

int ReadJpegFile(const char* path, unsigned char* pixels, size_t capacity, unsigned short* width,
                 unsigned short* height, int* colours, int decode, int scale, int* warnings) {
    *warnings = 0;
    FILE* file = fopen(path, "rb");
    if (!file) {
        fprintf(stderr, "can't open %s\n", path);
        return 0;
    }
    jpeg_decompress_struct cinfo;
    JpegErrors errors;
    jpeg_progress_mgr progress;
    unsigned char* volatile row = NULL;
    cinfo.err = jpeg_std_error(&errors.mgr);
    errors.mgr.error_exit = JpegErrorExit;
    if (setjmp(errors.recovery)) {
        free(row);
        jpeg_destroy_decompress(&cinfo);
        fclose(file);
        return 0;
    }
    jpeg_CreateDecompress(&cinfo, JPEG_LIB_VERSION, sizeof cinfo);
    cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
    progress.progress_monitor = LimitScans;
    cinfo.progress = &progress;
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    *colours = 0x1000000;
    if (!decode) {
        *width = (unsigned short)cinfo.image_width;
        *height = (unsigned short)cinfo.image_height;
        *warnings = (int)errors.mgr.num_warnings;
        jpeg_destroy_decompress(&cinfo);
        fclose(file);
        return 0;
    }
    cinfo.scale_num = 1;
    cinfo.scale_denom = scale == 2 ? 2 : 1;
    jpeg_calc_output_dimensions(&cinfo);
    int components = cinfo.out_color_components;
    JDIMENSION outWidth = cinfo.output_width, outHeight = cinfo.output_height;
    *width = (unsigned short)outWidth;
    *height = (unsigned short)outHeight;
    // Refuse before any image data is decoded: odd colour spaces, sizes the
    // 16-bit outputs cannot carry, and pictures larger than the caller's buffer.
    if ((components != 1 && components != 3) || outWidth > 0xFFFF || outHeight > 0xFFFF ||
        (unsigned long long)outWidth * outHeight * 3 > capacity || !pixels) {
        jpeg_destroy_decompress(&cinfo);
        fclose(file);
        return 0;
    }
    jpeg_start_decompress(&cinfo);
    row = (unsigned char*)malloc((size_t)components * outWidth);
    if (!row) {
        jpeg_destroy_decompress(&cinfo);
        fclose(file);
        return 0;
    }
    size_t rowBytes = (size_t)outWidth * 3;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = {row};
        JDIMENSION n = cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) ERREXIT(&cinfo, JERR_INPUT_EMPTY);
        unsigned char* out = pixels + n * rowBytes;
        for (JDIMENSION i = 0; i < outWidth; i++) {
            const unsigned char* src = row + (size_t)(outWidth - 1 - i) * components;
            if (components == 3) {
                out[3 * i] = src[2];
                out[3 * i + 1] = src[1];
                out[3 * i + 2] = src[0];
            } else {
                out[3 * i] = out[3 * i + 1] = out[3 * i + 2] = src[0];
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    fclose(file);
    free(row);
    *warnings = (int)errors.mgr.num_warnings;
    return 1;
}
