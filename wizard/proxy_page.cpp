#include "wizard/proxy_page.h"

#include "driver/setup_context.h"

namespace {
const int kOptionsPageId = 105;
} // namespace

ProxyPage::ProxyPage(HBITMAP wizardBitmap) : WizardPage(106, wizardBitmap) {
    for (int i = 0; i < kProxyProtocolCount; ++i)
        LoadProxySetting(kProxyProtocols[i], settings_[i]);
}

ProxyPage::~ProxyPage() = default;

bool ProxyPage::OnInitDialog() {
    for (int i = 0; i < kProxyProtocolCount; ++i) {
        const ProxyProtocol& protocol = kProxyProtocols[i];
        SetCheck(protocol.useBox, settings_[i].use);
        SetItemText(protocol.addressField, settings_[i].address);
        SetItemInt(protocol.portField, settings_[i].port);
    }
    UpdateProxyControls();
    return true;
}

int ProxyPage::GetBackPage() {
    return IsModuleSelected("news") ? 0 : kOptionsPageId;
}

bool ProxyPage::OnKillActive() {
    for (int i = 0; i < kProxyProtocolCount; ++i) {
        const ProxyProtocol& protocol = kProxyProtocols[i];
        settings_[i].use = GetCheck(protocol.useBox);
        GetItemText(protocol.addressField, settings_[i].address, sizeof settings_[i].address);
        settings_[i].port = GetItemInt(protocol.portField);
    }
    return false;
}

bool ProxyPage::OnCommand(UINT, UINT id, HWND) {
    for (const ProxyProtocol& protocol : kProxyProtocols) {
        if (static_cast<int>(id) == protocol.useBox)
            UpdateProxyControls();
    }
    return true;
}

bool ProxyPage::Commit() {
    for (int i = 0; i < kProxyProtocolCount; ++i)
        StoreProxySetting(kProxyProtocols[i], settings_[i]);
    return true;
}

void ProxyPage::UpdateProxyControls() {
    for (const ProxyProtocol& protocol : kProxyProtocols) {
        BOOL enabled = GetCheck(protocol.useBox) ? TRUE : FALSE;
        EnableWindow(GetDlgItem(Window(), protocol.addressField), enabled);
        EnableWindow(GetDlgItem(Window(), protocol.portField), enabled);
    }
}
