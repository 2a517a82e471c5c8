// An empty page for the montage and convert pages until they are built: it
// shows nothing and keeps no state.
#include "page_procs.h"

INT_PTR CALLBACK PlaceholderPageProc(HWND, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: return TRUE;
        default: return FALSE;
    }
}
