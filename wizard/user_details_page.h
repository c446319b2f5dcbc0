// The user's registration details (dialog 104): full name, company, email address and
// country, proposed from an earlier run or from the system and stored when setup finishes.
#pragma once

#include "wizard/user_details.h"
#include "wizard/wizard_page.h"

class UserDetailsPage : public WizardPage {
  public:
    explicit UserDetailsPage(HBITMAP wizardBitmap);
    ~UserDetailsPage() override;

    bool OnInitDialog() override;
    bool OnKillActive() override;
    bool Commit() override;

  private:
    UserDetails details_;
};
