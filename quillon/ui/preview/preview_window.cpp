// The preview window: its state, the record it follows, scrolling and
// zooming, its place in the settings, and a back buffer so a redraw never
// flickers.
#include "preview_window.h"

#include <cmath>
#include <cstdio>

#include "gdi_scope.h"
#include "main_window.h"
#include "page_dispatch.h"
#include "pages/convert_summary.h"
#include "platform.h"
#include "preview/preview_scale.h"
#include "preview/view_ids.h"
#include "record_lock.h"
#include "ui_text.h"

namespace {

const wchar_t kClassName[] = L"QuillonWavePreview";
const char kSection[] = "PREVIEW";
constexpr UINT kFollowRecord = WM_APP + 41;
constexpr int kDefaultWidth = 760;
constexpr int kDefaultHeight = 520;
constexpr int kMinWidth = 320;
constexpr int kMinHeight = 200;
constexpr int kBaseDpi = 96;
constexpr int kNoteSize = 128;
constexpr int64_t kMicrosPerSecond = 1000000;

struct PreviewState {
    HWND window = nullptr;
    double fromSecond = 0.0;
    double seconds = kPreviewDefaultSeconds;
    double totalSeconds = 0.0;
    uint32_t digest = 0;
    int32_t outcome = kPreviewNoSource;
    PreviewModel model = {};
    int columns = 0;  // the model's, to know when a resize needs a new one
    HBITMAP buffer = nullptr;
    SIZE bufferSize = {};
    bool followPending = false;
    LARGE_INTEGER changedAt = {};  // of the change the next paint shows, 0 none
    LONG redraws = 0;
    LONG redrawMicros = 0;
    LONG openMicros = 0;
};

PreviewState g_preview;

int64_t MicrosSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (now.QuadPart - start.QuadPart) * kMicrosPerSecond / frequency.QuadPart;
}

// The window's dots per inch: the call of newer systems when there is one,
// else the screen's.
int WindowDpi(HWND window) {
    using DpiProc = UINT(WINAPI*)(HWND);
    static DpiProc proc = reinterpret_cast<DpiProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32"), "GetDpiForWindow")));
    if (proc != nullptr) {
        const UINT dpi = proc(window);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    WindowDcScope screen(nullptr);
    return screen.dc != nullptr ? GetDeviceCaps(screen.dc, LOGPIXELSY) : kBaseDpi;
}

int PlotColumns(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    const RECT plot = PreviewPlotRect(client, WindowDpi(window));
    return plot.right - plot.left;
}

void ShowScrollRange(PreviewState& s) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMax =
        static_cast<int>(std::ceil(s.totalSeconds > s.seconds ? s.totalSeconds : s.seconds));
    info.nPage = static_cast<UINT>(s.seconds);
    info.nPos = static_cast<int>(s.fromSecond);
    SetScrollInfo(s.window, SB_HORZ, &info, TRUE);
}

// A new model for the record as it is; none while a run reads the source.
void Rebuild(PreviewState& s) {
    RecordLock app(AppRecordHandleOf(g_mainWindow));
    if (!app || app->RunOwner != kRunNone) return;
    s.digest = PreviewRecordDigest(app.record);
    s.totalSeconds = SourceSecondsEstimate(app.record);
    const double last = s.totalSeconds > s.seconds ? s.totalSeconds - s.seconds : 0.0;
    if (s.fromSecond > last) s.fromSecond = std::floor(last);
    if (s.fromSecond < 0.0) s.fromSecond = 0.0;
    FreePreviewModel(&s.model);
    s.columns = PlotColumns(s.window);
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    s.outcome = MakePreviewModel(app.record, s.fromSecond, s.seconds, s.columns, &s.model);
    s.openMicros = static_cast<LONG>(MicrosSince(start));
    ShowScrollRange(s);
    InvalidateRect(s.window, nullptr, FALSE);
}

UINT OutcomeString(int32_t outcome) {
    switch (outcome) {
        case kPreviewBadLayout: return IDS_PREVIEW_BAD_LAYOUT;
        case kPreviewNoTrace: return IDS_PREVIEW_NO_TRACE;
        case kPreviewNoSource: return IDS_PREVIEW_NO_SOURCE;
        default: return IDS_PREVIEW_FAILED;
    }
}

void PaintInto(HDC dc, const RECT& client, PreviewState& s) {
    const std::wstring message = LoadWideString(g_instance, OutcomeString(s.outcome));
    const std::wstring note =
        s.model.estimated ? LoadWideString(g_instance, IDS_PREVIEW_ESTIMATED) : std::wstring();
    PreviewPicture picture = {s.outcome == kPreviewMade ? &s.model : nullptr, message.c_str(),
                              note.c_str(), WindowDpi(s.window)};
    PaintPreview(dc, client, picture);
}

void OnPaint(PreviewState& s) {
    PaintScope paint(s.window);
    RECT client = {};
    GetClientRect(s.window, &client);
    if (s.buffer == nullptr || s.bufferSize.cx != client.right ||
        s.bufferSize.cy != client.bottom) {
        if (s.buffer != nullptr) DeleteObject(s.buffer);
        s.buffer = CreateCompatibleBitmap(paint.dc, client.right, client.bottom);
        s.bufferSize = SIZE{client.right, client.bottom};
    }
    HDC memory = CreateCompatibleDC(paint.dc);
    {
        SelectScope use(memory, s.buffer);
        PaintInto(memory, client, s);
        BitBlt(paint.dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    }
    DeleteDC(memory);
    if (s.changedAt.QuadPart != 0) {
        s.redrawMicros = static_cast<LONG>(MicrosSince(s.changedAt));
        s.changedAt.QuadPart = 0;
        ++s.redraws;
    }
}

// A change was announced: redraw now when the picture depends on it.
void OnFollowRecord(PreviewState& s) {
    s.followPending = false;
    uint32_t digest = 0;
    {
        RecordLock app(AppRecordHandleOf(g_mainWindow));
        if (!app) return;
        if (app->SourceOpen == 0) {
            DestroyWindow(s.window);
            return;
        }
        digest = PreviewRecordDigest(app.record);
    }
    if (digest == s.digest) {
        s.changedAt.QuadPart = 0;
        return;
    }
    Rebuild(s);
    UpdateWindow(s.window);
}

void MoveTo(PreviewState& s, double second) {
    const double last = s.totalSeconds > s.seconds ? s.totalSeconds - s.seconds : 0.0;
    const double to = second < 0.0 ? 0.0 : second > last ? std::floor(last) : second;
    if (to == s.fromSecond) return;
    s.fromSecond = to;
    Rebuild(s);
}

void OnScroll(PreviewState& s, WORD code) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(s.window, SB_HORZ, &info);
    switch (code) {
        case SB_LINELEFT: MoveTo(s, s.fromSecond - 1); break;
        case SB_LINERIGHT: MoveTo(s, s.fromSecond + 1); break;
        case SB_PAGELEFT: MoveTo(s, s.fromSecond - s.seconds); break;
        case SB_PAGERIGHT: MoveTo(s, s.fromSecond + s.seconds); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: MoveTo(s, info.nTrackPos); break;
        case SB_LEFT: MoveTo(s, 0); break;
        case SB_RIGHT: MoveTo(s, s.totalSeconds); break;
        default: break;
    }
}

// The keys a scroll bar answers, for the keyboard.
void OnKey(PreviewState& s, WPARAM key) {
    switch (key) {
        case VK_LEFT: OnScroll(s, SB_LINELEFT); break;
        case VK_RIGHT: OnScroll(s, SB_LINERIGHT); break;
        case VK_PRIOR: OnScroll(s, SB_PAGELEFT); break;
        case VK_NEXT: OnScroll(s, SB_PAGERIGHT); break;
        case VK_HOME: OnScroll(s, SB_LEFT); break;
        case VK_END: OnScroll(s, SB_RIGHT); break;
        default: break;
    }
}

void OnWheel(PreviewState& s, WPARAM wParam) {
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    const double seconds = PreviewZoomStep(s.seconds, delta > 0 ? 1 : -1);
    if (delta == 0 || seconds == s.seconds) return;
    s.seconds = seconds;
    Rebuild(s);
}

void OnSize(PreviewState& s) {
    if (s.columns != PlotColumns(s.window)) Rebuild(s);
}

void OnDpiChanged(HWND window, LPARAM lParam) {
    const RECT* wanted = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, wanted->left, wanted->top, wanted->right - wanted->left,
                 wanted->bottom - wanted->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void OnMinMaxInfo(LPARAM lParam) {
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize = POINT{kMinWidth, kMinHeight};
}

void StoreNumber(const char* key, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    PlatWriteProfileString(kSection, key, text, g_paths.SettingsPath);
}

void StorePlace(PreviewState& s) {
    WINDOWPLACEMENT place = {};
    place.length = sizeof place;
    if (!GetWindowPlacement(s.window, &place)) return;
    const RECT& r = place.rcNormalPosition;
    PlatProfileHold(g_paths.SettingsPath);
    StoreNumber("Left", r.left);
    StoreNumber("Top", r.top);
    StoreNumber("Width", r.right - r.left);
    StoreNumber("Height", r.bottom - r.top);
    StoreNumber("FromSecond", static_cast<int>(s.fromSecond));
    StoreNumber("Seconds", static_cast<int>(s.seconds));
    PlatProfileRelease(g_paths.SettingsPath);
}

void OnDestroy(PreviewState& s) {
    StorePlace(s);
    FreePreviewModel(&s.model);
    if (s.buffer != nullptr) DeleteObject(s.buffer);
    s = PreviewState{};
}

LRESULT Answer(const PreviewState& s, WPARAM query) {
    switch (query) {
        case kQueryRedraws: return s.redraws;
        case kQueryRedrawMicros: return s.redrawMicros;
        case kQueryTraces: return s.outcome == kPreviewMade ? s.model.traceCount : 0;
        case kQueryFromSecond: return static_cast<LRESULT>(s.fromSecond);
        case kQuerySeconds: return static_cast<LRESULT>(s.seconds);
        case kQueryMarks: return s.outcome == kPreviewMade ? s.model.markCount : 0;
        case kQueryOpenMicros: return s.openMicros;
        default: return 0;
    }
}

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PreviewState& s = g_preview;
    switch (message) {
        case WM_PAINT: OnPaint(s); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_SIZE: OnSize(s); return 0;
        case WM_HSCROLL: OnScroll(s, LOWORD(wParam)); return 0;
        case WM_KEYDOWN: OnKey(s, wParam); return 0;
        case WM_MOUSEWHEEL: OnWheel(s, wParam); return 0;
        case WM_GETMINMAXINFO: OnMinMaxInfo(lParam); return 0;
        case WM_DPICHANGED: OnDpiChanged(window, lParam); return 0;
        case kFollowRecord: OnFollowRecord(s); return 0;
        case WM_PREVIEW_QUERY: return Answer(s, wParam);
        case WM_DESTROY: OnDestroy(s); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool RegisterOnce() {
    static ATOM atom = 0;
    if (atom != 0) return true;
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = PreviewProc;
    wc.hInstance = g_instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    atom = RegisterClassW(&wc);
    return atom != 0;
}

int StoredNumber(const char* key, int fallback) {
    return PlatProfileInt(kSection, key, fallback, g_paths.SettingsPath);
}

HWND CreatePreview(HWND mainWindow) {
    RECT owner = {};
    GetWindowRect(mainWindow, &owner);
    const int x = StoredNumber("Left", owner.left + 40), y = StoredNumber("Top", owner.top + 40);
    const int dpi = WindowDpi(mainWindow);
    const int w = StoredNumber("Width", MulDiv(kDefaultWidth, dpi, kBaseDpi));
    const int h = StoredNumber("Height", MulDiv(kDefaultHeight, dpi, kBaseDpi));
    const std::wstring title = LoadWideString(g_instance, IDS_PREVIEW_TITLE);
    HWND window = CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_HSCROLL, x,
                                  y, w < kMinWidth ? kMinWidth : w, h < kMinHeight ? kMinHeight : h,
                                  mainWindow, nullptr, g_instance, nullptr);
    if (window == nullptr) return nullptr;
    const int seconds = StoredNumber("Seconds", static_cast<int>(kPreviewDefaultSeconds));
    g_preview.seconds =
        seconds >= 1 && seconds <= kPreviewSecondsLimit ? seconds : kPreviewDefaultSeconds;
    g_preview.fromSecond = StoredNumber("FromSecond", 0);
    return window;
}

}  // namespace

void ShowPreviewWindow(HWND mainWindow) {
    bool open = false;
    {
        RecordLock app(AppRecordHandleOf(mainWindow));
        open = app && app->SourceOpen != 0;
    }
    if (!open || !RegisterOnce()) {
        MessageBeep(MB_OK);
        return;
    }
    if (g_preview.window == nullptr) {
        // An open is timed as a redraw: from here to the end of its first paint.
        LARGE_INTEGER openedAt;
        QueryPerformanceCounter(&openedAt);
        g_preview.window = CreatePreview(mainWindow);
        g_preview.changedAt = openedAt;
        if (g_preview.window == nullptr) return;
        SetRecordChangedHook(PreviewFollowRecord);
        Rebuild(g_preview);
        ShowWindow(g_preview.window, SW_SHOWNORMAL);
    }
    SetForegroundWindow(g_preview.window);
    SetFocus(g_preview.window);
}

void PreviewFollowRecord() {
    PreviewState& s = g_preview;
    if (s.window == nullptr) return;
    if (s.changedAt.QuadPart == 0) QueryPerformanceCounter(&s.changedAt);
    if (s.followPending) return;
    s.followPending = true;
    PostMessageW(s.window, kFollowRecord, 0, 0);
}
