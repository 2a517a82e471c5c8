// The frame around the pages: the preset list, a dropped file and resizing.
#include "ui_session.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kPresetNameId = 1222;
constexpr int kLabelLineId = 1228;
constexpr int kDataBiasId = 1227;
constexpr int kFileNameId = 1213;
constexpr int kHeaderListId = 1224;

void CheckPresetReapplied(UiSession* session) {
    ClickTab(*session, 0);
    SelectByKeys(FindControl(session->main, kOriginalTypeId), 0);
    CheckText(WindowText(FindVisibleControl(session->main, kPresetNameId)), "Comma with time",
              "choosing preset 1 on tab 0 names it on the source page");
    CheckSelection(FindVisibleControl(session->main, kLabelLineId), 1,
                   "preset 1's label line is applied");
    CheckSelection(FindVisibleControl(session->main, kDataBiasId), 1,
                   "preset 1's data point bias is applied");
}

// A file dropped from a file manager arrives as WM_DROPFILES carrying a
// DROPFILES block in the receiving program's memory.
void DropFile(HWND window, const std::string& path) {
    std::vector<char> block(sizeof(DROPFILES) + path.size() + 2, '\0');
    DROPFILES* drop = reinterpret_cast<DROPFILES*>(block.data());
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = {200, 200};
    std::memcpy(block.data() + sizeof(DROPFILES), path.data(), path.size());
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    void* remote = process
                       ? VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE)
                       : nullptr;
    SIZE_T written = 0;
    if (remote != nullptr &&
        WriteProcessMemory(process, remote, block.data(), block.size(), &written))
        PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
    Settle(window);
    if (process != nullptr) CloseHandle(process);
}

void CheckDroppedFile(UiSession* session) {
    DropFile(session->main, session->blankSource);
    CheckText(WindowText(FindVisibleControl(session->main, kFileNameId)), session->blankSource,
              "a file dropped on the window is opened");
    Check(ListCount(FindVisibleControl(session->main, kHeaderListId)) == 11,
          "the dropped file's head is listed");
    // Read with the comma preset the file's label line differs from its data
    // columns: the check asks, and OK adopts the data columns.
    HWND ask = WaitForDialog(*session, kConfirmTitle);
    Check(ask != nullptr, "the dropped file's labels are checked against its data columns");
    if (ask != nullptr) Click(FindControl(ask, IDOK));
    Settle(session->main);
}

void CheckResize(UiSession* session) {
    SetWindowPos(session->main, nullptr, 0, 0, 900, 640, SWP_NOMOVE | SWP_NOZORDER);
    Settle(session->main);
    HWND tabs = TabControl(*session);
    HWND list = FindVisibleControl(session->main, kHeaderListId);
    RECT tabRect = {}, pageRect = {}, listRect = {};
    GetClientRect(tabs, &tabRect);
    GetClientRect(GetParent(list), &pageRect);
    GetWindowRect(list, &listRect);
    Check(pageRect.right == tabRect.right - 2, "the page follows the window's width");
    Check(listRect.right - listRect.left == pageRect.right * 97 / 100,
          "the header list keeps 97 % of the page");
    Snapshot(*session, "resized-900x640");
    SetWindowPos(session->main, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    Settle(session->main);
    RECT rect = {};
    GetWindowRect(session->main, &rect);
    Check(rect.right - rect.left >= 640 && rect.bottom - rect.top >= 480,
          "the window keeps at least 640 x 480");
}

}  // namespace

void RunFrameScenarios(UiSession* session) {
    CheckPresetReapplied(session);
    CheckDroppedFile(session);
    CheckResize(session);
}
