// What the UI driver does to the program from outside, as a user would:
// start it, find its windows, click, type and read what it shows.
#ifndef QUILLON_TESTS_UI_ACTIONS_H
#define QUILLON_TESTS_UI_ACTIONS_H

#include <windows.h>

#include <string>

constexpr DWORD kStartTimeoutMs = 60000;
constexpr DWORD kActionTimeoutMs = 15000;

void Check(bool ok, const std::string& what);
// Checks that a shown text is the expected one; a failure shows both.
void CheckText(const std::string& shown, const std::string& expected, const std::string& what);
int Failures();
int Passes();

struct Process {
    PROCESS_INFORMATION info = {};
    bool started = false;
};

// Starts folder\Quillon.exe with the given arguments (already quoted).
bool StartProgram(const std::string& folder, const std::string& arguments, Process* process);
bool WaitForExit(const Process& process, DWORD timeoutMs, DWORD* code);
void EndProcess(Process* process);

// A visible top-level window of the process of class (and title, if given).
HWND WaitForTopWindow(const Process& process, const char* className, const char* title,
                      DWORD timeoutMs);
// The main window, once its start-up window is gone.
HWND WaitForMainWindow(const Process& process);
// A descendant window of parent with a control id (the first found).
HWND FindControl(HWND parent, int id);
// The visible descendant of parent with id (pages share ids).
HWND FindVisibleControl(HWND parent, int id);
HWND FindChildOfClass(HWND parent, const char* className);

// Waits until the program has handled everything posted so far.
void Settle(HWND window);
bool WaitUntil(DWORD timeoutMs, bool (*condition)(void*), void* context);

void ClickAt(HWND window, int x, int y);
void Click(HWND window);
void ClickToolbarButton(HWND toolbar, int command);
// The rectangle of an item a message reports through a pointer (TB_GETRECT,
// TCM_GETITEMRECT, LB_GETITEMRECT), and a click on its middle.
bool ItemRect(HWND window, UINT message, WPARAM item, RECT* rect);
void ClickItem(HWND window, UINT message, WPARAM item);
void PressKey(HWND window, WORD key);
void TypeText(HWND window, const std::string& text);
// Empties an edit by End and backspaces, then types text.
void ReplaceText(HWND edit, const std::string& text);
// Replaces the text of an edit and leaves it with Tab, as a user does.
void EnterText(HWND edit, const std::string& text);
// Moves the selection of a drop-down list to index with the arrow keys.
void SelectByKeys(HWND combo, int index);
// Drops an editable list down and clicks entry index.
void PickFromDropDown(HWND combo, int index);

std::string WindowText(HWND window);
int ComboSelection(HWND combo);
void CheckSelection(HWND combo, int expected, const std::string& what);
int ListCount(HWND list);
std::string ListText(HWND list, int index);
std::string ComboEntryText(HWND combo, int index);
std::string StatusText(HWND statusBar, int part);
bool ToolbarButtonEnabled(HWND toolbar, int command);

std::string IniValue(const std::string& path, const char* section, const char* key);
bool WriteTextFile(const std::string& path, const std::string& bytes);

#endif
