#include "wizard/module_page.h"

namespace {
const int kFirstModuleBox = 550;
} // namespace

ModulePage::ModulePage(HBITMAP wizardBitmap, DWORD moduleCount, BYTE* selected)
    : WizardPage(103, wizardBitmap), moduleCount_(moduleCount), selected_(selected) {}

ModulePage::~ModulePage() = default;

bool ModulePage::OnInitDialog() {
    for (DWORD i = 0; i < moduleCount_; ++i)
        SetCheck(kFirstModuleBox + static_cast<int>(i), selected_[i] != 0);
    return true;
}

int ModulePage::OnSetActive() {
    UpdateModuleButtons();
    return 0;
}

bool ModulePage::OnKillActive() {
    for (DWORD i = 0; i < moduleCount_; ++i)
        selected_[i] = GetCheck(kFirstModuleBox + static_cast<int>(i)) ? 1 : 0;
    return false;
}

bool ModulePage::OnCommand(UINT, UINT, HWND) {
    // Whatever the command, the boxes may have changed.
    UpdateModuleButtons();
    return true;
}

void ModulePage::UpdateModuleButtons() {
    LPARAM buttons = PSWIZB_BACK;
    for (DWORD i = 0; i < moduleCount_; ++i) {
        if (GetCheck(kFirstModuleBox + static_cast<int>(i))) {
            buttons |= PSWIZB_NEXT;
            break;
        }
    }
    // Posted, like the frame's generic state, so that it arrives after it and wins.
    PostMessageA(GetParent(Window()), PSM_SETWIZBUTTONS, 0, buttons);
}
