// The Windows ordinals of our window-tool and custom-control libraries,
// called by ordinal as the program calls them, with the results it relies
// on: fonts by number and kind, placement under a settings section, drive
// kinds, modal dialogs ending with the pressed button, the start-up window,
// and the static control's background message.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bramwick.h"
#include "feldane.h"

namespace {

constexpr int kNoticeDialog = 201;
constexpr int kStartupDialog = 202;
constexpr UINT_PTR kPressTimer = 1;

int g_failures = 0;

void Check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what);
    if (!ok) ++g_failures;
}

// The button a user presses in the next notice that shows.
int g_buttonToPress = IDOK;
// The text control 100 showed when the button was pressed.
char g_shownText[64];

void CALLBACK PressButton(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindWindowA("#32770", "Ordinal notice");
    if (dialog == nullptr) return;
    KillTimer(nullptr, timer);
    GetDlgItemTextA(dialog, 100, g_shownText, sizeof g_shownText);
    HWND button = GetDlgItem(dialog, g_buttonToPress);
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

void CheckFonts() {
    const intptr_t normal = BramwickFont(BRAMWICK_FONT_HANDLE, BRAMWICK_FONT_NORMAL);
    const intptr_t title = BramwickFont(BRAMWICK_FONT_HANDLE, BRAMWICK_FONT_TITLE);
    Check(normal != 0 && title != 0 && normal != title, "fonts 0 and 5 are two fonts");
    Check(BramwickFont(BRAMWICK_FONT_HANDLE, BRAMWICK_FONT_NORMAL) == normal,
          "a font number gives the same font again");
    Check(BramwickFont(BRAMWICK_FONT_HANDLE, 99) == normal, "an unknown number gives font 0");
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(title));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    const intptr_t height = BramwickFont(BRAMWICK_FONT_HEIGHT, BRAMWICK_FONT_TITLE);
    Check(height > 0 && height == metrics.tmHeight, "kind 2 gives the pixel height of the font");
    Check(BramwickFont(BRAMWICK_FONT_HEIGHT, BRAMWICK_FONT_TITLE) >
              BramwickFont(BRAMWICK_FONT_HEIGHT, 0),
          "the title font is taller than the row font");
}

void CheckPlacement(const std::string& settings) {
    HWND first = CreateWindowA("STATIC", "first", WS_OVERLAPPEDWINDOW, 70, 50, 700, 520, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    BramwickStorePlacement(first, settings.c_str());
    DestroyWindow(first);
    char left[16] = {};
    GetPrivateProfileStringA("INITIAL", "WindowLeft", "", left, sizeof left, settings.c_str());
    Check(std::strcmp(left, "70") == 0, "ordinal 6 stores the place under INITIAL");
    HWND second = CreateWindowA("STATIC", "second", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    BramwickRestorePlacement(second, "INITIAL", settings.c_str(), 1);
    RECT rect = {};
    GetWindowRect(second, &rect);
    Check(rect.left == 70 && rect.top == 50 && rect.right == 770 && rect.bottom == 570,
          "ordinal 5 restores the stored place");
    Check(!IsWindowVisible(second), "restoring does not show a hidden window");
    DestroyWindow(second);
}

void CheckDialogs() {
    HINSTANCE self = GetModuleHandleA(nullptr);
    g_buttonToPress = IDCANCEL;
    SetTimer(nullptr, kPressTimer, 100, PressButton);
    Check(BramwickModalDialog(nullptr, self, kNoticeDialog) == IDCANCEL,
          "ordinal 22 returns the pressed button's id");
    g_buttonToPress = IDOK;
    SetTimer(nullptr, kPressTimer, 100, PressButton);
    Check(BramwickAboutBox(nullptr, self, kNoticeDialog, 0, "about text", 0) == IDOK,
          "ordinal 23 ends with OK");
    Check(std::strcmp(g_shownText, "about text") == 0, "ordinal 23 shows the text it is given");
    Check(BramwickModalDialog(nullptr, self, 999) == 0, "a dialog that does not exist gives 0");
    HWND startup = static_cast<HWND>(BramwickStartupWindow(nullptr, self, kStartupDialog));
    Check(startup != nullptr && IsWindowVisible(startup), "ordinal 24 shows the modeless window");
    SendMessageA(startup, WM_CLOSE, 0, 0);
    Check(!IsWindow(startup), "WM_CLOSE ends the start-up window");
}

void CheckDriveKinds() {
    Check(BramwickDriveKind('C') == BRAMWICK_DRIVE_HARD_DISK, "drive C: is a hard disk");
    Check(BramwickDriveKind('c') == BRAMWICK_DRIVE_HARD_DISK, "drive letters in either case");
    Check(BramwickDriveKind('@') == BRAMWICK_DRIVE_NONE, "a non-letter is no drive");
}

COLORREF PaintedColour(HWND control) {
    UpdateWindow(control);
    HDC dc = GetDC(control);
    const COLORREF colour = GetPixel(dc, 2, 2);
    ReleaseDC(control, dc);
    return colour;
}

void CheckStaticControl() {
    FeldaneRegisterControls();
    HWND control = CreateWindowA(FELDANE_STATIC_CLASS, "message", WS_POPUP | WS_VISIBLE, 10, 10,
                                 120, 20, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    Check(control != nullptr, "FELDANESTATIC32 is registered by ordinal 49");
    if (control == nullptr) return;
    Check(PaintedColour(control) == RGB(192, 192, 192), "the control starts light grey");
    SendMessageA(control, FELDANE_SET_BACKGROUND, 0, RGB(255, 0, 0));
    InvalidateRect(control, nullptr, TRUE);
    Check(PaintedColour(control) == RGB(255, 0, 0), "WM_USER+11 paints it red");
    DestroyWindow(control);
}

}  // namespace

int main(int argc, char** argv) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string settings = std::string(argc > 1 ? argv[1] : folder) + "\\ordinals.ini";
    DeleteFileA(settings.c_str());
    CheckFonts();
    CheckPlacement(settings);
    CheckDialogs();
    CheckDriveKinds();
    CheckStaticControl();
    DeleteFileA(settings.c_str());
    std::printf("%d failed\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}
