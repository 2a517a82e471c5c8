// What the EEG and PSG convert pages share: their context, the status line
// (red when a run did not write everything or did not start), the save
// dialog, dialog 105, the timer that drives a run with its progress, and
// "中止" that stops it.
#ifndef QUILLON_CONVERT_PAGE_COMMON_H
#define QUILLON_CONVERT_PAGE_COMMON_H

#include <windows.h>

#include "store/app_record.h"
#include "store/reasons.h"
#include "convert_pages.h"

constexpr UINT_PTR kConversionTimerId = 800;
// Shorter than the 200 ms of one step a tick: each tick runs steps for
// kTickBudgetMilliseconds, and timer messages come only when no input or
// painting waits, so the run takes most of the idle time and the window
// still answers between ticks.
constexpr UINT kConversionTimerPeriod = USER_TIMER_MINIMUM;
constexpr int kStatusBytes = 128;
constexpr int kStatusLineBytes = 640;

void InitConvertPage(HWND page, LPARAM context);
// At WM_NCDESTROY.
void ReleaseConvertPage(HWND page);
const ConvertPageContext* ConvertContext(HWND page);
// False before WM_INITDIALOG and after WM_NCDESTROY.
bool HasConvertContext(HWND page);

// A text of the string table in code page 932; empty when there is none.
void LoadPageString(HWND page, int stringId, char* text, int size);
// A status text of the string table, in the page's normal colour.
void ShowStatusString(HWND page, int stringId);
// Any status text (code page 932); red when warning.
void ShowStatusText(HWND page, const char* text, bool warning);
// The status line's colour, for WM_CTLCOLORSTATIC; 0 for other controls.
INT_PTR StatusLineColour(HWND page, HDC dc, HWND control);

// The save dialog of the output file, seeded from seed. False when cancelled.
bool AskOutputPath(HWND owner, const char* title, const char* seed, char* path, int pathSize);
// Dialog 105: a file of the chosen name exists and is left alone.
void ShowSameNameExists(HWND page);
void EnableControl(HWND page, int id, bool enabled);
// Whether the open source can be converted; if not the status line says
// why, in red, before anything is asked or created.
bool SourceUsable(HWND page);
// A start that was refused: the reason in red, the progress of any run
// before cleared, the main window's status bar told.
void ShowStartRefusal(HWND page, const Reason* reason);

// Starts timer 800 for the run the record now holds; the progress counts
// from the source offset the run starts at.
void StartRunTimer(HWND page, AppRecord* record);
// One timer tick: as many steps as the budget allows, then the counter and
// progress; the run is ended here when it is done. formatCounter writes the
// counter's text.
void OnRunTimer(HWND page, void (*formatCounter)(const AppRecord*, char*, size_t));
// "中止": ends the run in progress as an interrupt; the file keeps every
// step converted and the status line says what it holds.
void StopRun(HWND page);
// Ends a run in progress early (the page goes away with its window) and
// tells the user what the file holds.
void EndRunOnDestroy(HWND page);
// After a run ended: the page's own refresh of its controls.
void SetRunEndedHandler(HWND page, void (*ended)(HWND page));

#endif
