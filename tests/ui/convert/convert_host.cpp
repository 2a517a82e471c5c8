// Hosts one convert page in a plain window the way the main window does:
// the application record in a movable zero-filled block, the settings and
// patient data of INSTALL_FOLDER\COND, the source opened and laid out as
// quillon-cli convert does with the same options. A driver in another
// process acts on the page with mouse and keyboard input.
//
//   convert_host INSTALL_FOLDER SOURCE eeg32|psg CHANNELS RATE BIAS ad|calibrated
//
// The source is comma separated values, the data from line BIAS on with
// BIAS leading non-data fields, pattern 1.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "store/app_record.h"
#include "convert_host_protocol.h"
#include "ids/convert_ids.h"
#include "convert_pages.h"
#include "store/pattern_store.h"
#include "record_lock.h"
#include "store/settings_store.h"
#include "source/source_reader.h"

namespace {

struct HostOptions {
    const char* source;
    uint16_t outputKind;
    int32_t channels;
    int32_t rate;
    int32_t bias;
    uint16_t valueKind;
};

struct HostState {
    HGLOBAL record;
    SettingsPaths paths;
    ConvertPageContext context;
    HWND page;
    WPARAM syncToken;
    LONG ticksAllowed;
};

HostState g_host = {};

// What quillon-cli convert loads and applies for the same options.
bool PrepareRecord(AppRecord* record, const HostOptions& o) {
    LoadSettingsForConversion(record, &g_host.paths);
    record->CopyFileType = o.outputKind;
    record->CurrentEegPattern = 0;
    record->CurrentPsgPattern = 0;
    record->OrgFileType = 0;
    if (OpenSourceFromPath(record, o.source) == 0) return false;
    record->DelimitChar = 0;
    record->DataLineBias = o.bias;
    record->DataStartLine = o.bias;
    record->OrgCalDataType = o.valueKind;
    record->ChannelCount = o.channels;
    SwitchChannelRows(record, o.channels);
    record->SampleRate = o.rate;
    return true;
}

HGLOBAL CreateRecord(const HostOptions& o) {
    HGLOBAL block = GlobalAlloc(GHND, sizeof(AppRecord));
    RecordLock record(block);
    if (!record) return nullptr;
    record->SelfHandle = block;
    return PrepareRecord(record.record, o) ? block : nullptr;
}

LRESULT Running() {
    RecordLock record(g_host.record);
    return record && record->RunOwner != kRunNone ? 1 : 0;
}

LRESULT CALLBACK HostProc(HWND host, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kConvertHostSync: g_host.syncToken = wParam; return 0;
        case kConvertHostSynced: return static_cast<LRESULT>(g_host.syncToken);
        case kConvertHostRunning: return Running();
        case kConvertHostAllowTicks:
            g_host.ticksAllowed = static_cast<LONG>(wParam);
            return g_host.ticksAllowed;
        case kConvertHostTicksLeft: return g_host.ticksAllowed;
        case WM_CLOSE:
            // As the main window: a run in progress is stopped only when the user agrees.
            if (!AskCloseDuringRun(host, g_host.record)) return 0;
            DestroyWindow(g_host.page);  // as the main window ends its pages first
            g_host.page = nullptr;
            DestroyWindow(host);
            return 0;
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
    wc.lpszClassName = kConvertHostClass;
    RegisterClassA(&wc);
    return CreateWindowA(kConvertHostClass, "convert host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                         0, 0, kConvertHostWidth, kConvertHostHeight, nullptr, nullptr, instance,
                         nullptr);
}

// The page's timer ticks the driver holds back are dropped: the timer posts
// them again. Held at the page itself, so the modal loops of message boxes
// (a question during a run) hold them too.
LRESULT CALLBACK HoldTicks(HWND page, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR) {
    if (message == WM_TIMER && g_host.ticksAllowed >= 0) {
        if (g_host.ticksAllowed == 0) return 0;
        --g_host.ticksAllowed;
    }
    return DefSubclassProc(page, message, wParam, lParam);
}

HWND CreatePage(HWND host, bool psg) {
    HWND page = CreateDialogParamA(
        GetModuleHandleA(nullptr), psg ? IDD_PSG_CONVERT_PAGE : IDD_EEG_CONVERT_PAGE, host,
        psg ? PsgConvertPageProc : EegConvertPageProc, reinterpret_cast<LPARAM>(&g_host.context));
    if (page == nullptr) return nullptr;
    SetWindowLongPtrA(page, GWLP_ID, kConvertHostPageId);
    SetWindowSubclass(page, HoldTicks, 1, 0);
    ShowWindow(page, SW_SHOW);
    SendMessageA(page, WM_PAGE_SHOWN, 0, 0);
    return page;
}

bool ParseOptions(HostOptions* o) {
    if (__argc < 8 || !MakeSettingsPaths(__argv[1], &g_host.paths)) return false;
    o->source = __argv[2];
    o->outputKind = std::strcmp(__argv[3], "psg") == 0 ? kOutputPsg : kOutputEegFiling32;
    o->channels = std::atoi(__argv[4]);
    o->rate = std::atoi(__argv[5]);
    o->bias = std::atoi(__argv[6]);
    o->valueKind = std::strcmp(__argv[7], "calibrated") == 0 ? 1 : 0;
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HostOptions options = {};
    if (!ParseOptions(&options)) return 2;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    g_host.record = CreateRecord(options);
    if (g_host.record == nullptr) return 3;
    HWND host = CreateHost(instance);
    // Ticks of about a millisecond: a run takes many ticks, so the driver
    // can stop and close it midway on any machine.
    g_host.context = {g_host.record, host, g_host.paths.SettingsPath, nullptr, nullptr, 1, nullptr};
    g_host.page = CreatePage(host, options.outputKind == kOutputPsg);
    if (g_host.page == nullptr) return 4;
    ShowWindow(host, SW_SHOW);
    SetForegroundWindow(host);
    g_host.ticksAllowed = -1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (g_host.page != nullptr && IsDialogMessageA(g_host.page, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    {
        RecordLock record(g_host.record);
        if (record) CloseSourceFile(record.record);
    }
    GlobalFree(g_host.record);
    return 0;
}
