// The proxy servers (dialog 106), the wizard's last page: for HTTP, FTP and SOCKS whether a
// proxy is used, its address and its port. Back skips the news server page unless News is
// chosen.
#pragma once

#include "wizard/proxy_settings.h"
#include "wizard/wizard_page.h"

class ProxyPage : public WizardPage {
  public:
    explicit ProxyPage(HBITMAP wizardBitmap);
    ~ProxyPage() override;

    bool OnInitDialog() override;
    int GetBackPage() override;
    bool OnKillActive() override;
    bool OnCommand(UINT code, UINT id, HWND control) override;
    bool Commit() override;

    // A protocol's address and port can be edited exactly while its box is checked.
    void UpdateProxyControls();

  private:
    ProxySetting settings_[kProxyProtocolCount]; // HTTP, FTP, SOCKS
};
