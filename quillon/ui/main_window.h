// The main window: its globals and the calls its parts and pages share.
#ifndef QUILLON_MAIN_WINDOW_H
#define QUILLON_MAIN_WINDOW_H

#include <windows.h>
#include <commctrl.h>

#include "page_messages.h"
#include "store/app_record.h"
#include "store/settings_store.h"

#define MAIN_WINDOW_CLASS "VQUILLONCONVERTOR"
#define MAIN_WINDOW_TITLE "Quillon Convertor"
// Window extra bytes; the AppRecord handle sits at index 0.
#define MAIN_WINDOW_EXTRA_BYTES 10

extern HINSTANCE g_instance;
extern HWND g_mainWindow;
extern HWND g_currentPage;  // the page shown now, for the dialog keys
extern HWND g_splashWindow;
extern SettingsPaths g_paths;
extern ElectrodeNameTable g_electrodeNames;

ATOM RegisterMainWindowClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance);
// Opens a source named on the command line or by another start, once the
// window is up.
void OpenSourceLater(HWND window, const char* path);

// Start-up build and shut-down.
LRESULT BuildMainWindow(HWND window);
void SaveSettings(HWND window);
void SendSourceToWindow(HWND running, const char* path);

// Frame: status bar, toolbar, type row.
void CreateStatusBar(HWND window);
void CreateMainToolbar(HWND window, AppRecord* record);
void CreateTypeRow(HWND window, AppRecord* record);
void FillOriginalTypes(HWND window, const AppRecord* record);
void LayoutFrame(HWND window, AppRecord* record, int width, int height);
void ShowStatus(HWND window, int kind, const char* text);
void ShowStatusString(HWND window, int kind, int stringId);
void UpdateCommandStates(HWND window);
void AnswerToolTip(LPARAM lParam);
// After a DPI change: the frame's fonts, toolbar images and grids anew.
void RefreshFrameFonts(HWND window);

// Tabs and pages.
void CreateTabPages(HWND window, AppRecord* record);
void ShowTabPage(HWND window, HWND tabControl, int tab);
void LayoutPages(AppRecord* record);

// Commands.
void OnMainCommand(HWND window, WPARAM wParam);
void OnStartupTimer(HWND window);
int OpenSourcePath(HWND window, const char* path);

// The File menu's recent sources.
void LoadRecentMenu(HWND window);
void RememberRecentSource(HWND window, const char* path);
// The path of recent entry command (kPathSize bytes); false for none.
bool RecentSourcePath(int command, char* path);

// The focus on the first control of the page shown (the tab control when
// the page has none).
void FocusShownPage(HWND window);
void SwitchTab(HWND window, int step);
// A length in pixels at 96 DPI for the window's DPI now.
int ScaleToWindow(HWND window, int pixels96);

// The source's open dialog and the column check, with their notices.
int OpenSourceFile(HWND window, AppRecord* record);
void CheckDataColumns(HWND page, AppRecord* record, const char* line);

#endif
