// The installer's windows as a user meets them, found and worked from another process: the
// wizard sheet, the progress box and message boxes are all dialogs ("#32770"), told apart by
// the controls they hold.
#pragma once

#include <string>

#include "platform/win32.h"

struct InstallerWindows {
    HWND wizard = nullptr;
    HWND progress = nullptr;
    HWND message = nullptr;
    HWND filesInUse = nullptr; // setup's question about files other programs hold
};

// The visible top-level dialogs of process `processId`.
InstallerWindows FindInstallerWindows(DWORD processId);

// UTF-8 text as UTF-16 and back: the robot's texts are UTF-8, whatever the code page.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const wchar_t* wide);

// A control's text through WM_GETTEXT, which crosses processes, as UTF-8 ("" when it does not
// answer); SetControlText types one.
std::string ControlText(HWND control);
void SetControlText(HWND control, const std::string& utf8);
// A dialog's control's text, by control id.
std::string ItemText(HWND dialog, int id);

// The page the wizard shows now and its dialog id (0 when the sheet does not answer).
HWND CurrentPage(HWND wizard);
int CurrentPageId(HWND wizard);
// The wizard's buttons a user can press now, in screen order: "Back Next Cancel" and so on.
std::string WizardButtons(HWND wizard);
// Presses PSBTN_BACK, PSBTN_NEXT, PSBTN_FINISH or PSBTN_CANCEL. Posted, so that a message box
// the press brings up does not hold the robot.
void PressWizardButton(HWND wizard, int button);

// The text of a message box and its buttons ("OK", "Yes No").
std::string MessageText(HWND box);
std::string MessageButtons(HWND box);
// Answers a message box, or any dialog, with the button of id `answer` (IDOK, IDYES, IDNO,
// IDRETRY, IDCANCEL).
void AnswerMessage(HWND box, int answer);
// The files-in-use dialog's what-to-do text, its list of programs or files, and its buttons a
// user can press ("Close the programs Retry Cancel").
std::string FilesInUseText(HWND box);
std::string FilesInUseNames(HWND box);
std::string FilesInUseButtons(HWND box);

// Lets the installer's thread work through what it was posted, so that what the robot reads or
// draws next is what a user would see.
void Settle(HWND window);
