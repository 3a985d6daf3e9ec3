// Writes through a null pointer with a window open, as a test program that
// crashes would: the rig must end it at once with a non-zero status.
#include <windows.h>
#include <stdint.h>

// Out of the compiler's sight, so the write stays a write.
volatile uintptr_t g_nowhere = 0;

int main() {
    // USER32 in use: where a crash handler might ask in a message box first.
    CreateWindowA("STATIC", "crash", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                  GetModuleHandleA(nullptr), nullptr);
    *reinterpret_cast<volatile int*>(g_nowhere) = 1;
    return 0;
}
