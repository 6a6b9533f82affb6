// The control of the planted-DLL test: a program that loads DLLs by bare name without
// restricting its DLL search, as setup.exe must not. It shows that the planted DLLs would be
// picked up.
#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    for (int i = 1; i < argc; ++i) LoadLibraryW(argv[i]);
    return 0;
}
