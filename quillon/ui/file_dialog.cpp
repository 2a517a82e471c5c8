#include "file_dialog.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "res/text_ids.h"
#include "store/app_record.h"
#include "ui_text.h"

namespace {

constexpr size_t kShortestSeed = 7;  // shorter paths cannot name a file worth starting from
// The dialog may hand back any path the system takes, long-path form included;
// what the record cannot hold is then refused with its reason.
constexpr size_t kDialogPathChars = 32768;
constexpr int kMessageBytes = 1024;

// The dialog's filter: the pairs with NULs for '|', ending with two NULs.
std::wstring MakeFilter(const char* pairs) {
    std::wstring filter = WideFromCp932(pairs);
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    return filter;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t cut = path.rfind(L'\\');
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

std::string LoadText(UINT id) {
    char text[kMessageBytes] = {};
    LoadStringCp932(GetModuleHandleW(nullptr), id, text, sizeof text);
    return text;
}

void ShowProblem(HWND owner, const char* caption, const std::string& text) {
    MessageBoxCp932(owner, text.c_str(), caption, MB_OK | MB_ICONWARNING);
}

void ShowPathTooLong(HWND owner, const char* caption, const std::string& path, size_t pathSize) {
    std::vector<char> text(kMessageBytes + path.size());
    std::snprintf(text.data(), text.size(), LoadText(IDS_DIALOG_PATH_TOO_LONG).c_str(),
                  static_cast<int>(pathSize - 1), path.c_str());
    ShowProblem(owner, caption, text.data());
}

// The chosen path in code page 932 into path; false, with the reason shown,
// when a character has no code page 932 form or the path does not fit.
bool TakeChosenPath(HWND owner, const char* caption, const wchar_t* chosen, char* path,
                    size_t pathSize) {
    BOOL lossy = FALSE;
    const int size =
        WideCharToMultiByte(kRecordCodePage, 0, chosen, -1, nullptr, 0, nullptr, &lossy);
    if (lossy || size <= 0) {
        ShowProblem(owner, caption, LoadText(IDS_OPEN_NOT_CP932));
        return false;
    }
    const std::string bytes = Cp932FromWide(chosen);
    if (bytes.size() >= pathSize) {
        ShowPathTooLong(owner, caption, bytes, pathSize);
        return false;
    }
    std::memcpy(path, bytes.c_str(), bytes.size() + 1);
    return true;
}

}  // namespace

bool AskFilePath(HWND owner, const FileDialogRequest& request, char* path, size_t pathSize) {
    if (path == nullptr || pathSize == 0) return false;
    const std::wstring filter = MakeFilter(request.filter);
    const std::wstring title = WideFromCp932(request.title);
    const std::wstring defaultExt = WideFromCp932(request.defaultExt);
    std::vector<wchar_t> chosen(kDialogPathChars, L'\0');
    std::wstring folder;
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = chosen.data();
    dialog.nMaxFile = static_cast<DWORD>(chosen.size());
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = defaultExt.c_str();
    dialog.Flags = OFN_SHAREAWARE;
    if (request.seed != nullptr && std::strlen(request.seed) >= kShortestSeed) {
        const std::wstring seed = WideFromCp932(request.seed);
        seed.copy(chosen.data(), chosen.size() - 1);
        folder = FolderOf(seed);
        dialog.lpstrInitialDir = folder.c_str();
        dialog.Flags |= OFN_PATHMUSTEXIST;
    }
    const BOOL picked = request.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    path[0] = '\0';
    if (picked == FALSE) {
        const DWORD failure = CommDlgExtendedError();
        char text[kMessageBytes] = {};
        std::snprintf(text, sizeof text, LoadText(IDS_OPEN_DIALOG_FAILED).c_str(),
                      static_cast<unsigned long>(failure));
        if (failure != 0) ShowProblem(owner, request.title, text);
        return false;
    }
    return TakeChosenPath(owner, request.title, chosen.data(), path, pathSize);
}
