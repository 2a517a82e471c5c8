// Hosts the two montage pages with their grids in one window the way the
// main window does: the application record in a movable zero-filled block,
// the settings and patterns of INSTALL_FOLDER\COND\QUILLON.INI, the pages
// made from their dialog templates. A driver in another process acts on
// them with mouse and keyboard messages; the host only answers questions
// (notifications seen, a label, where a cell is) and shows the status text.
//
//   grid_host INSTALL_FOLDER CHANNEL_COUNT
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "grid_host_protocol.h"
#include "grid_window.h"
#include "montage_grids.h"
#include "ids/montage_ids.h"
#include "pages/montage_page.h"
#include "montage_pages.h"
#include "record_lock.h"
#include "store/settings_store.h"

namespace {

constexpr int kSampleRate = 200;
constexpr int kGridNoticeCount = kGridSelectionEnds - kGridSelectionBegins + 1;

struct HostState {
    HGLOBAL record;
    SettingsPaths paths;
    ElectrodeNameTable names;
    MontagePageContext context;
    HWND pages[2];
    LONG notices[2][kGridNoticeCount];  // per page: the selection codes from its grid
    WPARAM syncToken;
    HHOOK hook;
};

HostState g_host = {};

HGLOBAL CreateRecord(int channels) {
    HGLOBAL block = GlobalAlloc(GHND, sizeof(AppRecord));
    RecordLock record(block);
    if (!record) return block;
    record->SelfHandle = block;
    LoadSettingsBeforePages(record.record, &g_host.names, &g_host.paths);
    LoadSettingsAfterPages(record.record, &g_host.paths);
    record->ChannelCount = channels;
    record->SampleRate = kSampleRate;
    return block;
}

void ShowStatus(HWND host, int, const char* text) {
    SetDlgItemTextA(host, kGridHostStatusId, text);
}

// The pages ignore their grids' notifications; the host counts them on
// their way through its message queue.
LRESULT CALLBACK CountNotices(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == WM_COMMAND &&
        LOWORD(message->wParam) == IDC_MONTAGE_GRID) {
        const int page = message->hwnd == g_host.pages[0]   ? 0
                         : message->hwnd == g_host.pages[1] ? 1
                                                            : -1;
        const int notice = HIWORD(message->wParam) - kGridSelectionBegins;
        if (page >= 0 && notice >= 0 && notice < kGridNoticeCount) g_host.notices[page][notice]++;
    }
    return CallNextHookEx(g_host.hook, code, wParam, lParam);
}

int FontHeight(HFONT font) {
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return metrics.tmHeight;
}

HWND CreatePage(HWND host, const char* name, DLGPROC procedure, int id, int y, int height) {
    HWND page = CreateDialogParamA(GetModuleHandleA(nullptr), name, host, procedure,
                                   reinterpret_cast<LPARAM>(&g_host.context));
    if (page == nullptr) return nullptr;
    SetWindowLongPtrA(page, GWLP_ID, id);
    MoveWindow(page, 0, y, kGridHostPageWidth, height, TRUE);
    ShowWindow(page, SW_SHOW);
    SendMessageA(page, WM_PAGE_SHOWN, 0, 0);
    return page;
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
    const GridArea area =
        GridWorkingArea(GetDlgItem(g_host.pages[kind == 0 ? 0 : 1], IDC_MONTAGE_GRID));
    GridCell rect;
    const int row = HIWORD(cell);
    if (!GridCellRect(grid, &view, &area, LOWORD(cell), GridBandOfRow(&view, row), &rect)) return 0;
    return MAKELRESULT((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

LRESULT CALLBACK HostProc(HWND host, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kGridHostNotices: return g_host.notices[wParam & 1][lParam % 3];
        case kGridHostEegLabel: return ShowEegLabel(host, wParam);
        case kGridHostCellCentre: return CellCentre(wParam, lParam);
        case kGridHostSync: g_host.syncToken = wParam; return 0;
        case kGridHostSynced: return static_cast<LRESULT>(g_host.syncToken);
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcA(host, message, wParam, lParam);
    }
}

HWND CreateHost(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kGridHostClass;
    RegisterClassA(&wc);
    HWND host = CreateWindowA(kGridHostClass, "grid host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                              0, kGridHostPageWidth + 16, 760, nullptr, nullptr, instance, nullptr);
    CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 8, 700, 600, 20, host,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kGridHostStatusId)), instance,
                  nullptr);
    return host;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc < 3 || !MakeSettingsPaths(__argv[1], &g_host.paths)) return 2;
    g_host.record = CreateRecord(std::atoi(__argv[2]));
    if (g_host.record == nullptr || !RegisterMontageGridClasses(instance, &g_host.names)) return 3;
    HWND host = CreateHost(instance);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    g_host.context = {g_host.record,    host,      g_host.paths.SettingsPath, font,
                      FontHeight(font), ShowStatus};
    g_host.hook = SetWindowsHookExA(WH_GETMESSAGE, CountNotices, nullptr, GetCurrentThreadId());
    g_host.pages[0] = CreatePage(host, IDD_EEG_MONTAGE_PAGE, EegMontagePageProc, kGridHostEegPageId,
                                 0, kGridHostEegHeight);
    g_host.pages[1] = CreatePage(host, IDD_PSG_MONTAGE_PAGE, PsgMontagePageProc, kGridHostPsgPageId,
                                 kGridHostEegHeight, kGridHostPsgHeight);
    if (g_host.pages[0] == nullptr || g_host.pages[1] == nullptr) return 4;
    ShowWindow(host, SW_SHOW);
    SetForegroundWindow(host);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    UnhookWindowsHookEx(g_host.hook);
    GlobalFree(g_host.record);
    return 0;
}
