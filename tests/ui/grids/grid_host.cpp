// Hosts both montage grids in one window the way the montage pages do: the
// application record in a movable zero-filled block, the patterns of the
// settings file below INSTALL_FOLDER\COND, the grids attached with
// WM_GRID_SETDATA. A driver in another process acts on the grids with
// mouse and keyboard messages and asks the host, by the messages below, to
// register the patterns, report notifications and show a label.
//
//   grid_host INSTALL_FOLDER CHANNEL_COUNT
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "grid_host_protocol.h"
#include "grid_window.h"
#include "montage_grids.h"
#include "montage_ids.h"
#include "montage_page.h"
#include "record_lock.h"
#include "settings_store.h"

namespace {

constexpr int kSampleRate = 200;

struct HostState {
    HGLOBAL record;
    SettingsPaths paths;
    ElectrodeNameTable names;
    HWND grids[2];
    LONG notices[2][3];  // per grid: codes 10, 11, 12
    WPARAM syncToken;
};

HostState g_host = {};

HGLOBAL CreateRecord(int channels) {
    HGLOBAL block = GlobalAlloc(GHND, sizeof(AppRecord));
    RecordLock record(block);
    if (!record) return block;
    record->SelfHandle = block;
    LoadSettingsBeforePages(record.record, &g_host.names, &g_host.paths);
    LoadSettingsAfterPages(record.record, &g_host.paths);
    LoadPsgAdBits(record.record, g_host.paths.SettingsPath);
    record->ChannelCount = channels;
    record->SampleRate = kSampleRate;
    return block;
}

HWND CreateGrid(HWND host, const char* className, int id, int y, int height) {
    constexpr DWORD kOnePixelBorder = 0x0100;
    HWND grid = CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | kOnePixelBorder,
                                8, y, kGridHostGridWidth, height, host,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleA(nullptr), nullptr);
    SendMessageA(grid, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    SendMessageA(grid, WM_GRID_SETDATA, reinterpret_cast<WPARAM>(g_host.record), 0);
    InvalidateRect(grid, nullptr, FALSE);
    return grid;
}

void CountNotice(WPARAM wParam) {
    const int grid = LOWORD(wParam) == kGridHostEegId ? 0 : LOWORD(wParam) == kGridHostPsgId ? 1 : -1;
    const int code = HIWORD(wParam) - 10;
    if (grid >= 0 && code >= 0 && code < 3) g_host.notices[grid][code]++;
}

LRESULT Register() {
    RecordLock record(g_host.record);
    if (!record) return 0;
    RegisterCurrentPattern(record.record, kEegMontage, g_host.paths.SettingsPath);
    return RegisterCurrentPattern(record.record, kPsgMontage, g_host.paths.SettingsPath);
}

// The EEG labels are not stored in the settings file: the title shows one.
LRESULT ShowEegLabel(HWND host, WPARAM row) {
    RecordLock record(g_host.record);
    if (!record || row < 1 || row > kPatternRowCount) return 0;
    char title[64];
    std::snprintf(title, sizeof title, "label:%s",
                  record->PatternSlots[record->CurrentEegPattern].EegRows[row - 1].label);
    SetWindowTextA(host, title);
    return 1;
}

LRESULT CellCentre(WPARAM kind, LPARAM cell) {
    const MontageKind grid = kind == 0 ? kEegMontage : kPsgMontage;
    RecordLock record(g_host.record);
    if (!record) return 0;
    GridView view;
    LoadGridView(record.record, grid, &view);
    const GridArea area = GridWorkingArea(g_host.grids[kind == 0 ? 0 : 1]);
    GridCell rect;
    const int row = HIWORD(cell);
    if (!GridCellRect(grid, &view, &area, LOWORD(cell), GridBandOfRow(&view, row), &rect)) return 0;
    return MAKELRESULT((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

LRESULT CALLBACK HostProc(HWND host, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: CountNotice(wParam); return 0;
        case kGridHostRegister: return Register();
        case kGridHostNotices: return g_host.notices[wParam & 1][lParam % 3];
        case kGridHostEegLabel: return ShowEegLabel(host, wParam);
        case kGridHostCellCentre: return CellCentre(wParam, lParam);
        case kGridHostSync: g_host.syncToken = wParam; return 0;
        case kGridHostSynced: return static_cast<LRESULT>(g_host.syncToken);
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcA(host, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc < 3 || !MakeSettingsPaths(__argv[1], &g_host.paths)) return 2;
    g_host.record = CreateRecord(std::atoi(__argv[2]));
    if (g_host.record == nullptr || !RegisterMontageGridClasses(instance, &g_host.names)) return 3;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kGridHostClass;
    RegisterClassA(&wc);
    HWND host = CreateWindowA(kGridHostClass, "grid host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                              0, 0, kGridHostGridWidth + 40, 720, nullptr, nullptr, instance, nullptr);
    g_host.grids[0] = CreateGrid(host, EEG_GRID_CLASS, kGridHostEegId, 8, kGridHostEegHeight);
    g_host.grids[1] = CreateGrid(host, PSG_GRID_CLASS, kGridHostPsgId, 16 + kGridHostEegHeight,
                                 kGridHostPsgHeight);
    ShowWindow(host, SW_SHOW);
    SetForegroundWindow(host);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    GlobalFree(g_host.record);
    return 0;
}
