// The first pages: the licence agreement (dialog 101), and the notice to remove an earlier
// version (dialog 102) that the install sequence adds only when it finds one. Both only show a
// text; pressing Next is the acceptance.
#pragma once

#include "wizard/wizard_page.h"

class LicencePage : public WizardPage {
  public:
    explicit LicencePage(HBITMAP wizardBitmap);
    ~LicencePage() override;
    bool OnInitDialog() override;
};

class NoticePage : public WizardPage {
  public:
    explicit NoticePage(HBITMAP wizardBitmap);
    ~NoticePage() override;
    bool OnInitDialog() override;
};
