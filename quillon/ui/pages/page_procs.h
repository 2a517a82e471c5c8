// The page procedures the main window's page table names.
#ifndef QUILLON_PAGE_PROCS_H
#define QUILLON_PAGE_PROCS_H

#include <windows.h>

INT_PTR CALLBACK SourcePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PatientPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

#endif
