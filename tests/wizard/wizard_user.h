// A user at the wizard: a queue of actions and looks, played one at a time while the sheet (or a
// message box over it) runs its modal loop: under Wine by a timer on the wizard's thread, on the
// emulation as the machine's user. Every look is written to a transcript, one line each, that
// the test compares.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "wizard/wizard_sheet.h"

class WizardUser {
  public:
    // `pages` are the pages added to the sheet, so that a page window tells its dialog id.
    explicit WizardUser(std::vector<DialogPage*> pages);

    // Actions.
    WizardUser& Press(int button);  // PSBTN_BACK, PSBTN_NEXT, PSBTN_FINISH, PSBTN_CANCEL
    WizardUser& Click(int id);      // a button or box of the current page
    WizardUser& Answer(int button); // the open message box: IDYES, IDNO...
    // Anything else, with the current page's window.
    WizardUser& Do(std::function<void(HWND page)> action);

    // Looks, each a transcript line.
    // "page 103: back next" - the current page's dialog id and the enabled wizard buttons.
    WizardUser& LookAtPage();
    // "boxes 550-555: 110111" - check states of a run of boxes on the current page.
    WizardUser& LookAtBoxes(int first, int last);
    // "message \"text\" caption \"caption\"" - the open message box.
    WizardUser& LookAtMessage();

    // Runs the sheet with the queue; answers what Run answered. Whatever the queue leaves
    // open is closed (and noted in the transcript), so a test never hangs.
    INT_PTR Run(WizardSheet& sheet);
    const std::string& Transcript() const { return transcript_; }

    // The timer's turn under Wine.
    void Tick();

  private:
    // Plays the next queued step; false when none is left.
    bool Step();
    HWND Wizard() const;
    HWND CurrentPage() const;
    HWND MessageBoxWindow() const;
    int PageId(HWND window) const;

    std::vector<DialogPage*> pages_;
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
    bool busy_ = false;
    int idleTicks_ = 0;
    std::string transcript_;
};
