// The state one UI run shares between its scenarios: the install folder
// the program runs from, where screenshots go, the sample sources.
#ifndef QUILLON_TESTS_UI_SESSION_H
#define QUILLON_TESTS_UI_SESSION_H

#include <string>

#include "ui_actions.h"

// Ids of the program the driver addresses (the program's own header is
// not shared: the driver knows the program only from outside).
enum ProgramIds {
    kStatusBarId = 1100,
    kToolbarId = 1101,
    kTabControlId = 1102,
    kMessageFieldId = 1103,
    kOriginalTypeId = 1111,
    kCreateTypeId = 1113,
    kChannelCountId = 1223,
    kNoSourcePageId = 1120,
    kNoPatientPageId = 1130,
    kNoMontagePageId = 1140,
    kNoConvertPageId = 1150,
    kWeightId = 1217,
    kOpenCommand = 4002,
    kCloseCommand = 4007,
    kConvertCommand = 4008,
    kExitCommand = 4009,
};

struct UiSession {
    std::string install;      // Windows path of the program's folder
    std::string artifacts;    // Windows path of the screenshot folder
    std::string labelSource;  // a source with 3 labels over 4 data columns
    std::string blankSource;  // a blank-separated source
    std::string volumeDrive;  // "Q:", a drive mapped to a scratch folder, or empty
    Process process;
    HWND main = nullptr;
};

// A dialog of the program with this title, once it shows (or null).
HWND WaitForDialog(const UiSession& session, const char* title);
// Saves a screenshot named name.png in the artifacts folder.
void Snapshot(const UiSession& session, const char* name);
bool StartAndFindMain(UiSession* session, const std::string& arguments);
// Clicks Exit and waits for the program to end; true when it ended with 0.
bool ExitByToolbar(UiSession* session);
HWND Toolbar(const UiSession& session);
HWND TabControl(const UiSession& session);
void ClickTab(const UiSession& session, int tab);
int CurrentTab(const UiSession& session);
std::string SettingsPath(const UiSession& session);
std::string PatientPath(const UiSession& session);

void RunSourcePageScenarios(UiSession* session);
void RunPatientPageScenarios(UiSession* session);
// Need a source open and PSG output; end on the convert tab.
void RunMontageAndConvertScenarios(UiSession* session);
void RunWindowConversion(UiSession* session);
void RunWindowEegConversion(UiSession* session);
// Needs a source open on tab 0.
void RunFrameScenarios(UiSession* session);

// Code page 932 texts the program shows.
extern const char kSourceOpenedText[];
extern const char kSourceClosedText[];
extern const char kConfirmTitle[];

#endif
