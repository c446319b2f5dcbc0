// A scripted user for the wizard, the same on both platforms: a list of what a person does
// (press Next, type into a field, answer a message box...) and of what they should see at
// each point (the page, the wizard's buttons, a control's text or state, a message). One
// player acts through the Win32 calls alone; on the host the emulation's modal loops give it
// the turn whenever they are idle, under Windows a timer on the wizard's thread does, inside
// the real modal loops.
//
//     ScriptedUser user({Expect::Page(101), Expect::Buttons(PSWIZB_NEXT), Do::Next(),
//                        Do::Click(554), Do::Cancel(), Expect::Message(text, caption),
//                        Do::Answer(IDYES)});
//     INT_PTR result = user.Play([&] { return sheet.Run(); });
//     EXPECT_EQ("", user.Failures());
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32.h"

namespace scripted {

struct Step {
    enum class Kind {
        Next,
        Back,
        Finish,
        Cancel,
        Type,
        Click,
        Answer,
        PickFolder,
        ExpectPage,
        ExpectButtons,
        ExpectText,
        ExpectChecked,
        ExpectEnabled,
        ExpectMessage
    };
    Kind kind = Kind::Next;
    int id = 0;          // a control, a page's dialog id or a message box button
    DWORD value = 0;     // wizard buttons, a check or enabled state
    bool hasText = true; // PickFolder with no path cancels the picker
    std::string text;
    std::string caption;
    std::string Describe() const;
};

// What the user does. Controls are those of the page shown.
namespace Do {
Step Next();
Step Back();
Step Finish();
Step Cancel();
Step Type(int control, const std::string& text);
Step Click(int control);
// Presses the button `button` (IDYES, IDNO, IDOK...) of the message box shown.
Step Answer(int button);
// Chooses `path` in the folder picker shown; null cancels it.
Step PickFolder(const char* path);
} // namespace Do

// What the user sees.
namespace Expect {
Step Page(int dialogId);
// The wizard buttons shown and enabled: PSWIZB_BACK, PSWIZB_NEXT, PSWIZB_FINISH.
Step Buttons(DWORD wizardButtons);
Step Text(int control, const std::string& text);
Step Checked(int control, bool checked);
Step Enabled(int control, bool enabled);
Step Message(const std::string& text, const std::string& caption);
} // namespace Expect

class ScriptedUser {
  public:
    explicit ScriptedUser(std::vector<Step> steps);
    // Runs `ui`, which shows the wizard and returns when it has closed, with this user at the
    // keyboard, and answers what `ui` answered.
    INT_PTR Play(const std::function<INT_PTR()>& ui);
    // Empty when every step ran and held; otherwise what went wrong, a line a fault, naming
    // the step, what was expected and what was there.
    const std::string& Failures() const { return failures_; }

    // One turn of the user, given by the platform's driver when the program waits for input:
    // the expectations up to the next action and that action. False when there was nothing
    // to do. A failed expectation, or a wizard still waiting when the script has ended, makes
    // the user close every window of the wizard instead.
    bool Turn();
    // Called at the start of every turn, before the user looks or acts: for benchmarks that
    // time what the program does between two turns.
    void SetTurnObserver(std::function<void()> observer) { observer_ = std::move(observer); }

  private:
    bool Perform(const Step& step, std::string& seen);
    bool Check(const Step& step, std::string& seen);
    bool Abort();
    void Fail(const std::string& what);

    std::vector<Step> steps_;
    size_t next_ = 0;
    bool aborting_ = false;
    unsigned abortTurns_ = 0;
    unsigned waited_ = 0;
    std::string failures_;
    std::function<void()> observer_;
};

// The platform's part: the driver that gives the user turns while `ui` runs, and the folder
// picker, which has no window on the host.
namespace detail {
INT_PTR PlayWith(ScriptedUser& user, const std::function<INT_PTR()>& ui);
bool FolderPickerShown();
// Turns a step that cannot be taken yet may wait for the program to catch up before it fails.
unsigned Patience();
bool AnswerFolderPicker(const char* path);
} // namespace detail

} // namespace scripted
