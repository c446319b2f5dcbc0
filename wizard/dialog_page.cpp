// The root page class: the defaults of the thirteen operations and the control utilities.
#include <cstring>

#include "wizard/wizard_page.h"

#include "driver/string_helpers.h"

namespace {
const char kCancelQuestion[] = "Are you sure you wish to cancel the installation?";
// The longest control text a page expands in place, with its zero.
const int kItemTextSize = 1024;
const int kCaptionSize = 128;
} // namespace

DialogPage::DialogPage(int templateId) : templateId_(templateId) {}

DialogPage::~DialogPage() = default;

bool DialogPage::OnInitDialog() {
    return true;
}
int DialogPage::OnSetActive() {
    return 0;
}
int DialogPage::OnPaint(HDC) {
    return 0;
}
int DialogPage::GetNextPage() {
    return 0;
}
int DialogPage::GetBackPage() {
    return 0;
}
int DialogPage::OnNext() {
    return 0;
}
int DialogPage::OnBack() {
    return 0;
}
int DialogPage::OnFinish() {
    return 0;
}
bool DialogPage::OnKillActive() {
    return false;
}
bool DialogPage::OnCommand(UINT, UINT, HWND) {
    return false;
}
bool DialogPage::Commit() {
    return true;
}

bool DialogPage::OnQueryCancel() {
    return ShowMessage(kCancelQuestion, MB_YESNO) != IDYES;
}

void DialogPage::SetCheck(int id, bool checked) {
    SendDlgItemMessageA(window_, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool DialogPage::GetCheck(int id) {
    return SendDlgItemMessageA(window_, id, BM_GETCHECK, 0, 0) != BST_UNCHECKED;
}

void DialogPage::SetItemText(int id, const char* text) {
    SetDlgItemTextA(window_, id, text);
}

bool DialogPage::GetItemText(int id, char* buffer, int size) {
    if (size <= 0)
        return false;
    // Read whole into a larger buffer and cut here, where the cut can keep characters whole.
    char text[kItemTextSize] = "";
    const int length = GetDlgItemTextA(window_, id, text, kItemTextSize);
    buffer[0] = '\0';
    return AppendStringCut(buffer, static_cast<size_t>(size), text) && length < kItemTextSize - 1;
}

void DialogPage::SetItemInt(int id, UINT value) {
    SetDlgItemInt(window_, id, value, FALSE);
}

UINT DialogPage::GetItemInt(int id) {
    return GetDlgItemInt(window_, id, nullptr, FALSE);
}

void DialogPage::ExpandItemText(int id, const char* replacement) {
    char text[kItemTextSize] = "";
    GetDlgItemTextA(window_, id, text, kItemTextSize);
    char expanded[kItemTextSize];
    ExpandPlaceholders(text, expanded, kItemTextSize, replacement);
    SetDlgItemTextA(window_, id, expanded);
}

int DialogPage::ShowMessage(const char* text, UINT type) {
    char caption[kCaptionSize] = "";
    GetWindowTextA(GetParent(window_), caption, kCaptionSize);
    return MessageBoxA(window_, text, caption, type);
}
