// The progress box: dialog 130 shown modeless while the install actions run. It has no dialog
// procedure; the install sequence and file deployment drive its two controls directly.
#include "driver/progress_box.h"

#include "driver/setup_log.h"

namespace {
const int kProgressBar = 900;
const int kStatusLine = 901;
} // namespace

ProgressBox::~ProgressBox() {
    Close();
}

bool ProgressBox::Open(HWND owner) {
    window_ =
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(130), owner, nullptr, 0);
    if (!window_)
        return false;
    // Centred by the client area's size, which leaves the box a little right of and below the
    // true centre; the look the suite has always had.
    RECT desktop;
    RECT client;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetClientRect(window_, &client);
    int x = ((desktop.right - desktop.left) - (client.right - client.left)) / 2;
    int y = ((desktop.bottom - desktop.top) - (client.bottom - client.top)) / 2;
    SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    if (owner)
        UpdateWindow(owner);
    return true;
}

void ProgressBox::SetRange(int maximum) {
    if (!window_)
        return;
    SendDlgItemMessageA(window_, kProgressBar, PBM_SETSTEP, 1, 0);
    SendDlgItemMessageA(window_, kProgressBar, PBM_SETRANGE, 0,
                        MAKELPARAM(0, static_cast<WORD>(maximum)));
}

void ProgressBox::Step() {
    if (!window_)
        return;
    SendDlgItemMessageA(window_, kProgressBar, PBM_STEPIT, 0, 0);
}

void ProgressBox::SetStatus(const char* text) {
    if (log_)
        log_->BeginStep(text);
    if (!window_)
        return;
    SetDlgItemTextA(window_, kStatusLine, text);
    // No message loop runs during the install: the box shows each status only when painted now.
    UpdateWindow(window_);
}

void ProgressBox::EndStep(const char* result) {
    if (log_)
        log_->EndStep(result);
}

void ProgressBox::Close() {
    if (window_)
        DestroyWindow(window_);
    window_ = nullptr;
}
