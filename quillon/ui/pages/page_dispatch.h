// The dialog procedure the setup and convert pages share: one switch of
// messages, each page giving its own handlers in a table. A null handler
// leaves its message to the dialog manager.
#ifndef QUILLON_PAGE_DISPATCH_H
#define QUILLON_PAGE_DISPATCH_H

#include <windows.h>

struct PageHandlers {
    // False once the page's data is gone: later messages are left alone.
    bool (*ready)(HWND page);
    INT_PTR (*initDialog)(HWND page, LPARAM context);
    void (*destroy)(HWND page);
    void (*ncDestroy)(HWND page);
    void (*size)(HWND page, int width, int height);
    void (*command)(HWND page, WORD id, WORD code);
    void (*timer)(HWND page, UINT_PTR id);
    INT_PTR (*colourStatic)(HWND page, HDC dc, HWND control);
    void (*shown)(HWND page);
};

// Pages announce that the record may have changed (a command handled, a
// page shown); whoever follows the record, the wave preview, hooks in.
void NotifyRecordChanged();
void SetRecordChangedHook(void (*hook)());

INT_PTR DispatchPageMessage(HWND page, const PageHandlers& handlers, UINT message, WPARAM wParam,
                            LPARAM lParam);

#endif
