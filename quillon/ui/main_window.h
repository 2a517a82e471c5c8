#ifndef QUILLON_MAIN_WINDOW_H
#define QUILLON_MAIN_WINDOW_H

#include <windows.h>

#define MAIN_WINDOW_CLASS "VQUILLONCONVERTOR"
#define MAIN_WINDOW_TITLE "Quillon Convertor"
// Window extra bytes; the AppRecord handle sits at index 0.
#define MAIN_WINDOW_EXTRA_BYTES 10

ATOM RegisterMainWindowClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance);

#endif
