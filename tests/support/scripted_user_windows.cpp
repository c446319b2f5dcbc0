// The scripted user under Windows: a timer on the wizard's thread gives it the turn from
// within whatever modal loop runs (the property sheet's, a message box's, the folder
// picker's). Timer messages come only when no other message waits, so each turn sees the
// windows settled.
#include "tests/support/scripted_user.h"

#include <shlobj.h>

namespace scripted {
namespace {

const UINT kTickMilliseconds = 20;
// About half a minute: a wizard still open then is destroyed, so a test cannot hang.
const unsigned kMaxTicks = 1500;

ScriptedUser* g_user = nullptr;
unsigned g_ticks = 0;

HWND FindPicker() {
    for (HWND window = FindWindowExA(nullptr, nullptr, "#32770", nullptr); window;
         window = FindWindowExA(nullptr, window, "#32770", nullptr)) {
        if (IsWindowVisible(window) && FindWindowExA(window, nullptr, "SysTreeView32", nullptr))
            return window;
    }
    return nullptr;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_user)
        return;
    if (++g_ticks <= kMaxTicks) {
        g_user->Turn();
        return;
    }
    for (HWND window = FindWindowExA(nullptr, nullptr, "#32770", nullptr); window;
         window = FindWindowExA(nullptr, nullptr, "#32770", nullptr)) {
        if (!DestroyWindow(window))
            break;
    }
}

} // namespace

namespace detail {

INT_PTR PlayWith(ScriptedUser& user, const std::function<INT_PTR()>& ui) {
    g_user = &user;
    g_ticks = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, kTickMilliseconds, Tick);
    INT_PTR result = ui();
    KillTimer(nullptr, timer);
    g_user = nullptr;
    return result;
}

// About a second.
unsigned Patience() {
    return 50;
}

bool FolderPickerShown() {
    return FindPicker() != nullptr;
}

bool AnswerFolderPicker(const char* path) {
    HWND picker = FindPicker();
    if (!picker)
        return false;
    if (path)
        SendMessageA(picker, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path));
    return PostMessageA(picker, WM_COMMAND, path ? IDOK : IDCANCEL, 0) != FALSE;
}

} // namespace detail
} // namespace scripted
