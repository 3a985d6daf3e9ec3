// The linear frame buffer: physical range from vxn.ini, mapped through the
// thunk's map service.
#include "frame/services.h"

namespace {
// Reads a hexadecimal value as "%x" does (blanks, an optional sign and
// "0x"); a text without hexadecimal digits leaves *value as it was.
void ParseHex(const char* s, uint32_t* value) {
    while (*s == ' ' || *s == '\t') ++s;
    bool negative = false;
    if (*s == '+' || *s == '-') negative = (*s++ == '-');
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    if (s[0] == '0' && (s[1] == 'x' || s[1] == 'X') && digit(s[2]) >= 0) s += 2;
    if (digit(*s) < 0) return;
    uint32_t v = 0;
    for (; digit(*s) >= 0; ++s) v = (v << 4) | static_cast<uint32_t>(digit(*s));
    *value = negative ? 0u - v : v;
}

void ReadHexKey(const char* key, const char* fallback, uint32_t* value) {
    char text[80];
    GetPrivateProfileStringA("VXN", key, fallback, text, sizeof text, "vxn.ini");
    ParseHex(text, value);
}
}  // namespace

extern "C" {

void LfbReadSize(void) { ReadHexKey("LFB_VRAM_SIZE", "0x00100000", &g_lfbSize); }

void LfbReadBase(void) { ReadHexKey("LFB_BASE_ADDR", "0xA0000000", &g_lfbBase); }

void LfbMap(void) {
    LfbReadSize();
    LfbReadBase();
    g_frameBuffer = ThunkMapPhysical(g_lfbBase, g_lfbSize);
}

}  // extern "C"
