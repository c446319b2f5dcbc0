#include "tests/e2e/robot/installer_windows.h"

#include <vector>

#include "platform/system_control_ids.h"

namespace {

// The progress box's bar, by which the robot knows the box.
const int kProgressBarId = 900;
// The files-in-use dialog's text, list of names and close button (driver/files_in_use_dialog.h).
const int kFilesInUseTextId = 1310;
const int kFilesInUseNamesId = 1311;
const int kCloseProgramsId = 1312;
const UINT kAnswerTimeout = 5000;

struct Search {
    DWORD processId;
    InstallerWindows found;
};

bool HasClass(HWND window, const char* name) {
    char className[64];
    return GetClassNameA(window, className, sizeof className) > 0 &&
           lstrcmpiA(className, name) == 0;
}

BOOL CALLBACK NoteWindow(HWND window, LPARAM parameter) {
    Search& search = *reinterpret_cast<Search*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search.processId || !IsWindowVisible(window) || !HasClass(window, "#32770"))
        return TRUE;
    if (GetDlgItem(window, kProgressBarId))
        search.found.progress = window;
    else if (GetDlgItem(window, kMessageBoxText))
        search.found.message = window;
    else if (GetDlgItem(window, kFilesInUseNamesId))
        search.found.filesInUse = window;
    else if (GetDlgItem(window, kWizardNextButton))
        search.found.wizard = window;
    return TRUE;
}

bool ButtonUsable(HWND window, int id) {
    HWND button = GetDlgItem(window, id);
    return button && IsWindowVisible(button) && IsWindowEnabled(button);
}

struct NamedButton {
    int id;
    const char* name;
};

// The names of the buttons of `window` a user can press now, in the order given.
std::string UsableButtons(HWND window, std::initializer_list<NamedButton> order) {
    std::string buttons;
    for (const NamedButton& button : order) {
        if (!ButtonUsable(window, button.id))
            continue;
        if (!buttons.empty())
            buttons += ' ';
        buttons += button.name;
    }
    return buttons;
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeout,
                             &result))
        return 0;
    return static_cast<LRESULT>(result);
}

} // namespace

InstallerWindows FindInstallerWindows(DWORD processId) {
    Search search{processId, {}};
    EnumWindows(NoteWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring Wide(const std::string& utf8) {
    std::wstring wide(utf8.size() + 1, L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0],
                                           static_cast<int>(wide.size()));
    wide.resize(length > 0 ? length - 1 : 0);
    return wide;
}

std::string Utf8(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], size, nullptr, nullptr);
    text.resize(size > 0 ? size - 1 : 0);
    return text;
}

// Asked for in UTF-16, so that the text arrives whole whatever code page either side has.
std::string ControlText(HWND control) {
    if (!control)
        return "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeout,
                             &length))
        return "";
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, kAnswerTimeout, &copied);
    return Utf8(text.data());
}

void SetControlText(HWND control, const std::string& utf8) {
    const std::wstring text = Wide(utf8);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, kAnswerTimeout, &result);
}

std::string ItemText(HWND dialog, int id) {
    return ControlText(GetDlgItem(dialog, id));
}

HWND CurrentPage(HWND wizard) {
    return reinterpret_cast<HWND>(Ask(wizard, PSM_GETCURRENTPAGEHWND, 0, 0));
}

int CurrentPageId(HWND wizard) {
    HWND page = CurrentPage(wizard);
    if (!page)
        return 0;
    LRESULT index = Ask(wizard, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0);
    return index < 0 ? 0 : static_cast<int>(Ask(wizard, PSM_INDEXTOID, index, 0));
}

std::string WizardButtons(HWND wizard) {
    return UsableButtons(wizard, {{kWizardBackButton, "Back"},
                                  {kWizardNextButton, "Next"},
                                  {kWizardFinishButton, "Finish"},
                                  {IDCANCEL, "Cancel"}});
}

void PressWizardButton(HWND wizard, int button) {
    PostMessageA(wizard, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
}

std::string MessageText(HWND box) {
    return ItemText(box, kMessageBoxText);
}

std::string MessageButtons(HWND box) {
    return UsableButtons(box, {{IDOK, "OK"}, {IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}});
}

void AnswerMessage(HWND box, int answer) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
}

std::string FilesInUseText(HWND box) {
    return ItemText(box, kFilesInUseTextId);
}

std::string FilesInUseNames(HWND box) {
    return ItemText(box, kFilesInUseNamesId);
}

std::string FilesInUseButtons(HWND box) {
    return UsableButtons(
        box, {{kCloseProgramsId, "Close the programs"}, {IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}});
}

void Settle(HWND window) {
    // Posted button states and repaints queue behind what was sent; a short pause lets them
    // through, and a sent message proves the thread is back waiting for input.
    for (int round = 0; round < 3; ++round) {
        Sleep(40);
        Ask(window, WM_NULL, 0, 0);
    }
}
