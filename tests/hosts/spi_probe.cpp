// Reports the system's screen-saver-running flag as its exit code (1 set,
// 0 clear); with "clear" it clears the flag first. A process of its own,
// because a process keeps the value it read once.
#include <windows.h>
#include <string.h>

int main(int argc, char** argv) {
    if (argc > 1 && strcmp(argv[1], "clear") == 0) {
        BOOL old;
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &old, 0);
    }
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return running ? 1 : 0;
}
