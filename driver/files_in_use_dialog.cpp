#include "driver/files_in_use_dialog.h"

#include "install/files_in_use.h"

namespace {

INT_PTR CALLBACK FilesInUseProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const FilesInUse& held = *reinterpret_cast<const FilesInUse*>(lParam);
        char names[FilesInUse::kMaxFiles * MAX_PATH + 64];
        held.Names(names, sizeof names, "\r\n");
        SetDlgItemTextA(dialog, kFilesInUseNames, names);
        if (held.NamesPrograms())
            SetDlgItemTextA(dialog, kFilesInUseText,
                            held.CanClose()
                                ? "These programs are using files that setup must replace. "
                                  "Close them, or let setup close them, then click Retry."
                                : "These programs are using files that setup must replace. "
                                  "Close them, then click Retry.");
        // Only the Restart Manager can ask programs to close; without it the button goes.
        if (!held.CanClose()) {
            HWND close = GetDlgItem(dialog, kClosePrograms);
            EnableWindow(close, FALSE);
            ShowWindow(close, SW_HIDE);
        }
        // Retry has the focus, as the default button: Enter retries, Escape cancels.
        SetFocus(GetDlgItem(dialog, IDRETRY));
        return FALSE;
    }
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        if (id == IDRETRY || id == IDCANCEL || id == kClosePrograms) {
            EndDialog(dialog, id);
            return TRUE;
        }
    }
    return FALSE;
}

} // namespace

int AskAboutFilesInUse(HWND owner, const FilesInUse& held) {
    INT_PTR answer =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kFilesInUseDialog), owner,
                        FilesInUseProc, reinterpret_cast<LPARAM>(&held));
    return answer == IDRETRY || answer == kClosePrograms ? static_cast<int>(answer) : IDCANCEL;
}
