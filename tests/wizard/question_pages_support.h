// What the scenarios of the question pages share: a machine with nothing to import, and the
// wizard run over some pages by a scripted user and committed when finished.
#pragma once

#include <string>
#include <vector>

#include "driver/setup_context.h"
#include "tests/support/scripted_user.h"
#include "tests/support/test_world.h"
#include "tests/wizard/machine_value.h"
#include "wizard/wizard_page.h"

extern const char kWizardTitle[];
extern const char kInternetSettingsKey[];

class QuestionPages : public TestWorld {
  protected:
    void SetUp() override;

    // Runs the wizard over `pages` with `steps`; commits the pages when it was finished.
    // Answers what the wizard answered; every step must have run and held.
    INT_PTR Play(const std::vector<DialogPage*>& pages, std::vector<scripted::Step> steps);

    SetupContext context_{kSuiteName, kProductCatalogue, kCatalogueRowCount};
    MachineValue proxyEnable_{HKEY_CURRENT_USER, kInternetSettingsKey, "ProxyEnable"};
    MachineValue proxyServer_{HKEY_CURRENT_USER, kInternetSettingsKey, "ProxyServer"};
    MachineValue programFiles_{HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                               "ProgramFilesDir"};
};

// The value `name` of the suite's `Updates` key, "-" when it is missing.
std::string UpdatesString(const char* name);
