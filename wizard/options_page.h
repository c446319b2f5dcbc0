// The install options (dialog 105): the mailing list, desktop links and the install folder.
// Leaving the page proves the folder can be created and written and warns when its drive
// lacks room for the chosen modules; Next skips the news server page unless News is chosen.
#pragma once

#include "wizard/install_path.h"
#include "wizard/wizard_page.h"

class OptionsPage : public WizardPage {
  public:
    explicit OptionsPage(HBITMAP wizardBitmap);
    ~OptionsPage() override;

    bool OnInitDialog() override;
    int GetNextPage() override;
    bool OnKillActive() override;
    bool OnCommand(UINT code, UINT id, HWND control) override;
    bool Commit() override;

    // The desktop-links box as the page last saved it.
    bool WantsDesktopShortcuts() const { return desktopShortcuts_; }
    // Replaces the proposed install folder, for a run that names its own; false, and the
    // folder kept, when `path` does not fit.
    bool SetInstallPath(const char* path);
    // The install folder into `buffer` of `size` bytes, the rest of the buffer zero-filled.
    void GetInstallPath(char* buffer, size_t size) const;
    // Checks the install folder as leaving the page does, keeping what of it was there.
    FolderCheck CheckFolder(bool checkSpace);
    // What of the install folder was there when it was last checked (`TestInstallPath`).
    size_t PresentLength() const { return presentLength_; }

  private:
    char installPath_[MAX_PATH];
    bool desktopShortcuts_ = true;
    bool mailingList_ = false;
    // True while the free-space warning has not been accepted for the path in the field.
    bool spaceCheckPending_ = true;
    size_t presentLength_ = static_cast<size_t>(-1);
};
