// The player of scripted users: it finds the wizard and message boxes among the top-level
// windows and acts on them through the Win32 calls, as a person at the screen would.
#include "tests/support/scripted_user.h"

#include "platform/system_control_ids.h"

namespace scripted {
namespace {

// Turns spent closing the wizard after a fault before it is destroyed outright.
const unsigned kMaxAbortTurns = 20;

std::string TextOf(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The visible top-level dialog windows, the wizard's sheet first if it is open.
std::vector<HWND> Dialogs() {
    std::vector<HWND> found;
    for (HWND window = FindWindowExA(nullptr, nullptr, "#32770", nullptr); window;
         window = FindWindowExA(nullptr, window, "#32770", nullptr)) {
        if (IsWindowVisible(window))
            found.push_back(window);
    }
    return found;
}

HWND FindSheet() {
    for (HWND window : Dialogs()) {
        if (GetDlgItem(window, kWizardNextButton))
            return window;
    }
    return nullptr;
}

// Setup's own question boxes are read as message boxes: the files-in-use dialog's list of
// names (driver/files_in_use_dialog.h) is its text.
const int kQuestionNames = 1311;

HWND BoxText(HWND box) {
    HWND text = GetDlgItem(box, kMessageBoxText);
    return text ? text : GetDlgItem(box, kQuestionNames);
}

HWND FindMessageBox() {
    for (HWND window : Dialogs()) {
        if (!GetDlgItem(window, kWizardNextButton) && BoxText(window) &&
            !FindWindowExA(window, nullptr, "SysTreeView32", nullptr))
            return window;
    }
    return nullptr;
}

HWND CurrentPage(HWND sheet) {
    return sheet ? reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0))
                 : nullptr;
}

int PageId(HWND sheet, HWND page) {
    LRESULT index = SendMessageA(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0);
    return index < 0 ? 0 : static_cast<int>(SendMessageA(sheet, PSM_INDEXTOID, index, 0));
}

bool Usable(HWND window) {
    return window && IsWindowVisible(window) && IsWindowEnabled(window);
}

DWORD WizardButtons(HWND sheet) {
    DWORD state = 0;
    if (Usable(GetDlgItem(sheet, kWizardBackButton)))
        state |= PSWIZB_BACK;
    if (Usable(GetDlgItem(sheet, kWizardNextButton)))
        state |= PSWIZB_NEXT;
    if (Usable(GetDlgItem(sheet, kWizardFinishButton)))
        state |= PSWIZB_FINISH;
    return state;
}

std::string ButtonsText(DWORD state) {
    std::string text;
    if (state & PSWIZB_BACK)
        text += "Back ";
    if (state & PSWIZB_NEXT)
        text += "Next ";
    if (state & PSWIZB_FINISH)
        text += "Finish ";
    return text.empty() ? "none" : text.substr(0, text.size() - 1);
}

Step Make(Step::Kind kind, int id = 0, DWORD value = 0, const std::string& text = std::string(),
          const std::string& caption = std::string()) {
    Step step;
    step.kind = kind;
    step.id = id;
    step.value = value;
    step.text = text;
    step.caption = caption;
    return step;
}

} // namespace

namespace Do {
Step Next() {
    return Make(Step::Kind::Next);
}
Step Back() {
    return Make(Step::Kind::Back);
}
Step Finish() {
    return Make(Step::Kind::Finish);
}
Step Cancel() {
    return Make(Step::Kind::Cancel);
}
Step Type(int control, const std::string& text) {
    return Make(Step::Kind::Type, control, 0, text);
}
Step Click(int control) {
    return Make(Step::Kind::Click, control);
}
Step Answer(int button) {
    return Make(Step::Kind::Answer, button);
}
Step PickFolder(const char* path) {
    Step step = Make(Step::Kind::PickFolder, 0, 0, path ? path : "");
    step.hasText = path != nullptr;
    return step;
}
} // namespace Do

namespace Expect {
Step Page(int dialogId) {
    return Make(Step::Kind::ExpectPage, dialogId);
}
Step Buttons(DWORD wizardButtons) {
    return Make(Step::Kind::ExpectButtons, 0, wizardButtons);
}
Step Text(int control, const std::string& text) {
    return Make(Step::Kind::ExpectText, control, 0, text);
}
Step Checked(int control, bool checked) {
    return Make(Step::Kind::ExpectChecked, control, checked ? 1 : 0);
}
Step Enabled(int control, bool enabled) {
    return Make(Step::Kind::ExpectEnabled, control, enabled ? 1 : 0);
}
Step Message(const std::string& text, const std::string& caption) {
    return Make(Step::Kind::ExpectMessage, 0, 0, text, caption);
}
} // namespace Expect

std::string Step::Describe() const {
    std::string id_ = std::to_string(id);
    switch (kind) {
    case Kind::Next:
        return "Do::Next()";
    case Kind::Back:
        return "Do::Back()";
    case Kind::Finish:
        return "Do::Finish()";
    case Kind::Cancel:
        return "Do::Cancel()";
    case Kind::Type:
        return "Do::Type(" + id_ + ", \"" + text + "\")";
    case Kind::Click:
        return "Do::Click(" + id_ + ")";
    case Kind::Answer:
        return "Do::Answer(" + id_ + ")";
    case Kind::PickFolder:
        return hasText ? "Do::PickFolder(\"" + text + "\")" : "Do::PickFolder(nullptr)";
    case Kind::ExpectPage:
        return "Expect::Page(" + id_ + ")";
    case Kind::ExpectButtons:
        return "Expect::Buttons(" + ButtonsText(value) + ")";
    case Kind::ExpectText:
        return "Expect::Text(" + id_ + ", \"" + text + "\")";
    case Kind::ExpectChecked:
        return "Expect::Checked(" + id_ + ", " + (value ? "true" : "false") + ")";
    case Kind::ExpectEnabled:
        return "Expect::Enabled(" + id_ + ", " + (value ? "true" : "false") + ")";
    case Kind::ExpectMessage:
        return "Expect::Message(\"" + text + "\", \"" + caption + "\")";
    }
    return "?";
}

ScriptedUser::ScriptedUser(std::vector<Step> steps) : steps_(std::move(steps)) {}

INT_PTR ScriptedUser::Play(const std::function<INT_PTR()>& ui) {
    INT_PTR result = detail::PlayWith(*this, ui);
    if (!aborting_ && next_ < steps_.size())
        Fail("step " + std::to_string(next_ + 1) + " " + steps_[next_].Describe() +
             ": the wizard closed before it");
    return result;
}

void ScriptedUser::Fail(const std::string& what) {
    failures_ += what + "\n";
    aborting_ = true;
}

bool ScriptedUser::Turn() {
    if (observer_)
        observer_();
    if (aborting_)
        return Abort();
    while (next_ < steps_.size()) {
        // The step counts as taken before it acts: an action may open a modal loop (a
        // message box) in which the following steps are played.
        size_t number = ++next_;
        const Step& step = steps_[number - 1];
        std::string seen;
        bool action = step.kind < Step::Kind::ExpectPage;
        bool held = action ? Perform(step, seen) : Check(step, seen);
        if (!held && waited_ < detail::Patience()) {
            // A window may not be there yet: a dialog box shows itself only once its loop
            // finds the queue empty, which a timer's tick can come before.
            ++waited_;
            --next_;
            return true;
        }
        waited_ = 0;
        if (!held) {
            Fail("step " + std::to_string(number) + " " + step.Describe() + ": " + seen);
            return Abort();
        }
        if (action)
            return true;
    }
    std::string waiting = FindMessageBox()              ? "a message box"
                          : detail::FolderPickerShown() ? "the folder picker"
                          : FindSheet()                 ? "the wizard"
                                                        : "";
    if (waiting.empty())
        return false;
    Fail("the script ended while " + waiting + " still waits for the user");
    return Abort();
}

// A person would see each of these at once; the step fails with what was there instead.
bool ScriptedUser::Check(const Step& step, std::string& seen) {
    HWND sheet = FindSheet();
    HWND page = CurrentPage(sheet);
    if (step.kind == Step::Kind::ExpectMessage) {
        HWND box = FindMessageBox();
        if (!box) {
            seen = "no message box is shown";
            return false;
        }
        std::string text = TextOf(BoxText(box));
        std::string caption = TextOf(box);
        seen = "the message box says \"" + text + "\" under \"" + caption + "\"";
        return text == step.text && caption == step.caption;
    }
    if (!sheet || !page) {
        seen = "no wizard page is shown";
        return false;
    }
    if (step.kind == Step::Kind::ExpectPage) {
        int id = PageId(sheet, page);
        seen = "page " + std::to_string(id) + " is shown";
        return id == step.id;
    }
    if (step.kind == Step::Kind::ExpectButtons) {
        DWORD state = WizardButtons(sheet);
        seen = "the wizard offers " + ButtonsText(state);
        return state == step.value;
    }
    HWND control = GetDlgItem(page, step.id);
    if (!control) {
        seen = "the page has no control " + std::to_string(step.id);
        return false;
    }
    switch (step.kind) {
    case Step::Kind::ExpectText: {
        std::string text = TextOf(control);
        seen = "it says \"" + text + "\"";
        return text == step.text;
    }
    case Step::Kind::ExpectChecked: {
        bool checked = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        seen = checked ? "it is checked" : "it is not checked";
        return checked == (step.value != 0);
    }
    default: {
        bool enabled = IsWindowEnabled(control) != FALSE;
        seen = enabled ? "it is enabled" : "it is disabled";
        return enabled == (step.value != 0);
    }
    }
}

bool ScriptedUser::Perform(const Step& step, std::string& seen) {
    if (step.kind == Step::Kind::PickFolder) {
        seen = "no folder picker is shown";
        return detail::FolderPickerShown() &&
               detail::AnswerFolderPicker(step.hasText ? step.text.c_str() : nullptr);
    }
    HWND box = FindMessageBox();
    if (step.kind == Step::Kind::Answer) {
        HWND button = box ? GetDlgItem(box, step.id) : nullptr;
        seen = !box ? "no message box is shown" : "the message box has no such button";
        if (!Usable(button))
            return false;
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(step.id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        return true;
    }
    HWND sheet = FindSheet();
    HWND page = CurrentPage(sheet);
    if (box) {
        seen = "a message box says \"" + TextOf(BoxText(box)) + "\"";
        return false;
    }
    if (!sheet || !page) {
        seen = "no wizard page is shown";
        return false;
    }
    DWORD buttons = WizardButtons(sheet);
    seen = "the wizard offers " + ButtonsText(buttons);
    switch (step.kind) {
    case Step::Kind::Next:
        return (buttons & PSWIZB_NEXT) && PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    case Step::Kind::Back:
        return (buttons & PSWIZB_BACK) && PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_BACK, 0);
    case Step::Kind::Finish:
        return (buttons & PSWIZB_FINISH) && PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    case Step::Kind::Cancel:
        return PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0) != FALSE;
    default:
        break;
    }
    HWND control = GetDlgItem(page, step.id);
    seen = !control ? "the page has no control " + std::to_string(step.id)
                    : "the control is disabled or hidden";
    if (!Usable(control))
        return false;
    if (step.kind == Step::Kind::Type)
        return SetWindowTextA(control, step.text.c_str()) != FALSE;
    SendMessageA(control, BM_CLICK, 0, 0);
    return true;
}

// Closes what is open, innermost first: message boxes with their closing answer, the folder
// picker, then the wizard by Cancel (confirmed in the next turn); a wizard that will not close
// is destroyed.
bool ScriptedUser::Abort() {
    if (++abortTurns_ > kMaxAbortTurns) {
        HWND sheet = FindSheet();
        if (sheet && abortTurns_ == kMaxAbortTurns + 1) {
            DestroyWindow(sheet);
            return true;
        }
        return false;
    }
    if (HWND box = FindMessageBox()) {
        for (int id : {IDYES, IDOK, IDCANCEL, IDNO, IDABORT}) {
            if (HWND button = GetDlgItem(box, id)) {
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                             reinterpret_cast<LPARAM>(button));
                return true;
            }
        }
    }
    if (detail::FolderPickerShown())
        return detail::AnswerFolderPicker(nullptr);
    if (HWND sheet = FindSheet())
        return PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0) != FALSE;
    return false;
}

} // namespace scripted
