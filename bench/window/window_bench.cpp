// Benchmark, run by hand under Wine (bench/window_vs_cli.sh): the same PSG
// conversion by quillon-cli.exe and by the program's window, started once
// with Conv and its target typed into the save dialog, then RUNS times by
// the page's start button; then Exit clicked during a run, and what the
// program says and leaves. While the window runs,
// the driver keeps asking the window for an empty message and notes the
// longest wait: how long the window went without handling its messages.
//
//   window_bench INSTALL_FOLDER SOURCE OUTPUT_FOLDER RUNS
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui_actions.h"

namespace {

constexpr int kToolbarId = 1101;
constexpr int kSampleRateId = 1225;
constexpr int kStartButtonId = 1227;
constexpr int kCounterId = 1230;
constexpr int kConvertStatusId = 1231;
constexpr int kCounterPolls = 2000;
constexpr int kConvertCommand = 4008;
constexpr int kExitCommand = 4009;
constexpr DWORD kRunTimeoutMs = 600000;
constexpr int kMessageTextId = 0xFFFF;  // the text of a message box
const char kExitDuringRunTitle[] =
    "\x95\xCF\x8A\xB7\x92\x86\x82\xCC\x8F\x49\x97\xB9";  // 変換中の終了
constexpr UINT kProbeTimeoutMs = 10000;
constexpr DWORD kProbePauseMs = 5;

// Preset 1 reads the benchmark source (a time column, 32 labels, data from
// line 1); PSG output in one-second frames.
const char kSettings[] =
    "[SYSTEM]\r\nOrgFileType=1\r\nCopyFileType=1\r\nFrameTime=1\r\n"
    "[ORGCOND0]\r\nEnable=1\r\nDelimitChar=0\r\nDataLineBias=1\r\nChStartLine=0\r\n"
    "DataStartLine=1\r\nLabel=Benchmark\r\n";

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

double RunCli(const std::string& install, const std::string& source, const std::string& target) {
    DeleteFileA(target.c_str());
    std::string line =
        "\"" + install + "\\quillon-cli.exe\" convert \"" + source + "\" --settings \"" + install +
        "\\COND\\QUILLON.INI\" --type psg --preset 1 --rate 500 -o \"" + target + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    const LARGE_INTEGER start = Now();
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return -1;
    const bool ended = WaitForSingleObject(info.hProcess, kRunTimeoutMs) == WAIT_OBJECT_0;
    const LARGE_INTEGER end = Now();
    if (!ended) TerminateProcess(info.hProcess, 1);
    DWORD code = 1;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return ended && code == 0 ? Seconds(start, end) : -1;
}

constexpr double kLongWaitMs = 100;

struct WindowRun {
    double seconds = -1;
    double dialogSeconds = -1;  // from Enter until the save dialog is gone
    double longestWaitMs = 0;
    size_t probes = 0;
    std::vector<std::pair<double, double>> longWaits;  // (seconds into the run, wait in ms)
};

// Sends a message the window's thread must answer and notes how long the
// answer took: the time the thread spent on other work first.
LRESULT TimedAsk(HWND window, UINT message, WPARAM wParam, LARGE_INTEGER start, WindowRun* run) {
    const LARGE_INTEGER asked = Now();
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, 0, SMTO_NORMAL, kProbeTimeoutMs, &result);
    const double waitMs = Seconds(asked, Now()) * 1000;
    run->longestWaitMs = std::max(run->longestWaitMs, waitMs);
    if (waitMs > kLongWaitMs) run->longWaits.emplace_back(Seconds(start, asked), waitMs);
    ++run->probes;
    return static_cast<LRESULT>(result);
}

// Follows a started run to its end: Conv enabled again and a status shown.
void FollowRun(HWND main, LARGE_INTEGER start, WindowRun* run) {
    HWND toolbar = FindControl(main, kToolbarId);
    HWND status = nullptr;
    while (Seconds(start, Now()) * 1000 < kRunTimeoutMs) {
        TimedAsk(main, WM_NULL, 0, start, run);
        if (status == nullptr) status = FindVisibleControl(main, kConvertStatusId);
        const bool convEnabled =
            TimedAsk(toolbar, TB_ISBUTTONENABLED, kConvertCommand, start, run) != 0;
        if (convEnabled && TimedAsk(status, WM_GETTEXTLENGTH, 0, start, run) > 0) {
            run->seconds = Seconds(start, Now());
            return;
        }
        Sleep(kProbePauseMs);
    }
}

// Conv, the target typed into the save dialog and Enter.
WindowRun RunByConv(const Process& process, HWND main, const std::string& target) {
    WindowRun run;
    DeleteFileA(target.c_str());
    ClickToolbarButton(FindControl(main, kToolbarId), kConvertCommand);
    HWND dialog = WaitForTopWindow(process, "#32770", "PSG Convert File Select", kActionTimeoutMs);
    HWND edit = dialog != nullptr ? FindChildOfClass(dialog, "Edit") : nullptr;
    if (edit == nullptr) return run;
    ReplaceText(edit, target);
    const LARGE_INTEGER start = Now();
    PressKey(edit, VK_RETURN);
    while (IsWindow(dialog) && Seconds(start, Now()) * 1000 < kRunTimeoutMs) Sleep(1);
    run.dialogSeconds = Seconds(start, Now());
    FollowRun(main, start, &run);
    return run;
}

// The page's start button again, the target chosen before deleted.
WindowRun RunByStartButton(HWND main, const std::string& target) {
    WindowRun run;
    DeleteFileA(target.c_str());
    HWND button = FindVisibleControl(main, kStartButtonId);
    if (button == nullptr) return run;
    const LARGE_INTEGER start = Now();
    Click(button);
    run.dialogSeconds = 0;
    FollowRun(main, start, &run);
    return run;
}

bool SameBytes(const std::string& a, const std::string& b) {
    FILE* fa = std::fopen(a.c_str(), "rb");
    FILE* fb = std::fopen(b.c_str(), "rb");
    bool same = fa != nullptr && fb != nullptr;
    while (same) {
        const int ca = std::fgetc(fa);
        same = ca == std::fgetc(fb);
        if (ca == EOF) break;
    }
    if (fa != nullptr) std::fclose(fa);
    if (fb != nullptr) std::fclose(fb);
    return same;
}

// The EDF header's data record count (bytes 236..243) and the file's size.
void DescribeEdf(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    char header[256] = {};
    const size_t got = file != nullptr ? std::fread(header, 1, sizeof header, file) : 0;
    long size = -1;
    if (file != nullptr && std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (file != nullptr) std::fclose(file);
    std::printf("%s: %ld bytes, data records in its header: %.8s\n", path.c_str(), size,
                got == sizeof header ? header + 236 : "(none)");
}

// Exit clicked while a run goes: the program must end the file cleanly and
// say what it holds before it goes.
bool ExitDuringRun(const std::string& install, const std::string& source,
                   const std::string& target) {
    Process process;
    if (!StartProgram(install, "\"" + source + "\"", &process)) return false;
    HWND main = WaitForMainWindow(process);
    if (main == nullptr) return false;
    EnterText(FindChildOfClass(FindVisibleControl(main, kSampleRateId), "Edit"), "500");
    DeleteFileA(target.c_str());
    ClickToolbarButton(FindControl(main, kToolbarId), kConvertCommand);
    HWND dialog = WaitForTopWindow(process, "#32770", "PSG Convert File Select", kActionTimeoutMs);
    HWND edit = dialog != nullptr ? FindChildOfClass(dialog, "Edit") : nullptr;
    if (edit == nullptr) return false;
    ReplaceText(edit, target);
    PressKey(edit, VK_RETURN);
    while (IsWindow(dialog)) Sleep(1);
    // Some frames written first: the counter moved.
    HWND counter = nullptr;
    for (int i = 0; i < kCounterPolls; ++i) {
        if (counter == nullptr) counter = FindVisibleControl(main, kCounterId);
        const std::string shown = WindowText(counter);
        if (!shown.empty() && shown[0] != '0') break;
        Sleep(kProbePauseMs);
    }
    std::printf("Exit clicked with the counter at [%s]\n", WindowText(counter).c_str());
    ClickToolbarButton(FindControl(main, kToolbarId), kExitCommand);
    HWND told = WaitForTopWindow(process, "#32770", kExitDuringRunTitle, kActionTimeoutMs);
    HWND text = told != nullptr ? FindControl(told, kMessageTextId) : nullptr;
    std::printf("exit during the run: %s [%s]\n",
                told != nullptr ? "the user is told" : "NO MESSAGE", WindowText(text).c_str());
    if (told != nullptr) PostMessageA(told, WM_COMMAND, IDOK, 0);
    DWORD code = 1;
    const bool ended = WaitForExit(process, kActionTimeoutMs, &code);
    std::printf("the program %s with %lu\n", ended ? "ended" : "DID NOT END", code);
    EndProcess(&process);
    DescribeEdf(target);
    // A run that ended before Exit was handled shows no notice: not a failure.
    return ended && code == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: window_bench INSTALL_FOLDER SOURCE OUTPUT_FOLDER RUNS\n");
        return 2;
    }
    const std::string install = argv[1], source = argv[2], out = argv[3];
    const int runs = std::max(1, std::atoi(argv[4]));
    CreateDirectoryA((install + "\\COND").c_str(), nullptr);
    if (!WriteTextFile(install + "\\COND\\QUILLON.INI", kSettings)) return 1;
    std::vector<double> cli;
    for (int i = 0; i < runs; ++i) cli.push_back(RunCli(install, source, out + "\\cli.edf"));

    Process process;
    if (!StartProgram(install, "\"" + source + "\"", &process)) return 1;
    HWND main = WaitForMainWindow(process);
    if (main == nullptr) return 1;
    // The source page takes the rate as a user types it.
    EnterText(FindChildOfClass(FindVisibleControl(main, kSampleRateId), "Edit"), "500");
    std::vector<WindowRun> window;
    window.push_back(RunByConv(process, main, out + "\\window.edf"));
    for (int i = 0; i < runs; ++i) window.push_back(RunByStartButton(main, out + "\\window.edf"));
    ClickToolbarButton(FindControl(main, kToolbarId), kExitCommand);
    DWORD code = 0;
    WaitForExit(process, kActionTimeoutMs, &code);
    EndProcess(&process);

    for (double s : cli) std::printf("quillon-cli.exe: %.3f s\n", s);
    for (const WindowRun& w : window) {
        std::printf(
            "window: %.3f s (the save dialog gone after %.3f s), longest wait for a message %.1f "
            "ms "
            "over %zu probes\n",
            w.seconds, w.dialogSeconds, w.longestWaitMs, w.probes);
        for (const auto& [at, ms] : w.longWaits)
            std::printf("  waited %.1f ms at %.3f s\n", ms, at);
    }
    // Failed runs are -1 and count for nothing.
    double bestCli = kRunTimeoutMs / 1000.0, bestButton = kRunTimeoutMs / 1000.0;
    for (double s : cli)
        if (s >= 0) bestCli = std::min(bestCli, s);
    for (size_t i = 1; i < window.size(); ++i)
        if (window[i].seconds >= 0) bestButton = std::min(bestButton, window[i].seconds);
    std::printf(
        "best: quillon-cli.exe %.3f s; window by Conv %.3f s with its save dialog (ratio %.2f), "
        "%.3f s after the dialog; by the start button %.3f s (ratio %.2f)\n",
        bestCli, window[0].seconds, window[0].seconds / bestCli,
        window[0].seconds - window[0].dialogSeconds, bestButton, bestButton / bestCli);
    const bool exited = ExitDuringRun(install, source, out + "\\exit.edf");
    const bool same = SameBytes(out + "\\cli.edf", out + "\\window.edf");
    std::printf("the window's file and the tool's: %s\n", same ? "the same bytes" : "DIFFERENT");
    return same && exited ? 0 : 1;
}
