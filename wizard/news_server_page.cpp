#include "wizard/news_server_page.h"

namespace {
const int kNameField = 820;
const int kPortField = 821;
const int kAuthenticationBox = 822;
const int kUserField = 823;
const int kPasswordField = 824;
} // namespace

NewsServerPage::NewsServerPage(HBITMAP wizardBitmap) : WizardPage(107, wizardBitmap) {
    LoadNewsServerSettings(settings_);
}

NewsServerPage::~NewsServerPage() = default;

bool NewsServerPage::OnInitDialog() {
    SetItemText(kNameField, settings_.serverName);
    SetItemInt(kPortField, settings_.port);
    SetCheck(kAuthenticationBox, settings_.requiresAuthentication);
    SetItemText(kUserField, settings_.userId);
    SetItemText(kPasswordField, settings_.password);
    UpdateAuthControls();
    return true;
}

bool NewsServerPage::OnKillActive() {
    GetItemText(kNameField, settings_.serverName, sizeof settings_.serverName);
    settings_.port = GetItemInt(kPortField);
    settings_.requiresAuthentication = GetCheck(kAuthenticationBox);
    GetItemText(kUserField, settings_.userId, sizeof settings_.userId);
    GetItemText(kPasswordField, settings_.password, sizeof settings_.password);
    return false;
}

bool NewsServerPage::OnCommand(UINT, UINT id, HWND) {
    if (id == kAuthenticationBox)
        UpdateAuthControls();
    return true;
}

bool NewsServerPage::Commit() {
    StoreNewsServerSettings(settings_);
    return true;
}

void NewsServerPage::UpdateAuthControls() {
    BOOL enabled = GetCheck(kAuthenticationBox) ? TRUE : FALSE;
    EnableWindow(GetDlgItem(Window(), kUserField), enabled);
    EnableWindow(GetDlgItem(Window(), kPasswordField), enabled);
}
