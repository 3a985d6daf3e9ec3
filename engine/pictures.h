// Pictures to cube textures: BMP and JPEG readers and the texture build.
#pragma once
#include <windows.h>
#include <stddef.h>

struct CubeSettings;
struct jpeg_common_struct;

// 1 when the text after the last '.' is exactly "jpg" or "JPG".
int IsJpegFileName(const char* name);

// Reads the size and bit count of a Windows bitmap file. 1 on success; 0 for
// an unreadable file, a wrong magic, an unknown header size, or a width or
// height that is zero, negative (beyond the top-down height) or does not fit
// the 16-bit outputs.
int ReadBmpHeader(const char* path, short* width, short* height, int* bitCount);

// Reads a JPEG file. With decode 0 only the header is read: width and height
// are set, the result is 0. With decode 1 the picture is decoded at 1/scale
// (scale 1 or 2) into pixels, 3 bytes per pixel (blue, green, red), rows one
// after another, top row first, each row mirrored left to right; width and
// height then hold the decoded size. The decode fails (0) before writing
// anything when that size does not fit the capacity in bytes, when the file
// has neither 1 nor 3 colour components, or when it is too large to decode.
// colours is set to 0x1000000, warnings to libjpeg's warning count.
int ReadJpegFile(const char* path, unsigned char* pixels, size_t capacity, unsigned short* width,
                 unsigned short* height, int* colours, int decode, int scale, int* warnings);

// libjpeg's error exit: reports the message and long-jumps back to ReadJpegFile.
void JpegErrorExit(jpeg_common_struct* cinfo);

// Turns settings->pictureNames into face textures 0-5 and the frame texture 6
// on render context rc; failed names leave the list (boxes owned by window)
// and the shortened list is saved unless previewing. Returns 1.
int LoadPictureTextures(CubeSettings* settings, int rc, HWND window);
