#include "file_dialog.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>

#include "store/app_record.h"

namespace {

constexpr size_t kShortestSeed = 7;  // shorter paths cannot name a file worth starting from

// The dialog's filter: the pairs with NULs for '|', ending with two NULs.
void MakeFilter(const char* pairs, char* filter, size_t size) {
    size_t i = 0;
    for (; i + 1 < size && pairs[i] != '\0'; ++i) filter[i] = pairs[i] == '|' ? '\0' : pairs[i];
    filter[i] = '\0';
    if (i + 1 < size) filter[i + 1] = '\0';
}

// The seed's name and its folder; the folder must then exist.
void Seed(OPENFILENAMEA* dialog, const char* seed, char* folder, size_t folderSize) {
    if (seed == nullptr || std::strlen(seed) < kShortestSeed) return;
    std::snprintf(dialog->lpstrFile, dialog->nMaxFile, "%s", seed);
    std::snprintf(folder, folderSize, "%s", seed);
    if (char* cut = std::strrchr(folder, '\\')) cut[1] = '\0';
    dialog->lpstrInitialDir = folder;
    dialog->Flags |= OFN_PATHMUSTEXIST;
}

}  // namespace

bool AskFilePath(HWND owner, const FileDialogRequest& request, char* path, size_t pathSize) {
    if (path == nullptr || pathSize == 0) return false;
    char filter[kPathSize] = {};
    char folder[kPathSize] = {};
    MakeFilter(request.filter, filter, sizeof filter);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = static_cast<DWORD>(pathSize);
    dialog.lpstrTitle = request.title;
    dialog.lpstrDefExt = request.defaultExt;
    dialog.Flags = OFN_SHAREAWARE;
    path[0] = '\0';
    Seed(&dialog, request.seed, folder, sizeof folder);
    const BOOL chosen = request.save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    return chosen != FALSE;
}
