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

// The Help menu opened as Alt+H opens it, its last item chosen by keys.
void CheckAboutFromMenu(UiSession* session) {
    PostMessageA(session->main, WM_SYSCOMMAND, SC_KEYMENU, 'h');
    Settle(session->main);
    PressKey(session->main, VK_DOWN);
    PressKey(session->main, VK_RETURN);
    HWND about = WaitForDialog(*session, "About Quillon Converter");
    Check(about != nullptr, "Help > About in the menu shows the About box");
    Snapshot(*session, "about");
    if (about != nullptr) Click(FindControl(about, IDOK));
    Settle(session->main);
}

const char kConvertTip[] =  // ﾌｧｲﾙ変換を開始する
    "\xCC\xA7\xB2\xD9\x95\xCF\x8A\xB7\x82\xF0\x8A\x4A\x8E\x6E\x82\xB7\x82\xE9";

// The pointer rests on Conv: its tooltip comes up with string 5.
void CheckToolTip(UiSession* session) {
    HWND toolbar = Toolbar(*session);
    RECT button = {};
    if (!ItemRect(toolbar, TB_GETRECT, kConvertCommand, &button)) return;
    POINT point = {(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    POINT screen = point;
    ClientToScreen(toolbar, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageA(toolbar, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
    HWND tip = WaitForTopWindow(session->process, "tooltips_class32", nullptr, kActionTimeoutMs);
    CheckText(tip != nullptr ? WindowText(tip) : "", kConvertTip,
              "resting on Conv shows its tooltip");
    Snapshot(*session, "tooltip-conv");
    SetCursorPos(0, 0);
}

void RunFrameScenarios(UiSession* session) {
    CheckAboutFromMenu(session);
    CheckToolTip(session);
    CheckPresetReapplied(session);
    CheckDroppedFile(session);
    CheckResize(session);
}
