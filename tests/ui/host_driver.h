// What the drivers of the host-window tests share: checks, finding a window
// of the host process, and waiting until the host has handled what was
// posted to it.
#ifndef QUILLON_TESTS_HOST_DRIVER_H
#define QUILLON_TESTS_HOST_DRIVER_H

#include <windows.h>

#include <string>

// Prints "PASS: what" or "FAIL: what" and counts it.
void Check(bool ok, const std::string& what);
// "N passed, M failed"; the exit status of the driver.
int ReportChecks();

// A visible top-level window of the process with that class, or null after
// timeoutMs.
HWND WaitForProcessWindow(DWORD processId, const char* className, DWORD timeoutMs);

// Every message posted to hostWindow before has been handled once the host
// has seen a token posted after them (one thread, one queue): the host
// keeps the last token of syncMessage and answers syncedMessage with it.
void SettleHost(HWND hostWindow, UINT syncMessage, UINT syncedMessage, DWORD timeoutMs);

// Asked of the window itself: across processes GetWindowText only reads
// the caption, which a combo box does not keep.
std::string WindowText(HWND window);

#endif
