// Without a desktop there are no file dialogs: the block is kept so that
// callers work unchanged, and showing a dialog reports "no choice" (0). The
// block comes from calloc; the caller frees it with free().
#include <cstdlib>

#include "api.h"
#include "dialog_block.h"

using namespace kavf;

namespace {

// The fields the Windows record holds, with the same initial values.
struct DialogBlock {
    uint32_t structSize;
    void* owner;
    const char* filter;
    char* file;
    uint32_t fileChars;
    char* fileTitle;
    uint32_t fileTitleChars;
    const char* initialDirectory;
    const char* title;
    uint32_t flags;
    const char* defaultExtension;
};

uint32_t ShowDialog(KAVFDIALOG dialog, void* owner, char* file, char* fileTitle,
                    const char* defaultExtension, uint32_t flags) {
    if (dialog == nullptr) return 0;
    DialogBlock& block = *static_cast<DialogBlock*>(dialog);
    block.owner = owner;
    block.file = file;
    block.fileTitle = fileTitle;
    block.defaultExtension = defaultExtension;
    block.flags = flags;
    return 0;
}

}  // namespace

KAVF_EXPORT KAVFDIALOG KAVFAPI InitKavfileDialog(char* filter) {
    DialogBlock* block = static_cast<DialogBlock*>(std::calloc(1, sizeof(DialogBlock)));
    if (block == nullptr) return nullptr;
    ConvertFilterInPlace(filter);
    block->structSize = sizeof(DialogBlock);
    block->filter = filter;
    block->fileChars = kDialogFileChars;
    block->fileTitleChars = kDialogFileTitleChars;
    block->defaultExtension = kDefaultExtension;
    return block;
}

KAVF_EXPORT uint32_t KAVFAPI SetKavfileDirectory(KAVFDIALOG dialog, const char* directory) {
    if (dialog == nullptr) return 0;
    static_cast<DialogBlock*>(dialog)->initialDirectory = directory;
    return 1;
}

KAVF_EXPORT uint32_t KAVFAPI SetKavfileTitle(KAVFDIALOG dialog, const char* title) {
    if (dialog == nullptr) return 0;
    static_cast<DialogBlock*>(dialog)->title = title;
    return 1;
}

KAVF_EXPORT uint32_t KAVFAPI GetOpenKavfilename(KAVFDIALOG dialog, void* owner, char* file,
                                                char* fileTitle, const char* defaultExtension) {
    return ShowDialog(dialog, owner, file, fileTitle, defaultExtension, kOpenDialogFlags);
}

KAVF_EXPORT uint32_t KAVFAPI GetSaveKavfilename(KAVFDIALOG dialog, void* owner, char* file,
                                                char* fileTitle, const char* defaultExtension) {
    return ShowDialog(dialog, owner, file, fileTitle, defaultExtension, kSaveDialogFlags);
}
