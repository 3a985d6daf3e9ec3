#include <stdlib.h>

#include "vxnut.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return ThunkMain(instance, __argc > 1 ? __argv[1] : nullptr);
}
