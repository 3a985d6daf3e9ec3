// The shared records on their own: the rendering library's side includes
// only this header, so it must compile without <windows.h>, and the values
// it names are the ones the library passes and reads.
#include "frame/records.h"

#if defined(_WINDOWS_) || defined(_WINDEF_) || defined(_WINBASE_)
#error "the shared records pulled in <windows.h>"
#endif

#include <gtest/gtest.h>

namespace {

TEST(SharedRecords, NamedValuesAreTheInterfaceValues) {
    const struct {
        const char* name;
        uint32_t named;
        uint32_t value;
    } cases[] = {
        {"DEV_SMOOTH", DEV_SMOOTH, 0x1},
        {"DEV_TEXTURE", DEV_TEXTURE, 0x2},
        {"DEV_MODULATE", DEV_MODULATE, 0x4},
        {"DEV_DEPTH", DEV_DEPTH, 0x8},
        {"DEV_DITHER", DEV_DITHER, 0x1000},
        {"DEV_COLORKEY", DEV_COLORKEY, 0x4000},
        {"DEV_ZOOM2", DEV_ZOOM2, 0x80000},
        {"DEV_COLORINDEX", DEV_COLORINDEX, 0x100000},
        {"DEV_AFFINE", DEV_AFFINE, 0x200000},
        {"DEV_GENERIC_MASK", DEV_GENERIC_MASK, 0x2cf0},
        {"DEV_CLEAR_COLOR", DEV_CLEAR_COLOR, 0x20},
        {"DEV_BUFFER_FRONT", DEV_BUFFER_FRONT, 0x40},
        {"DEV_BUFFER_BACK", DEV_BUFFER_BACK, 0x80},
        {"DEV_BUFFER_DEPTH", DEV_BUFFER_DEPTH, 0x400},
        {"DEVBUF_VALID", DEVBUF_VALID, 0x1},
        {"DEVBUF_DRIVER", DEVBUF_DRIVER, 0x2},
        {"DEVBUF_DIB", DEVBUF_DIB, 0x2000},
        {"DEVBUF_DDB", DEVBUF_DDB, 0x4000},
        {"DEVBUF_CALLER_MEMORY", DEVBUF_CALLER_MEMORY, 0x8000},
        {"DEV_CHANGE_CLIP", DEV_CHANGE_CLIP, 0x8},
        {"DEV_CAPS_GDI", DEV_CAPS_GDI, 0},
        {"DEV_CAPS_DIRECT", DEV_CAPS_DIRECT, 0x810},
        {"DEV_DEVCAPS_GDI", DEV_DEVCAPS_GDI, 3},
        {"DEV_DEVCAPS_DIRECT", DEV_DEVCAPS_DIRECT, 15},
        {"DEV_ZOOM_2", DEV_ZOOM_2, 0x20000},
        {"DEV_RESIZE_MOVED", DEV_RESIZE_MOVED, 0x10},
        {"DEV_RESIZE_SIZED", DEV_RESIZE_SIZED, 0x20},
        {"DEV_NOTIFY_NEW_SURFACE", DEV_NOTIFY_NEW_SURFACE, 0x400},
        {"DEV_MAX_CLIP_RECTS", DEV_MAX_CLIP_RECTS, 40},
    };
    for (const auto& c : cases) EXPECT_EQ(c.value, c.named) << c.name;
}

TEST(SharedRecords, PixelsAreDoubledOnlyAtExactlyTwoBothWays) {
    const struct {
        const char* name;
        uint32_t state;
        uint32_t zoomX, zoomY;
        bool doubled;
    } cases[] = {
        {"zoom 2 both ways", DEV_ZOOM2, 0x20000, 0x20000, true},
        {"with other state bits", DEV_ZOOM2 | DEV_TEXTURE | DEV_DEPTH, 0x20000, 0x20000, true},
        {"without DEV_ZOOM2", DEV_TEXTURE, 0x20000, 0x20000, false},
        {"x only", DEV_ZOOM2, 0x20000, 0x10000, false},
        {"y only", DEV_ZOOM2, 0x10000, 0x20000, false},
        {"a fraction above 2", DEV_ZOOM2, 0x20001, 0x20000, false},
        {"same integer part, other half", DEV_ZOOM2, 0x20000, 0x28000, false},
        {"zero factors", DEV_ZOOM2, 0, 0, false},
    };
    for (const auto& c : cases) {
        DevContext ctx = {};
        ctx.state = c.state;
        ctx.zoomX = c.zoomX;
        ctx.zoomY = c.zoomY;
        EXPECT_EQ(c.doubled, DevZoomed2(&ctx)) << c.name;
    }
}

}  // namespace
