// The news server (dialog 107): name, port and, when the server asks for them, a user name
// and password. Shown and stored only while the News module is chosen.
#pragma once

#include "wizard/news_server_settings.h"
#include "wizard/wizard_page.h"

class NewsServerPage : public WizardPage {
  public:
    explicit NewsServerPage(HBITMAP wizardBitmap);
    ~NewsServerPage() override;

    bool OnInitDialog() override;
    bool OnKillActive() override;
    bool OnCommand(UINT code, UINT id, HWND control) override;
    bool Commit() override;

    // User name and password can be edited exactly while the authentication box is checked.
    void UpdateAuthControls();

  private:
    NewsServerSettings settings_;
};
