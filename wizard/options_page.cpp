#include "wizard/options_page.h"

#include <cstring>

#include "driver/setup_context.h"
#include "driver/shell_helpers.h"
#include "driver/string_helpers.h"
#include "registry/reg_key.h"
#include "wizard/install_path.h"

namespace {

const int kMailingListBox = 700;
const int kDesktopBox = 701;
const int kPathField = 702;
const int kBrowseButton = 703;
const int kProxyPageId = 106;

const char kAccessMessage[] =
    "The given installation path cannot be accessed.  Please ensure that the path is valid and "
    "that you have write permission to the specified directory.";
const char kSpaceMessage[] =
    "There does not appear to be enough free space on the drive you are attempting to install "
    "on. Do you want continue the installation anyway? (Not recommended)";

} // namespace

OptionsPage::OptionsPage(HBITMAP wizardBitmap) : WizardPage(105, wizardBitmap) {
    DefaultInstallPath(installPath_);
}

OptionsPage::~OptionsPage() = default;

bool OptionsPage::OnInitDialog() {
    ExpandItemText(kDesktopBox, "NetQuillo links");
    SetCheck(kDesktopBox, desktopShortcuts_);
    SetCheck(kMailingListBox, mailingList_);
    SetItemText(kPathField, installPath_);
    return true;
}

int OptionsPage::GetNextPage() {
    return IsModuleSelected("news") ? 0 : kProxyPageId;
}

bool OptionsPage::OnKillActive() {
    desktopShortcuts_ = GetCheck(kDesktopBox);
    mailingList_ = GetCheck(kMailingListBox);
    // A folder too long for the buffer is refused as a too-long folder is, never cut.
    if (!GetItemText(kPathField, installPath_, sizeof installPath_))
        installPath_[0] = '\0';
    switch (CheckFolder(spaceCheckPending_)) {
    case FolderCheck::Refused:
        ShowMessage(kAccessMessage, MB_OK);
        return true;
    case FolderCheck::Accepted:
        return false;
    case FolderCheck::TooLittleSpace:
        break;
    }
    if (ShowMessage(kSpaceMessage, MB_YESNO) != IDYES)
        return true;
    spaceCheckPending_ = false;
    return false;
}

bool OptionsPage::OnCommand(UINT code, UINT id, HWND) {
    if (id == kBrowseButton) {
        char folder[MAX_PATH];
        if (BrowseForFolder(folder, Window())) {
            SetItemText(kPathField, folder);
            spaceCheckPending_ = true;
        }
    } else if (id == kPathField && code == EN_CHANGE) {
        spaceCheckPending_ = true;
    }
    return true;
}

bool OptionsPage::Commit() {
    RegKey key(GetModuleShortName(0));
    if (key.Open(Updates, nullptr, false))
        key.WriteString("subscribelist", mailingList_ ? "1" : "0");
    return true;
}

bool OptionsPage::SetInstallPath(const char* path) {
    return CopyString(installPath_, path, sizeof installPath_);
}

void OptionsPage::GetInstallPath(char* buffer, size_t size) const {
    if (size == 0)
        return;
    std::memset(buffer, 0, size);
    std::strncpy(buffer, installPath_, size - 1);
}

FolderCheck OptionsPage::CheckFolder(bool checkSpace) {
    return CheckInstallFolder(installPath_, checkSpace, &presentLength_);
}
