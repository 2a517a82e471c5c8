// Bramwick: window and message tools, bound by ordinal. The ordinal of each
// call stands beside it; the names are ours.
#ifndef QUILLON_BRAMWICK_H
#define QUILLON_BRAMWICK_H

#include <stdint.h>

#include "companion_api.h"

#ifdef __cplusplus
extern "C" {
#endif

// Font kinds of ordinal 2.
#define BRAMWICK_FONT_HANDLE 0
#define BRAMWICK_FONT_HEIGHT 2
// Font numbers the program uses: the type row and tabs, a large title, a
// bold caption, a small fixed-pitch text.
#define BRAMWICK_FONT_NORMAL 0
#define BRAMWICK_FONT_TITLE 5
#define BRAMWICK_FONT_CAPTION 7
#define BRAMWICK_FONT_FIXED 15

// 2: kind BRAMWICK_FONT_HANDLE gives the handle of font number (an HFONT the
// library owns; the same one every time), kind BRAMWICK_FONT_HEIGHT its
// pixel height. Unknown numbers give font 0; unknown kinds 0.
intptr_t COMPANIONAPI BramwickFont(int32_t kind, int32_t number);
// 50: the DPI the fonts of ordinal 2 are made for from now on (0: the
// screen's). Fonts handed out before stay valid until the library goes.
void COMPANIONAPI BramwickSetFontDpi(int32_t dpi);
// 5: restores a window's placement stored under section of the settings
// file; the window keeps its place when nothing usable is stored. A stored
// place off every screen is moved back onto the nearest one.
void COMPANIONAPI BramwickRestorePlacement(void* window, const char* section, const char* path,
                                           int32_t flags);
// 6: stores a window's placement (normal position, maximised or not) under
// section "INITIAL" of the settings file.
void COMPANIONAPI BramwickStorePlacement(void* window, const char* path);
// Drive kinds of ordinal 16.
#define BRAMWICK_DRIVE_NONE 0
#define BRAMWICK_DRIVE_HARD_DISK 1
#define BRAMWICK_DRIVE_REMOTE 2
#define BRAMWICK_DRIVE_RAM_DISK 4
#define BRAMWICK_DRIVE_MO_5INCH 9
#define BRAMWICK_DRIVE_MO_3INCH 10
// 16: the kind of the drive of a letter 'A'..'Z' (either case);
// BRAMWICK_DRIVE_NONE for drives not offered as outputs.
int32_t COMPANIONAPI BramwickDriveKind(int32_t letter);
// 22: shows the dialog resource number of instance modally; returns the id
// of the button that ended it (IDOK 1, IDCANCEL 2), 0 when it could not be
// shown.
int32_t COMPANIONAPI BramwickModalDialog(void* owner, void* instance, int32_t resource);
// 23: the About box: as ordinal 22; a non-null text replaces the text of
// control BRAMWICK_ABOUT_TEXT_ID. The last argument is reserved (0).
int32_t COMPANIONAPI BramwickAboutBox(void* owner, void* instance, int32_t resource,
                                      int32_t reserved, const char* text, int32_t flags);
#define BRAMWICK_ABOUT_TEXT_ID 100
// 24: creates and shows the modeless dialog resource number (the start-up
// window); returns it, or null. The caller closes it with WM_CLOSE.
void* COMPANIONAPI BramwickStartupWindow(void* owner, void* instance, int32_t resource);

// 17: start-up; the value is handed back to ordinal 18 at exit.
uint32_t COMPANIONAPI BramwickStartup(void* instance);
// 18: shut-down after the message loop.
void COMPANIONAPI BramwickShutdown(uint32_t startupValue, void* instance);
// 49: start-up, right after ordinal 17.
void COMPANIONAPI BramwickInitialize(void);

// Size of the folder buffers of ordinals 10 and 12.
#define BRAMWICK_FOLDER_SIZE 260

// 10: writes the program's folder, ending in a path separator, into a buffer
// of BRAMWICK_FOLDER_SIZE bytes. 1 on success; on failure 0 and an empty text.
int32_t COMPANIONAPI BramwickProgramFolder(void* instance, char* folder);
// 12: removes the trailing path separators of a folder text in place.
int32_t COMPANIONAPI BramwickTrimFolder(char* folder);
// 13: parses a comma-separated list of decimal numbers (at most length bytes
// of text) into at most maxCount 16-bit values; returns how many were stored.
uint32_t COMPANIONAPI ParseNumberList(uint16_t* values, const char* text, int32_t length,
                                      int32_t maxCount);
// 30: appends one line to the trace file while tracing is on; does nothing
// at all while it is off.
void COMPANIONAPI BramwickTrace(const char* text);
// 31: turns tracing on for the rest of the process.
void COMPANIONAPI BramwickTraceOn(void);

#ifdef __cplusplus
}
#endif

#endif
