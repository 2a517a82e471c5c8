// Drives the wave preview and the source page's layout check of Quillon.exe
// from outside, as a user works them, and measures the preview's redraw
// after a layout change and its open deep in a 24-hour source.
//
//   ui_preview_driver INSTALL_FOLDER ARTIFACT_FOLDER
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "screenshot.h"
#include "ui_actions.h"

namespace {

// Ids and messages of the program, known from outside.
constexpr int kToolbarId = 1101;
constexpr int kOriginalTypeId = 1111;
constexpr int kChannelCountId = 1223;
constexpr int kDelimiterId = 1229;
constexpr int kLabelLineId = 1228;
constexpr int kDataStartId = 1226;
constexpr int kFindingsId = 1901;
constexpr int kApplyLayoutId = 1902;
constexpr int kPreviewCommand = 4070;
constexpr int kTabControlId = 1102;
constexpr int kYearId = 1216;
constexpr int kTabMode = 2;
constexpr int kHeaderListId = 1224;
constexpr int kConvertSummaryId = 1900;
constexpr int kSourceTab = 0;
constexpr int kConvertTab = 3;
constexpr UINT kPreviewQuery = WM_APP + 40;
enum Query { kRedraws, kRedrawMicros, kTraces, kFromSecond, kShownSeconds, kMarks, kOpenMicros };
const char kPreviewClass[] = "QuillonWavePreview";
const char kConfirmTitle[] = "\x8A\x6D\x94\x46";  // 確認
const char kLooksRight[] =  // ﾚｲｱｳﾄの問題は見つかりませんでした。
    "\xDA\xB2\xB1\xB3\xC4\x82\xCC\x96\xE2\x91\xE8\x82\xCD\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82"
    "\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81\x42";

constexpr int kChannels = 32;
constexpr int kRate = 200;  // the program's rate after an open
constexpr int kSeconds = 60;
constexpr int kMarkedLine = 1000;  // a line that is not data, at second 5
constexpr int kDayChannels = 4;
constexpr int kDaySeconds = 24 * 3600;
constexpr int kDeepSecond = 80000;
constexpr int kTimedChanges = 20;
constexpr double kAmplitude = 200.0;
constexpr double kStep = 0.01;
constexpr DWORD kTitleWaitMs = 300;
constexpr DWORD kHighDpi = 144;
constexpr DWORD kBaseDpi = 96;
constexpr DWORD kStartupWindowMs = 1500;

// Preset 1 reads a comma source with a time column; preset 3 is blank-
// separated, the wrong one for it. PSG output.
const char kSettings[] =
    "[SYSTEM]\r\nOrgFileType=1\r\nCopyFileType=1\r\n"
    "[ORGCOND0]\r\nEnable=1\r\nDelimitChar=0\r\nDataLineBias=1\r\nChStartLine=1\r\n"
    "DataStartLine=2\r\nLabel=Comma with time\r\n"
    "[ORGCOND2]\r\nEnable=1\r\nDelimitChar=1\r\nDataLineBias=0\r\nChStartLine=0\r\n"
    "DataStartLine=1\r\nLabel=Blank separated\r\n";

struct Session {
    std::string install;
    std::string artifacts;
    std::string source;     // 32 channels, 60 s
    std::string daySource;  // 4 channels, 24 hours
    Process process;
    HWND main = nullptr;
};

std::string TimeText(int line, int rate) {
    const int ms = static_cast<int>(int64_t(line) * 1000 / rate);
    char text[24];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", ms / 3600000, ms / 60000 % 60,
                  ms / 1000 % 60, ms % 1000);
    return text;
}

std::string WaveSource() {
    std::string text = "Sample 32ch\r\nTime";
    for (int c = 1; c <= kChannels; ++c) text += ",C" + std::to_string(c);
    text += "\r\n";
    for (int i = 0; i < kSeconds * kRate; ++i) {
        if (i == kMarkedLine) text += "# electrode check\r\n";
        text += TimeText(i, kRate);
        for (int c = 0; c < kChannels; ++c)
            text +=
                "," + std::to_string(int(std::lround(kAmplitude * std::sin(i * (c + 1) * kStep))));
        text += "\r\n";
    }
    return text;
}

// Written a second at a time: the whole is about 600 MB.
bool WriteDaySource(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string head = "Day recording\r\nTime,A,B,C,D\r\n";
    DWORD written = 0;
    bool ok = WriteFile(file, head.data(), DWORD(head.size()), &written, nullptr) != 0;
    std::string second;
    for (int s = 0; ok && s < kDaySeconds; ++s) {
        second.clear();
        for (int i = 0; i < kRate; ++i) {
            second += TimeText(s * kRate + i, kRate);
            for (int c = 0; c < kDayChannels; ++c) second += "," + std::to_string((i + 7 * c) % 97);
            second += "\r\n";
        }
        ok = WriteFile(file, second.data(), DWORD(second.size()), &written, nullptr) != 0;
    }
    CloseHandle(file);
    return ok;
}

std::string SettingsPath(const Session& s) { return s.install + "\\COND\\QUILLON.INI"; }

void Snapshot(const Session& s, const char* name) {
    Settle(s.main);
    const std::string path = s.artifacts + "\\" + name + ".png";
    Check(SaveScreenshotPng(path.c_str()), std::string("screenshot ") + name);
}

HWND Preview(const Session& s) {
    return WaitForTopWindow(s.process, kPreviewClass, nullptr, kActionTimeoutMs);
}

LRESULT Ask(HWND preview, Query query) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(preview, kPreviewQuery, query, 0, SMTO_NORMAL, kActionTimeoutMs, &answer);
    return static_cast<LRESULT>(answer);
}

void ClosePreview(const Session& s, HWND preview) {
    PostMessageA(preview, WM_CLOSE, 0, 0);
    Settle(s.main);
}

// Ctrl+P through the keyboard, with the main window in front.
void PressCtrlP(const Session& s) {
    SetForegroundWindow(s.main);
    Settle(s.main);
    keybd_event(VK_CONTROL, 0, 0, 0);
    keybd_event('P', 0, 0, 0);
    keybd_event('P', 0, KEYEVENTF_KEYUP, 0);
    keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    Settle(s.main);
}

// The program asks whether the labels should follow the data columns when
// a preset does not fit; the user keeps them.
void KeepLabelsIfAsked(const Session& s) {
    HWND ask = WaitForTopWindow(s.process, "#32770", kConfirmTitle, kTitleWaitMs);
    if (ask != nullptr) Click(FindControl(ask, IDCANCEL));
    Settle(s.main);
}

double PeakMegabytes(const Session& s) {
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(s.process.info.hProcess, &memory, sizeof memory);
    return memory.PeakWorkingSetSize / 1048576.0;
}

HWND FocusOf(const Session& s) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(s.main, nullptr), &info);
    return info.hwndFocus;
}

HWND PageControl(const Session& s, int id) { return FindVisibleControl(s.main, id); }

struct RedrawWait {
    HWND preview;
    LRESULT before;
};

bool RedrawnSince(void* context) {
    const RedrawWait* wait = static_cast<const RedrawWait*>(context);
    return Ask(wait->preview, kRedraws) > wait->before;
}

// A list choice on the source page, then whether the preview redrew.
bool RedrawnAfter(const Session& s, HWND preview, int id, int index) {
    RedrawWait wait = {preview, Ask(preview, kRedraws)};
    SelectByKeys(PageControl(s, id), index);
    KeepLabelsIfAsked(s);
    return WaitUntil(kActionTimeoutMs, RedrawnSince, &wait);
}

void OpenByKeysAndToolbar(Session* s) {
    PressCtrlP(*s);
    HWND preview = Preview(*s);
    Check(preview != nullptr, "Ctrl+P opens the wave preview");
    if (preview == nullptr) return;
    CheckText(WindowText(preview), "\x94\x67\x8C\x60\x83\x76\x83\x8C\x83\x72\x83\x85\x81\x5B",
              "its title is the preview's");
    Check(Ask(preview, kTraces) == kChannels, "one trace per channel switched on");
    Check(Ask(preview, kMarks) == 1, "the line that is not data is marked");
    Snapshot(*s, "preview-ctrl-p");
    ClosePreview(*s, preview);
    Check(!IsWindow(preview), "the preview closes");
    ClickToolbarButton(FindControl(s->main, kToolbarId), kPreviewCommand);
    preview = Preview(*s);
    Check(preview != nullptr && Ask(preview, kTraces) == kChannels,
          "the toolbar button opens the preview again");
}

void FollowLayoutChanges(Session* s) {
    HWND preview = Preview(*s);
    if (preview == nullptr) return;
    Check(RedrawnAfter(*s, preview, kChannelCountId, 16) && Ask(preview, kTraces) == 16,
          "a channel count of 16 redraws 16 traces");
    Snapshot(*s, "preview-16-channels");
    // The blank mode also ends fields at commas; the tab mode does not.
    Check(RedrawnAfter(*s, preview, kDelimiterId, kTabMode), "a tab delimiter redraws the preview");
    Snapshot(*s, "preview-tab-delimiter");
    Check(RedrawnAfter(*s, preview, kDelimiterId, 0), "the comma back redraws it");
    // One key a change: the list takes it as one selection.
    HWND count = PageControl(*s, kChannelCountId);
    Check(
        RedrawnAfter(*s, preview, kChannelCountId, kChannels) && Ask(preview, kTraces) == kChannels,
        "32 channels again");
    LONG worst = 0;
    int redrawn = 0;
    for (int i = 0; i < kTimedChanges; ++i) {
        RedrawWait wait = {preview, Ask(preview, kRedraws)};
        PressKey(count, i % 2 == 0 ? VK_UP : VK_DOWN);
        redrawn += WaitUntil(kActionTimeoutMs, RedrawnSince, &wait);
        Settle(s->main);
        const LONG micros = static_cast<LONG>(Ask(preview, kRedrawMicros));
        if (micros > worst) worst = micros;
    }
    Check(redrawn == kTimedChanges, "every channel count change redraws");
    std::printf(
        "figure: redraw after a layout change, 32 ch x 10 s, worst of %d: %.1f ms; "
        "peak working set so far %.1f MB\n",
        kTimedChanges, worst / 1000.0, PeakMegabytes(*s));
}

void ScrollAndZoom(Session* s) {
    HWND preview = Preview(*s);
    if (preview == nullptr) return;
    PressKey(preview, VK_NEXT);
    Settle(s->main);
    Check(Ask(preview, kFromSecond) == 10, "Page Down moves the preview on by its 10 seconds");
    PressKey(preview, VK_RIGHT);
    Settle(s->main);
    Check(Ask(preview, kFromSecond) == 11, "the right arrow moves it on by a second");
    PostMessageA(preview, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    Settle(s->main);
    Check(Ask(preview, kShownSeconds) == 5, "the wheel away zooms in to 5 seconds");
    for (int i = 0; i < 3; ++i)
        PostMessageA(preview, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    Settle(s->main);
    Check(Ask(preview, kShownSeconds) == 30, "the wheel toward the user zooms out");
    Snapshot(*s, "preview-scrolled-30s");
    ClosePreview(*s, preview);
    const std::string ini = SettingsPath(*s);
    Check(IniValue(ini, "PREVIEW", "FromSecond") == "11" &&
              IniValue(ini, "PREVIEW", "Seconds") == "30",
          "the preview's place in the source is stored");
}

void ApplySuggestion(Session* s) {
    SelectByKeys(FindControl(s->main, kOriginalTypeId), 1);  // the blank preset
    KeepLabelsIfAsked(*s);
    HWND findings = PageControl(*s, kFindingsId);
    const std::string shown = findings ? WindowText(findings) : "";
    Check(!shown.empty() && shown != kLooksRight, "the wrong preset's layout gets findings");
    HWND apply = PageControl(*s, kApplyLayoutId);
    Check(apply != nullptr && IsWindowEnabled(apply), "the suggestion can be applied");
    CheckSelection(PageControl(*s, kDelimiterId), 1, "nothing is applied before the click");
    // Tab from the head list reaches the button under it first.
    Click(PageControl(*s, kHeaderListId));
    PressKey(PageControl(*s, kHeaderListId), VK_TAB);
    Settle(s->main);
    Check(FocusOf(*s) == apply, "Tab goes from the head list to the button under it");
    Snapshot(*s, "source-findings");
    if (apply != nullptr) Click(apply);
    KeepLabelsIfAsked(*s);
    CheckSelection(PageControl(*s, kDelimiterId), 0, "the suggestion sets the comma");
    CheckSelection(PageControl(*s, kLabelLineId), 1, "the suggestion sets label line 1");
    CheckSelection(PageControl(*s, kDataStartId), 2, "the suggestion sets data start line 2");
    CheckSelection(PageControl(*s, kChannelCountId), kChannels, "the suggestion sets 32 channels");
    CheckText(WindowText(PageControl(*s, kFindingsId)), kLooksRight,
              "the applied layout looks right");
    Snapshot(*s, "source-suggestion-applied");
}

void ClickTab(const Session& s, int tab) {
    ClickItem(FindControl(s.main, kTabControlId), TCM_GETITEMRECT, tab);
    Settle(s.main);
}

// The PSG convert page says what a start would write: 32 channels of the
// applied layout, about a minute of data (estimated from the size), no target chosen yet.
void ConvertSummary(Session* s) {
    ClickTab(*s, kConvertTab);
    HWND summary = PageControl(*s, kConvertSummaryId);
    const std::string text = summary != nullptr ? WindowText(summary) : "";
    Check(
        text.find("32 ch, 200 Hz") != std::string::npos && text.find("0:01:0") != std::string::npos,
        "the convert page sums up channels, rate and length: " + text);
    Snapshot(*s, "convert-summary");
    ClickTab(*s, kSourceTab);
}

// The preview opened where the settings left it: second 80000 of a day.
void OpenDeep(Session* s) {
    SelectByKeys(FindControl(s->main, kOriginalTypeId), 0);  // the comma preset
    KeepLabelsIfAsked(*s);
    Process second;
    StartProgram(s->install, "\"" + s->daySource + "\"", &second);
    DWORD code = 0;
    WaitForExit(second, kActionTimeoutMs, &code);
    EndProcess(&second);
    Settle(s->main);
    KeepLabelsIfAsked(*s);
    WritePrivateProfileStringA("PREVIEW", "FromSecond", std::to_string(kDeepSecond).c_str(),
                               SettingsPath(*s).c_str());
    WritePrivateProfileStringA("PREVIEW", "Seconds", "10", SettingsPath(*s).c_str());
    ClickToolbarButton(FindControl(s->main, kToolbarId), kPreviewCommand);
    HWND preview = Preview(*s);
    Check(preview != nullptr && Ask(preview, kFromSecond) == kDeepSecond &&
              Ask(preview, kTraces) == kDayChannels,
          "the preview opens at second 80000 of the 24-hour source");
    Snapshot(*s, "preview-second-80000");
    std::printf(
        "figure: open at second %d of a 24-hour source: %.1f ms to the end of the first paint "
        "(model %.1f ms); peak working set %.1f MB\n",
        kDeepSecond, preview ? Ask(preview, kRedrawMicros) / 1000.0 : -1.0,
        preview ? Ask(preview, kOpenMicros) / 1000.0 : -1.0, PeakMegabytes(*s));
}

// The system's dots per inch for programs started from now on.
void SetSystemDpi(DWORD dpi) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    RegCloseKey(key);
}

bool EndProgram(Session* s) {
    PostMessageA(s->main, WM_CLOSE, 0, 0);
    DWORD code = 1;
    const bool ended = WaitForExit(s->process, kActionTimeoutMs, &code);
    EndProcess(&s->process);
    s->main = nullptr;
    return ended && code == 0;
}

// The preview and the source page again at 144 dots per inch.
void RunAtHighDpi(Session* s) {
    Check(EndProgram(s), "the program ends");
    SetSystemDpi(kHighDpi);
    WritePrivateProfileStringA("PREVIEW", "FromSecond", "0", SettingsPath(*s).c_str());
    StartProgram(s->install, "\"" + s->source + "\"", &s->process);
    s->main = WaitForMainWindow(s->process);
    Check(s->main != nullptr, "the program starts at 144 dpi");
    if (s->main == nullptr) return;
    KeepLabelsIfAsked(*s);
    Sleep(kStartupWindowMs);  // the start-up window goes by itself
    Snapshot(*s, "source-144dpi");
    ClickToolbarButton(FindControl(s->main, kToolbarId), kPreviewCommand);
    HWND preview = Preview(*s);
    Check(preview != nullptr && Ask(preview, kTraces) == kChannels, "the preview at 144 dpi");
    Snapshot(*s, "preview-144dpi");
    SetSystemDpi(kBaseDpi);
}

bool Prepare(Session* s) {
    CreateDirectoryA((s->install + "\\COND").c_str(), nullptr);
    CreateDirectoryA((s->install + "\\samples").c_str(), nullptr);
    CreateDirectoryA(s->artifacts.c_str(), nullptr);
    s->source = s->install + "\\samples\\wave32.csv";
    s->daySource = s->install + "\\samples\\day.csv";
    return WriteTextFile(SettingsPath(*s), kSettings) && WriteTextFile(s->source, WaveSource()) &&
           WriteDaySource(s->daySource);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: ui_preview_driver INSTALL_FOLDER ARTIFACT_FOLDER\n");
        return 2;
    }
    Session s;
    s.install = argv[1];
    s.artifacts = argv[2];
    Check(Prepare(&s), "settings and sources written");
    Check(StartProgram(s.install, "\"" + s.source + "\"", &s.process), "the program starts");
    s.main = WaitForMainWindow(s.process);
    Check(s.main != nullptr, "the main window shows");
    if (s.main != nullptr) {
        KeepLabelsIfAsked(s);
        SetWindowPos(s.main, nullptr, 0, 0, 640, 480, SWP_NOZORDER);
        HWND year = PageControl(s, kYearId);
        if (year != nullptr) EnterText(year, "2015");
        CheckText(year != nullptr ? WindowText(year) : "", "2015", "a year is typed");
        OpenByKeysAndToolbar(&s);
        FollowLayoutChanges(&s);
        ScrollAndZoom(&s);
        ApplySuggestion(&s);
        ConvertSummary(&s);
        OpenDeep(&s);
        RunAtHighDpi(&s);
        if (s.main != nullptr) Check(EndProgram(&s), "the program ends with 0");
    }
    EndProcess(&s.process);
    std::printf("%d passed, %d failed\n", Passes(), Failures());
    return Failures() == 0 ? 0 : 1;
}
