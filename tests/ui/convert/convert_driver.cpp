// Acts on the convert pages of convert_host.exe from outside its process as
// a user does: picks the output drive, creates a Disk ID (a too long one is
// refused, renewing one asks), starts an EEG run and waits for its end;
// names an existing file and meets dialog 105 (the refusal clears the
// progress); closing during a run asks; finishes the wave of a killed run
// when asked; stops a run with "中止"; is told in Japanese why a source with
// too few columns is refused; picks a frame time, types a comment, starts a
// PSG run without a target (the save dialog asks for one) and converts. The native build then
// converts the same sources with quillon-cli and compares the files byte for byte.
//
//   convert_driver INSTALL_FOLDER SAMPLES_FOLDER ARTIFACT_PREFIX VOLUME_DRIVE
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "convert_host_protocol.h"
#include "ids/convert_ids.h"
#include "host_driver.h"
#include "screenshot.h"

namespace {

constexpr DWORD kStartTimeoutMs = 60000;
constexpr DWORD kSettleTimeoutMs = 10000;
constexpr DWORD kRunTimeoutMs = 300000;
constexpr DWORD kLongestAnswerMs = 1000;  // loose: the machine is shared
constexpr int kEegChannels = 32;
constexpr int kEegRate = 500;
constexpr int kEegSeconds = 600;       // long enough to be seen running
constexpr int kFileNameEdit = 0x480;   // the save dialog's file name field
constexpr int kFileNameCombo = 0x47c;  // its combo box form

struct Host {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;
    HWND page = nullptr;
};

HWND WaitForWindow(const Host& host, const char* className, DWORD timeoutMs) {
    return WaitForProcessWindow(host.process.dwProcessId, className, timeoutMs);
}

void Settle(const Host& host) {
    SettleHost(host.window, kConvertHostSync, kConvertHostSynced, kSettleTimeoutMs);
}

std::string Cp932(const char* utf8) {
    wchar_t wide[256];
    char bytes[512];
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 256);
    return WideCharToMultiByte(932, 0, wide, n, bytes, sizeof bytes, nullptr, nullptr) > 0 ? bytes
                                                                                           : "";
}

HWND Control(const Host& host, int id) { return GetDlgItem(host.page, id); }
std::string Status(const Host& host) { return WindowText(Control(host, IDC_CONVERT_STATUS)); }
bool Enabled(const Host& host, int id) { return IsWindowEnabled(Control(host, id)) != 0; }

// Real input: the cursor moves to the control's centre and the button
// goes down and up there.
void ClickWithMouse(const Host& host, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    const POINT at = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    for (DWORD flags : {DWORD{0}, DWORD{MOUSEEVENTF_LEFTDOWN}, DWORD{MOUSEEVENTF_LEFTUP}}) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof input);
        Sleep(60);
    }
    Settle(host);
}

void Click(const Host& host, int id) {
    HWND button = Control(host, id);
    RECT client;
    GetClientRect(button, &client);
    const LPARAM at = MAKELPARAM(client.right / 2, client.bottom / 2);
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(button, WM_LBUTTONUP, 0, at);
    Settle(host);
}

void Type(const Host& host, HWND window, const char* text) {
    for (const char* p = text; *p != '\0'; ++p)
        PostMessageA(window, WM_CHAR, static_cast<unsigned char>(*p), 1);
    Settle(host);
}

// A key pressed as the user presses it, in window's focused control.
void PressKeyIn(HWND window, WORD key) {
    SetForegroundWindow(window);
    Sleep(100);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof input[0]);
    Sleep(100);
}

// A message box answered is gone before the next one is looked for.
void WaitForClosed(HWND box) {
    const DWORD start = GetTickCount();
    while (box != nullptr && IsWindow(box) && GetTickCount() - start < kSettleTimeoutMs) Sleep(20);
}

void Shot(const std::string& prefix, const char* name) {
    Sleep(300);  // painting waits until the posted messages are handled
    Check(SaveScreenshotPng((prefix + "-" + name + ".png").c_str()),
          std::string("screenshot ") + name);
}

// The run goes ticks timer ticks further, then waits.
void AllowTicks(const Host& host, LONG ticks) {
    SendMessageA(host.window, kConvertHostAllowTicks, static_cast<WPARAM>(ticks), 0);
    const DWORD start = GetTickCount();
    while (ticks > 0 && SendMessageA(host.window, kConvertHostTicksLeft, 0, 0) != 0 &&
           GetTickCount() - start < kSettleTimeoutMs)
        Sleep(20);
    Settle(host);
}

bool StartHost(const std::string& folder, const std::string& arguments, Host* host) {
    const std::string exe = folder + "\\convert_host.exe";
    std::string command = "\"" + exe + "\" \"" + folder + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &host->process))
        return false;
    host->window = WaitForWindow(*host, kConvertHostClass, kStartTimeoutMs);
    if (host->window == nullptr) return false;
    host->page = GetDlgItem(host->window, kConvertHostPageId);
    Settle(*host);
    return host->page != nullptr;
}

// Asks the host every 20 ms whether the run goes on: how long an answer
// takes is how long the window is busy with one tick.
bool WaitForRunEnd(const Host& host, const char* what, DWORD started) {
    const DWORD start = GetTickCount();
    DWORD longest = 0;
    bool ended = false;
    while (!ended && GetTickCount() - start < kRunTimeoutMs) {
        const DWORD asked = GetTickCount();
        DWORD_PTR running = 1;
        const bool answered = SendMessageTimeoutA(host.window, kConvertHostRunning, 0, 0,
                                                  SMTO_BLOCK, 5000, &running) != 0;
        if (GetTickCount() - asked > longest) longest = GetTickCount() - asked;
        ended = answered && running == 0;
        Sleep(20);
    }
    std::printf("%s: %lu ms to the end of the run, longest answer %lu ms\n", what,
                static_cast<unsigned long>(GetTickCount() - started),
                static_cast<unsigned long>(longest));
    Check(longest < kLongestAnswerMs, std::string(what) + ": the window answers during the run");
    return ended;
}

void CloseHost(Host* host) {
    if (host->process.hProcess == nullptr) return;
    PostMessageA(host->window, WM_CLOSE, 0, 0);
    Check(WaitForSingleObject(host->process.hProcess, 30000) == WAIT_OBJECT_0, "host closes");
    if (WaitForSingleObject(host->process.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(host->process.hProcess, 99);
    CloseHandle(host->process.hProcess);
    CloseHandle(host->process.hThread);
    *host = Host{};
}

std::string FileBytes(const std::string& path) {
    std::string bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return bytes;
    char block[65536];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, n);
    std::fclose(file);
    return bytes;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool PrepareInstall(const std::string& folder, const std::string& samples, std::string* settings) {
    const std::string cond = folder + "\\COND";
    CreateDirectoryA(cond.c_str(), nullptr);
    *settings = cond + "\\QUILLON.INI";
    return CopyFileA((samples + "\\COND\\QUILLON.INI").c_str(), settings->c_str(), FALSE) &&
           CopyFileA((samples + "\\COND\\PATIENT.INF").c_str(), (cond + "\\PATIENT.INF").c_str(),
                     FALSE);
}

// Whole-number channels, no header line: a source every line of which is
// data, so the run must end with string 21.
std::string EegSource(const std::string& prefix) { return prefix + "-eeg-source.csv"; }

std::string EegHostArguments(const std::string& prefix) {
    return "\"" + EegSource(prefix) + "\" eeg32 " + std::to_string(kEegChannels) + " " +
           std::to_string(kEegRate) + " 0 ad";
}

bool WriteEegSource(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    for (int line = 0; line < kEegRate * kEegSeconds; ++line)
        for (int channel = 0; channel < kEegChannels; ++channel)
            std::fprintf(file, "%d%c", (line * 7 + channel * 131) % 2001 - 1000,
                         channel + 1 < kEegChannels ? ',' : '\n');
    return std::fclose(file) == 0;
}

void EmptyVolume(const std::string& drive) {
    DeleteFileA((drive + "\\4710.VOL").c_str());
    for (const char* name : {"88000001.DAT", "88000001.REF", "88000002.DAT", "88000002.REF",
                             "88000004.DAT", "88000004.REF", "88000005.DAT", "88000005.REF"})
        DeleteFileA((drive + "\\DAT\\" + name).c_str());
    RemoveDirectoryA((drive + "\\DAT").c_str());
}

std::string Setting(const std::string& settings, const char* section, const char* key) {
    char value[64] = {};
    GetPrivateProfileStringA(section, key, "", value, sizeof value, settings.c_str());
    return value;
}

void ChooseDrive(const Host& host, const std::string& drive) {
    PostMessageA(Control(host, IDC_EEG_DRIVE), WM_CHAR, static_cast<unsigned char>(drive[0]), 1);
    Settle(host);
    Check(
        WindowText(Control(host, IDC_EEG_DRIVE)) == drive + " HD",
        "the scratch drive is offered as a hard disk: " + WindowText(Control(host, IDC_EEG_DRIVE)));
}

// Creating a Disk ID where a volume file is replaces it: asked first, "No"
// the default, and "No" keeps the volume.
void RenewalAsks(const Host& host, const std::string& drive, const std::string& prefix) {
    PostMessageA(Control(host, IDC_EEG_DISK_ID), EM_SETSEL, 0, -1);
    Type(host, Control(host, IDC_EEG_DISK_ID), "OTHER");
    PostMessageA(Control(host, IDC_EEG_CREATE_DISK_ID), BM_CLICK, 0, 0);
    HWND ask = WaitForWindow(host, "#32770", 10000);
    Check(ask != nullptr && WindowText(ask) == Cp932("確認"), "renewing a Disk ID asks");
    if (ask == nullptr) return;
    Check(WindowText(GetDlgItem(ask, 0xFFFF)).find(Cp932("\"OTHER\"で新規に作成しますか")) !=
              std::string::npos,
          "the question names the new Disk ID: " + WindowText(GetDlgItem(ask, 0xFFFF)));
    Check(GetDlgItem(ask, IDNO) != nullptr, "the question is yes or no");
    Shot(prefix, "eeg-disk-id-renew-ask");
    PressKeyIn(ask, VK_RETURN);  // the default button
    Settle(host);
    Check(FileBytes(drive + "\\4710.VOL") == std::string("QTEST01\0\0\0\0\0", 12) &&
              WindowText(Control(host, IDC_EEG_DISK_ID)) == "QTEST01",
          "Enter answers No: the volume keeps its Disk ID");
    Check(Status(host) == Cp932("\"変換開始\"ボタンで変換開始してください。"),
          "volume ready: string 20");
}

void CreateVolume(const Host& host, const std::string& drive, const std::string& prefix) {
    Check(WindowText(Control(host, IDC_EEG_DISK_ID)) == "NEWDISK",
          "no volume: the Disk ID field shows NEWDISK");
    Check(Enabled(host, IDC_EEG_CREATE_DISK_ID) && !Enabled(host, IDC_CONVERT_START),
          "no volume: create offered, start disabled");
    Check(Status(host) == Cp932("変換先のドライブを指定してDisk IDを確認・作成して下さい。"),
          "no volume: string 27");
    Shot(prefix, "eeg-before");
    PostMessageA(Control(host, IDC_EEG_DISK_ID), EM_SETSEL, 0, -1);
    Type(host, Control(host, IDC_EEG_DISK_ID), "QTEST01234");
    Click(host, IDC_EEG_CREATE_DISK_ID);
    Check(Status(host) == Cp932("Disk IDは9ﾊﾞｲﾄ（半角9文字、全角4文字）までです。"
                                "Disk IDは作成していません。"),
          "a 10-byte Disk ID is refused with the reason: " + Status(host));
    Check(
        !Exists(drive + "\\4710.VOL") && WindowText(Control(host, IDC_EEG_DISK_ID)) == "QTEST01234",
        "nothing written, the typed text kept whole");
    Shot(prefix, "eeg-disk-id-refused");
    PostMessageA(Control(host, IDC_EEG_DISK_ID), EM_SETSEL, 0, -1);
    Type(host, Control(host, IDC_EEG_DISK_ID), "QTEST01");
    Click(host, IDC_EEG_CREATE_DISK_ID);
    Check(FileBytes(drive + "\\4710.VOL") == std::string("QTEST01\0\0\0\0\0", 12),
          "the volume file holds the typed Disk ID");
    Check(Enabled(host, IDC_EEG_CREATE_DISK_ID) && Enabled(host, IDC_CONVERT_START),
          "volume ready: start enabled, create still offered");
    Check(Status(host) == Cp932("Disk ID\"QTEST01\"を作成しました。"),
          "the page tells the Disk ID was created: " + Status(host));
    RenewalAsks(host, drive, prefix);
}

void RunEeg(const Host& host, const std::string& drive, const std::string& settings,
            const std::string& prefix) {
    AllowTicks(host, 0);
    Click(host, IDC_CONVERT_START);
    Check(Status(host) == "Convert Info.", "running: string 25");
    Check(!Enabled(host, IDC_EEG_DRIVE) && !Enabled(host, IDC_CONVERT_START) &&
              !Enabled(host, IDC_EEG_CREATE_DISK_ID) && !Enabled(host, IDC_EEG_NAMED_FILE),
          "running: drive list, Disk ID, start and naming locked");
    Shot(prefix, "eeg-during");  // held before its first tick: a tick may end it
    AllowTicks(host, 1);
    Check(WindowText(Control(host, IDC_CONVERT_COUNTER)) != "0", "the counter moves");
    const DWORD started = GetTickCount();
    SendMessageA(host.window, kConvertHostAllowTicks, static_cast<WPARAM>(-1), 0);
    Check(WaitForRunEnd(host, "EEG", started), "the EEG run ends");
    Settle(host);
    Shot(prefix, "eeg-after");
    Check(Status(host) == Cp932("変換が正常に終了しました。"),
          "finished: string 21: " + Status(host));
    Check(WindowText(Control(host, IDC_CONVERT_COUNTER)) == std::to_string(kEegSeconds / 10 + 1),
          "the counter shows every step: " + WindowText(Control(host, IDC_CONVERT_COUNTER)));
    Check(Exists(drive + "\\DAT\\88000001.DAT") && Exists(drive + "\\DAT\\88000001.REF"),
          "88000001.DAT and its .REF are on the volume");
    Check(Setting(settings, "SYSTEM", "EEGFileNo") == "2", "EEGFileNo advanced in the settings");
    Check(WindowText(Control(host, IDC_EEG_FILE_NAME)) == "88000002",
          "the next file name is shown");
}

HWND SaveDialog(const Host& host) {
    HWND dialog = WaitForWindow(host, "#32770", 10000);
    Check(dialog != nullptr, "the save dialog opens");
    return dialog;
}

// The path typed into the save dialog's name field, then OK.
void AnswerSaveDialog(const Host& host, HWND dialog, const std::string& path) {
    HWND name = GetDlgItem(dialog, kFileNameEdit);
    if (name == nullptr) name = GetDlgItem(dialog, kFileNameCombo);
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    Settle(host);
}

// An existing file named in user-named mode: dialog 105, the file kept.
void NamedFileExists(const Host& host, const std::string& drive) {
    const std::string existing = drive + "\\DAT\\88000001.DAT";
    const std::string before = FileBytes(existing);
    Click(host, IDC_EEG_NAMED_FILE);
    Check(Enabled(host, IDC_CONVERT_START) && !Enabled(host, IDC_EEG_DRIVE),
          "user-named: start enabled, drive list disabled");
    PostMessageA(Control(host, IDC_CONVERT_START), BM_CLICK, 0, 0);
    HWND dialog = SaveDialog(host);
    if (dialog == nullptr) return;
    AnswerSaveDialog(host, dialog, existing);
    HWND notice = WaitForWindow(host, "#32770", 10000);
    Check(notice != nullptr && WindowText(notice) == Cp932("確認"), "dialog 105 is shown");
    if (notice != nullptr) PostMessageA(notice, WM_COMMAND, IDCANCEL, 0);
    Settle(host);
    Check(FileBytes(existing) == before, "the existing file is left untouched");
    Check(Status(host).find(Cp932("はすでにあります。上書きはしません。")) != std::string::npos,
          "the status says why in Japanese: " + Status(host));
    Check(WindowText(Control(host, IDC_CONVERT_COUNTER)) == "0" &&
              SendMessageA(Control(host, IDC_CONVERT_PROGRESS), PBM_GETPOS, 0, 0) == 0,
          "the refusal clears the finished run's counter and progress");
}

// A file named in the save dialog, converted with the next file number, by
// a page that has read no volume (a volume's Disk ID would go into the
// header).
void NamedConversion(const std::string& folder, const std::string& prefix,
                     const std::string& settings) {
    const std::string path = prefix + "-named.dat";
    DeleteFileA(path.c_str());
    DeleteFileA((prefix + "-named.REF").c_str());
    Host host;
    Check(StartHost(folder, EegHostArguments(prefix), &host), "the EEG convert page shows again");
    if (host.page == nullptr) return CloseHost(&host);
    Click(host, IDC_EEG_NAMED_FILE);
    PostMessageA(Control(host, IDC_CONVERT_START), BM_CLICK, 0, 0);
    HWND dialog = SaveDialog(host);
    const DWORD started = GetTickCount();  // the whole run, unheld
    if (dialog != nullptr) AnswerSaveDialog(host, dialog, path);
    Check(WaitForRunEnd(host, "EEG user-named", started), "the user-named run ends");
    Settle(host);
    Check(Status(host) == Cp932("変換が正常に終了しました。"),
          "user-named: string 21: " + Status(host));
    Check(Exists(path) && Exists(prefix + "-named.REF"), "the named file and its .REF exist");
    Check(Setting(settings, "SYSTEM", "EEGFileNo") == "4", "EEGFileNo advanced again");
    CloseHost(&host);
}

// The window closes during a run: what was converted is ended as a complete
// file, the number moves on, and the user is told.
void ExitDuringRun(Host* host, const std::string& drive, const std::string& settings,
                   const std::string& prefix) {
    Click(*host, IDC_EEG_NAMED_FILE);  // back to the volume
    AllowTicks(*host, 0);
    Click(*host, IDC_CONVERT_START);
    AllowTicks(*host, 1);  // a few of the run's 61 steps
    PostMessageA(host->window, WM_CLOSE, 0, 0);
    HWND ask = WaitForWindow(*host, "#32770", 10000);
    Check(ask != nullptr && WindowText(ask) == Cp932("確認"), "closing during a run asks first");
    Shot(prefix, "eeg-close-during-run-ask");
    if (ask != nullptr) PressKeyIn(ask, VK_RETURN);
    WaitForClosed(ask);
    Settle(*host);
    Check(ask != nullptr && !IsWindow(ask) &&
              SendMessageA(host->window, kConvertHostRunning, 0, 0) == 1,
          "Enter answers No, the default: the window stays and the run goes on");
    PostMessageA(host->window, WM_CLOSE, 0, 0);
    ask = WaitForWindow(*host, "#32770", 10000);
    if (ask != nullptr) ClickWithMouse(*host, GetDlgItem(ask, IDYES));
    WaitForClosed(ask);
    HWND notice = WaitForWindow(*host, "#32770", 10000);
    Check(notice != nullptr && WindowText(notice) == Cp932("変換中の終了"),
          "Yes: the user is told what the file holds");
    if (notice != nullptr) {
        const std::string text = WindowText(GetDlgItem(notice, 0xFFFF));
        Check(text.rfind(Cp932("変換を中止しました。ﾌｧｲﾙには最初の"), 0) == 0,
              "it says the run was stopped and what the file holds: " + text);
        PostMessageA(notice, WM_COMMAND, IDOK, 0);
    }
    Check(WaitForSingleObject(host->process.hProcess, 30000) == WAIT_OBJECT_0, "host closes");
    Check(Exists(drive + "\\DAT\\88000002.DAT") && Exists(drive + "\\DAT\\88000002.REF"),
          "the cut-short file and its .REF are complete");
    Check(Setting(settings, "SYSTEM", "EEGFileNo") == "3", "EEGFileNo moved past it");
}

std::string VolumeFile(const std::string& drive, const char* name) {
    return drive + "\\DAT\\" + name;
}

int64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (int64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// A run on the volume killed after its first tick: its wave holds the steps
// written, its .REF stays empty.
void KillRun(const std::string& folder, const std::string& prefix, const std::string& drive) {
    Host host;
    Check(StartHost(folder, EegHostArguments(prefix), &host), "a host to kill");
    if (host.page == nullptr) return CloseHost(&host);
    ChooseDrive(host, drive);
    AllowTicks(host, 0);
    Click(host, IDC_CONVERT_START);
    AllowTicks(host, 1);
    TerminateProcess(host.process.hProcess, 1);
    WaitForSingleObject(host.process.hProcess, 30000);
    CloseHandle(host.process.hProcess);
    CloseHandle(host.process.hThread);
    Check(FileSize(VolumeFile(drive, "88000004.DAT")) > 0 &&
              FileSize(VolumeFile(drive, "88000004.REF")) == 0,
          "the killed run left 88000004.DAT with an empty .REF");
}

// The page tells of the killed run's wave and offers to finish it: Yes
// finishes it, and the next run takes the next number, shown beforehand.
void FinishLeftover(const std::string& folder, const std::string& prefix, const std::string& drive,
                    const std::string& settings) {
    Host host;
    Check(StartHost(folder, EegHostArguments(prefix), &host), "the EEG convert page shows");
    if (host.page == nullptr) return CloseHost(&host);
    ChooseDrive(host, drive);
    HWND ask = WaitForWindow(host, "#32770", 10000);
    Check(ask != nullptr && WindowText(ask) == Cp932("中断された変換のﾌｧｲﾙ"), "the page offers");
    if (ask == nullptr) return CloseHost(&host);
    Check(WindowText(GetDlgItem(ask, 0xFFFF)).rfind("88000004.DAT", 0) == 0,
          "the question names the file: " + WindowText(GetDlgItem(ask, 0xFFFF)));
    Check(
        Status(host).find(Cp932("中断された変換のﾌｧｲﾙ88000004.DATがあります")) != std::string::npos,
        "the status names it: " + Status(host));
    Check(WindowText(Control(host, IDC_EEG_FILE_NAME)) == "88000005",
          "the file name shows the number the run takes");
    Shot(prefix, "eeg-leftover-offer");
    ClickWithMouse(host, GetDlgItem(ask, IDYES));
    Check(Status(host).rfind(Cp932("88000004.DATを"), 0) == 0 &&
              Status(host).find(Cp932("ﾌﾚｰﾑで完成させ、REFﾌｧｲﾙを作成しました。")) !=
                  std::string::npos,
          "Yes: the status says it was finished: " + Status(host));
    Check(FileSize(VolumeFile(drive, "88000004.REF")) > 0, "its .REF is written");
    Shot(prefix, "eeg-leftover-repaired");
    SendMessageA(host.window, kConvertHostAllowTicks, static_cast<WPARAM>(-1), 0);
    Click(host, IDC_CONVERT_START);
    Check(WaitForRunEnd(host, "EEG after a leftover", GetTickCount()), "the run ends");
    Check(Exists(VolumeFile(drive, "88000005.DAT")) && Exists(VolumeFile(drive, "88000005.REF")),
          "the run took 88000005");
    Check(Setting(settings, "SYSTEM", "EEGFileNo") == "6", "EEGFileNo moved past it");
    CloseHost(&host);
}

// "中止" during a user-named run: the file ends whole at its last step,
// with its .REF, and the page says what it holds.
void StopDuringRun(const std::string& folder, const std::string& prefix) {
    const std::string path = prefix + "-stopped.dat";
    DeleteFileA(path.c_str());
    DeleteFileA((prefix + "-stopped.REF").c_str());
    Host host;
    Check(StartHost(folder, EegHostArguments(prefix), &host), "a host to stop a run in");
    if (host.page == nullptr) return CloseHost(&host);
    Check(!Enabled(host, IDC_CONVERT_STOP), "no run: 中止 is disabled");
    Click(host, IDC_EEG_NAMED_FILE);
    AllowTicks(host, 0);
    PostMessageA(Control(host, IDC_CONVERT_START), BM_CLICK, 0, 0);
    HWND dialog = SaveDialog(host);
    if (dialog != nullptr) AnswerSaveDialog(host, dialog, path);
    AllowTicks(host, 2);
    Check(Enabled(host, IDC_CONVERT_STOP), "running: 中止 is offered");
    ClickWithMouse(host, Control(host, IDC_CONVERT_STOP));
    Check(SendMessageA(host.window, kConvertHostRunning, 0, 0) == 0, "中止 ends the run");
    const std::string counter = WindowText(Control(host, IDC_CONVERT_COUNTER));
    Check(Status(host).rfind(Cp932("変換を中止しました。ﾌｧｲﾙには最初の"), 0) == 0 &&
              Status(host).find(Cp932("秒）があります。")) != std::string::npos,
          "the page says the run stopped and what the file holds: " + Status(host));
    Check(FileSize(path) > 0 && FileSize(prefix + "-stopped.REF") > 0,
          "the stopped file and its .REF are written");
    Check(!Enabled(host, IDC_CONVERT_STOP) && Enabled(host, IDC_CONVERT_START),
          "after the stop: start again, 中止 disabled");
    Shot(prefix, "eeg-stopped");
    CloseHost(&host);
}

// 40 channels set for a source of 32 columns after one head line, the
// first column a bias: refused before anything is created, in Japanese,
// naming line 2 as the head list counts it and the first column missing.
void RefusedSource(const std::string& folder, const std::string& prefix) {
    const std::string source = prefix + "-narrow.csv";
    FILE* file = std::fopen(source.c_str(), "wb");
    if (file != nullptr) {
        std::fprintf(file, "head\n");
        for (int line = 0; line < 3; ++line)
            for (int channel = 0; channel < kEegChannels; ++channel)
                std::fprintf(file, "%d%c", channel, channel + 1 < kEegChannels ? ',' : '\n');
        std::fclose(file);
    }
    Host host;
    Check(StartHost(folder, "\"" + source + "\" eeg32 40 500 1 ad", &host),
          "a host with too few columns");
    if (host.page == nullptr) return CloseHost(&host);
    Click(host, IDC_EEG_NAMED_FILE);
    Click(host, IDC_CONVERT_START);
    Check(Status(host).rfind(Cp932("最初のﾃﾞｰﾀ行（2行目）のﾃﾞｰﾀは31列しかなく、32列目がありません"),
                             0) == 0,
          "the refusal names line and column in Japanese: " + Status(host));
    Check(WindowText(Control(host, IDC_CONVERT_COUNTER)) == "0", "no run: the counter shows 0");
    Shot(prefix, "eeg-refused-source");
    CloseHost(&host);
}

void EegConversion(const std::string& folder, const std::string& prefix, const std::string& drive,
                   const std::string& settings) {
    Check(WriteEegSource(EegSource(prefix)), "EEG source written");
    EmptyVolume(drive);
    Host host;
    Check(StartHost(folder, EegHostArguments(prefix), &host), "the EEG convert page shows");
    if (host.page != nullptr) {
        ChooseDrive(host, drive);
        CreateVolume(host, drive, prefix);
        RunEeg(host, drive, settings, prefix);
        NamedFileExists(host, drive);
        ExitDuringRun(&host, drive, settings, prefix);
    }
    CloseHost(&host);
    NamedConversion(folder, prefix, settings);
    KillRun(folder, prefix, drive);
    FinishLeftover(folder, prefix, drive, settings);
    StopDuringRun(folder, prefix);
    RefusedSource(folder, prefix);
}

void PickFrameTimeAndComment(const Host& host) {
    PostMessageA(Control(host, IDC_PSG_FRAME_TIME), WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(Control(host, IDC_PSG_FRAME_TIME), WM_KEYDOWN, VK_DOWN, 1);
    Settle(host);
    Check(WindowText(Control(host, IDC_PSG_FRAME_TIME)) == "  5sec ", "frame time 5 s picked");
    ClickWithMouse(host, Control(host, IDC_PSG_COMMENT));
    Type(host, Control(host, IDC_PSG_COMMENT), "night test");
}

void PsgConversion(const std::string& folder, const std::string& samples,
                   const std::string& prefix) {
    const std::string target = prefix + "-psg.edf";
    DeleteFileA(target.c_str());
    Host host;
    Check(StartHost(folder, "\"" + samples + "\\psg_night.csv\" psg 7 200 1 calibrated", &host),
          "the PSG convert page shows");
    if (host.page == nullptr) return CloseHost(&host);
    Check(Status(host) == Cp932("変換先ﾌｧｲﾙを\"File Selectボタン\"で指定してください。"),
          "no target: string 19");
    PickFrameTimeAndComment(host);
    Shot(prefix, "psg-before");
    // 変換開始 without a target asks for one; cancelling leaves the page.
    ClickWithMouse(host, Control(host, IDC_CONVERT_START));  // the comment loses the focus
    HWND dialog = SaveDialog(host);
    if (dialog != nullptr) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    Settle(host);
    Check(WindowText(Control(host, IDC_PSG_TARGET)).empty() &&
              Status(host) == Cp932("変換先ﾌｧｲﾙを\"File Selectボタン\"で指定してください。"),
          "cancelled: no target, nothing started");
    AllowTicks(host, 0);
    ClickWithMouse(host, Control(host, IDC_CONVERT_START));
    dialog = SaveDialog(host);
    if (dialog != nullptr) AnswerSaveDialog(host, dialog, target);
    Check(WindowText(Control(host, IDC_PSG_TARGET)) == target, "the target is shown");
    Check(SendMessageA(host.window, kConvertHostRunning, 0, 0) == 1,
          "the start goes on with the chosen target");
    Check(!Enabled(host, IDC_PSG_SELECT) && !Enabled(host, IDC_PSG_FRAME_TIME) &&
              !Enabled(host, IDC_CONVERT_START),
          "running: target, frame time and start locked");
    Shot(prefix, "psg-during");
    const DWORD started = GetTickCount();
    SendMessageA(host.window, kConvertHostAllowTicks, static_cast<WPARAM>(-1), 0);
    Check(WaitForRunEnd(host, "PSG", started), "the PSG run ends");
    Settle(host);
    Shot(prefix, "psg-after");
    Check(Status(host) == Cp932("変換が正常に終了しました。"),
          "finished: string 21: " + Status(host));
    Check(WindowText(Control(host, IDC_CONVERT_COUNTER)).rfind("12 / ", 0) == 0,
          "the counter: " + WindowText(Control(host, IDC_CONVERT_COUNTER)));
    Check(Exists(target), "the EDF+ file is written");
    CloseHost(&host);
}

bool ShowsRed(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    HDC screen = GetDC(nullptr);
    bool red = false;
    for (LONG y = rect.top; y < rect.bottom && !red; ++y)
        for (LONG x = rect.left; x < rect.right && !red; ++x)
            red = GetPixel(screen, x, y) == RGB(255, 0, 0);
    ReleaseDC(nullptr, screen);
    return red;
}

// Decimals read as A/D values: the file is written, but the status line
// says in red that values were not whole numbers.
void PsgConversionWithOddValues(const std::string& folder, const std::string& samples,
                                const std::string& prefix) {
    const std::string target = prefix + "-psg-ad.edf";
    DeleteFileA(target.c_str());
    Host host;
    Check(StartHost(folder, "\"" + samples + "\\psg_night.csv\" psg 7 200 1 ad", &host),
          "the PSG convert page shows again");
    if (host.page == nullptr) return CloseHost(&host);
    PostMessageA(Control(host, IDC_PSG_SELECT), BM_CLICK, 0, 0);
    HWND dialog = SaveDialog(host);
    if (dialog != nullptr) AnswerSaveDialog(host, dialog, target);
    Click(host, IDC_CONVERT_START);
    Check(WaitForRunEnd(host, "PSG with odd values", GetTickCount()), "the PSG run ends");
    Settle(host);
    Shot(prefix, "psg-after-odd-values");
    Check(Status(host).rfind(Cp932("変換は終了しましたが、42000個の値が範囲外か数値ではありません"
                                   "でした。ﾌｧｲﾙには最初の30ﾌﾚｰﾑ（"),
                             0) == 0,
          "the status says what the file holds: " + Status(host));
    Check(ShowsRed(Control(host, IDC_CONVERT_STATUS)), "in red");
    Check(Exists(target), "the file is kept");
    CloseHost(&host);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr,
                     "usage: convert_driver INSTALL_FOLDER SAMPLES_FOLDER ARTIFACT_PREFIX DRIVE\n");
        return 2;
    }
    const std::string folder = argv[1], samples = argv[2], prefix = argv[3], drive = argv[4];
    std::string settings;
    Check(PrepareInstall(folder, samples, &settings), "settings and patient files prepared");
    EegConversion(folder, prefix, drive, settings);
    PsgConversion(folder, samples, prefix);
    PsgConversionWithOddValues(folder, samples, prefix);
    return ReportChecks();
}
