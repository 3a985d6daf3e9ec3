#include "mode.h"

#include <stdio.h>
#include <string.h>

namespace {

bool HasAny(const char* text, const char* const* switches) {
    for (; *switches; ++switches)
        if (strstr(text, *switches)) return true;
    return false;
}

// The number after the n-th blank, if there is such a blank and a number.
bool ReadAfterBlank(const char* text, int nth, int* value) {
    const char* p = text;
    for (int i = 0; i < nth; ++i) {
        p = strchr(p, ' ');
        if (!p) return false;
        ++p;
    }
    return sscanf(p, "%i", value) == 1;
}

}  // namespace

ModeChoice ChooseMode(const char* commandLine) {
    static const char* const kFull[] = {"/s", "-s", "/S", "-S", nullptr};
    static const char* const kPreview[] = {"/L", "-L", "/l", "-l", "/P", "-P", "/p", "-p", nullptr};
    static const char* const kPassword[] = {"/A", "-A", "/a", "-a", nullptr};
    const char* text = commandLine ? commandLine : "";
    ModeChoice c{SaverMode::Settings, false, 0};
    if (HasAny(text, kFull)) {
        c.mode = SaverMode::FullScreen;
    } else if (HasAny(text, kPreview)) {
        c.mode = SaverMode::Preview;
        c.haveHandle = ReadAfterBlank(text, 1, &c.handle);
    } else if (HasAny(text, kPassword)) {
        c.mode = SaverMode::ChangePassword;
        c.haveHandle = ReadAfterBlank(text, 2, &c.handle);
    }
    if (!c.haveHandle) c.handle = 0;
    return c;
}
