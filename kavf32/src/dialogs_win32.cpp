// File dialogs over the common dialog library. The block is a movable global
// memory block holding one OPENFILENAMEA; the caller frees it with GlobalFree.
#include <windows.h>
#include <commdlg.h>

#include "api.h"
#include "dialog_block.h"

using namespace kavf;

namespace {

struct LockedDialog {
    HGLOBAL block;
    OPENFILENAMEA* record;
    explicit LockedDialog(KAVFDIALOG dialog)
        : block(static_cast<HGLOBAL>(dialog)),
          record(dialog != nullptr ? static_cast<OPENFILENAMEA*>(GlobalLock(block)) : nullptr) {}
    ~LockedDialog() {
        if (record != nullptr) GlobalUnlock(block);
    }
    LockedDialog(const LockedDialog&) = delete;
    LockedDialog& operator=(const LockedDialog&) = delete;
};

uint32_t ShowDialog(KAVFDIALOG dialog, void* owner, char* file, char* fileTitle,
                    const char* defaultExtension, bool save) {
    LockedDialog locked(dialog);
    if (locked.record == nullptr) return 0;
    OPENFILENAMEA& ofn = *locked.record;
    ofn.hwndOwner = static_cast<HWND>(owner);
    ofn.lpstrFile = file;
    ofn.lpstrFileTitle = fileTitle;
    ofn.lpstrDefExt = defaultExtension;
    ofn.Flags = save ? kSaveDialogFlags : kOpenDialogFlags;
    BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    return chosen ? 1 : 0;
}

}  // namespace

KAVF_EXPORT KAVFDIALOG KAVFAPI InitKavfileDialog(char* filter) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(OPENFILENAMEA));
    if (block == nullptr) return nullptr;
    {
        LockedDialog locked(block);
        if (locked.record == nullptr) {
            GlobalFree(block);
            return nullptr;
        }
        ConvertFilterInPlace(filter);
        OPENFILENAMEA& ofn = *locked.record;
        ofn.lStructSize = sizeof ofn;
        ofn.lpstrFilter = filter;
        ofn.nMaxFile = kDialogFileChars;
        ofn.nMaxFileTitle = kDialogFileTitleChars;
        ofn.lpstrDefExt = kDefaultExtension;
    }
    return block;
}

KAVF_EXPORT uint32_t KAVFAPI SetKavfileDirectory(KAVFDIALOG dialog, const char* directory) {
    LockedDialog locked(dialog);
    if (locked.record == nullptr) return 0;
    locked.record->lpstrInitialDir = directory;
    return 1;
}

KAVF_EXPORT uint32_t KAVFAPI SetKavfileTitle(KAVFDIALOG dialog, const char* title) {
    LockedDialog locked(dialog);
    if (locked.record == nullptr) return 0;
    locked.record->lpstrTitle = title;
    return 1;
}

KAVF_EXPORT uint32_t KAVFAPI GetOpenKavfilename(KAVFDIALOG dialog, void* owner, char* file,
                                                char* fileTitle, const char* defaultExtension) {
    return ShowDialog(dialog, owner, file, fileTitle, defaultExtension, false);
}

KAVF_EXPORT uint32_t KAVFAPI GetSaveKavfilename(KAVFDIALOG dialog, void* owner, char* file,
                                                char* fileTitle, const char* defaultExtension) {
    return ShowDialog(dialog, owner, file, fileTitle, defaultExtension, true);
}
