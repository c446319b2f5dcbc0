// The choice of modules (dialog 103): one check box per module, 550 + its catalogue index. The
// page works on the setup context's selection flags, which it writes back whenever it is left,
// and keeps Next disabled while no box is checked.
#pragma once

#include "wizard/wizard_page.h"

class ModulePage : public WizardPage {
  public:
    // `selected` is the context's array of `moduleCount` flags (1 = install); not owned.
    ModulePage(HBITMAP wizardBitmap, DWORD moduleCount, BYTE* selected);
    ~ModulePage() override;

    bool OnInitDialog() override;
    int OnSetActive() override;
    bool OnKillActive() override;
    bool OnCommand(UINT code, UINT id, HWND control) override;

    // Back always; Next as soon as one box is checked.
    void UpdateModuleButtons();

  private:
    DWORD moduleCount_;
    BYTE* selected_;
};
