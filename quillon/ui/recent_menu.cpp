// The File menu's recent sources: the list the engine keeps, shown above
// Exit as "&1 path" .. "&4 path".
#include "main_window.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "res/resource_ids.h"
#include "store/recent_files.h"
#include "ui_text.h"

namespace {

constexpr int kFileMenuPosition = 0;
// The separator below the recent entries, removed with them.
constexpr UINT kRecentSeparator = IDM_RECENT_FIRST + kRecentFileCount;

RecentFiles g_recentFiles;

int PositionOf(HMENU menu, UINT command) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        if (GetMenuItemID(menu, i) == command) return i;
    return -1;
}

void ShowRecentEntries(HWND window) {
    HMENU file = GetSubMenu(GetMenu(window), kFileMenuPosition);
    if (file == nullptr) return;
    for (UINT id = IDM_RECENT_FIRST; id <= kRecentSeparator; ++id)
        DeleteMenu(file, id, MF_BYCOMMAND);
    int at = PositionOf(file, IDM_EXIT);
    if (at < 0 || g_recentFiles.count == 0) return;
    for (int32_t i = 0; i < g_recentFiles.count; ++i) {
        const std::wstring path = WideFromCp932(g_recentFiles.paths[i]);
        wchar_t text[kPathSize + 8];
        std::swprintf(text, sizeof text / sizeof text[0], L"&%d %ls", static_cast<int>(i + 1),
                      path.c_str());
        InsertMenuW(file, static_cast<UINT>(at++), MF_BYPOSITION | MF_STRING,
                    static_cast<UINT_PTR>(IDM_RECENT_FIRST + i), text);
    }
    InsertMenuW(file, static_cast<UINT>(at), MF_BYPOSITION | MF_SEPARATOR, kRecentSeparator,
                nullptr);
    DrawMenuBar(window);
}

}  // namespace

void LoadRecentMenu(HWND window) {
    LoadRecentFileList(&g_recentFiles, g_paths.SettingsPath);
    ShowRecentEntries(window);
}

void RememberRecentSource(HWND window, const char* path) {
    if (!AddRecentFile(&g_recentFiles, path)) return;
    SaveRecentFileList(&g_recentFiles, g_paths.SettingsPath);
    ShowRecentEntries(window);
}

bool RecentSourcePath(int command, char* path) {
    const int index = command - IDM_RECENT_FIRST;
    if (index < 0 || index >= g_recentFiles.count) return false;
    std::memcpy(path, g_recentFiles.paths[index], kPathSize);
    return true;
}
