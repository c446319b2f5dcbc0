// The setup wizard: a wizard-mode property sheet over the pages added to it, in display order.
// The page list is process-wide, shared with the one page dialog procedure, so only one sheet
// runs at a time; it holds at most kMaxWizardPages pages.
#pragma once

#include <memory>

#include "platform/win32.h"
#include "wizard/wizard_page.h"

constexpr unsigned kMaxWizardPages = 8;

class WizardSheet {
  public:
    // `parent` is the backdrop window; `title` (copied) becomes every page's title, so the
    // wizard's title bar shows it. Empties the page list.
    WizardSheet(HWND parent, const char* title);
    ~WizardSheet();
    WizardSheet(const WizardSheet&) = delete;
    WizardSheet& operator=(const WizardSheet&) = delete;

    // Appends a page; the caller keeps it alive until the sheet is done with it and adds at
    // most kMaxWizardPages.
    void AddPage(DialogPage* page);
    // Runs the wizard modally: PropertySheetA's result, non-zero when the user finished.
    INT_PTR Run();
    // Every page's Commit in display order, stopping at the first that fails.
    bool CommitPages();

  private:
    HWND parent_;
    std::unique_ptr<char[]> title_;
};
