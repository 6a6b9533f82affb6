// A companion-client setup that crashes as soon as it starts.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    return 0;
}
