// The programs' entry point. Linked as an object (target sulvantix_winmain)
// because the C runtime asks for WinMain only after our libraries have been
// searched.
#include <windows.h>

#include "framework/app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int cmdShow) {
    return AfxWinMain(instance, cmdShow);
}
