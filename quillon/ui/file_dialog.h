// The common open and save dialogs for a file path, built one way for
// every caller.
#ifndef QUILLON_FILE_DIALOG_H
#define QUILLON_FILE_DIALOG_H

#include <windows.h>

#include <cstddef>

constexpr bool kOpenDialog = false;
constexpr bool kSaveDialog = true;

struct FileDialogRequest {
    bool save;  // kOpenDialog or kSaveDialog
    const char* title;
    const char* filter;      // "name|pattern|" pairs, ending with '|'
    const char* defaultExt;  // without the dot
    const char* seed;        // a previous path: its name and folder start the dialog
};

// Asks for a path; the chosen one is in path. False when cancelled. A seed
// too short to name a file seeds nothing.
bool AskFilePath(HWND owner, const FileDialogRequest& request, char* path, size_t pathSize);

#endif
