#include "tests/wizard/wizard_user.h"

#include <cstdio>

namespace {

WizardUser* g_user = nullptr;

// The dialog-class windows of this thread that are shown: the wizard and any message box.
struct Found {
    HWND exclude;
    HWND window;
};

BOOL CALLBACK FindOtherDialog(HWND window, LPARAM lParam) {
    Found* found = reinterpret_cast<Found*>(lParam);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (window != found->exclude && IsWindowVisible(window) && std::string(className) == "#32770") {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

std::string WindowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

} // namespace

struct WizardUserTick {
    static void CALLBACK Proc(HWND, UINT, UINT_PTR, DWORD) {
        if (g_user)
            g_user->Tick();
    }
};

WizardUser::WizardUser(std::vector<DialogPage*> pages) : pages_(std::move(pages)) {}

HWND WizardUser::Wizard() const {
    for (DialogPage* page : pages_) {
        if (page->Window() && IsWindow(page->Window()))
            return GetParent(page->Window());
    }
    return nullptr;
}

HWND WizardUser::CurrentPage() const {
    HWND wizard = Wizard();
    return wizard ? reinterpret_cast<HWND>(SendMessageA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0))
                  : nullptr;
}

HWND WizardUser::MessageBoxWindow() const {
    Found found = {Wizard(), nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindOtherDialog, reinterpret_cast<LPARAM>(&found));
    return found.window;
}

int WizardUser::PageId(HWND window) const {
    for (DialogPage* page : pages_) {
        if (page->Window() == window)
            return page->TemplateId();
    }
    return 0;
}

WizardUser& WizardUser::Press(int button) {
    steps_.push_back([this, button] {
        PostMessageA(Wizard(), PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
    });
    return *this;
}

WizardUser& WizardUser::Click(int id) {
    steps_.push_back([this, id] { SendDlgItemMessageA(CurrentPage(), id, BM_CLICK, 0, 0); });
    return *this;
}

WizardUser& WizardUser::Answer(int button) {
    steps_.push_back([this, button] {
        HWND box = MessageBoxWindow();
        if (!box) {
            transcript_ += "no message box to answer\n";
            return;
        }
        PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    });
    return *this;
}

WizardUser& WizardUser::Do(std::function<void(HWND page)> action) {
    steps_.push_back([this, action] { action(CurrentPage()); });
    return *this;
}

WizardUser& WizardUser::LookAtPage() {
    steps_.push_back([this] {
        HWND wizard = Wizard();
        std::string line = "page " + std::to_string(PageId(CurrentPage())) + ":";
        const struct {
            int id;
            const char* name;
        } buttons[] = {{0x3023, "back"}, {0x3024, "next"}, {0x3025, "finish"}};
        for (const auto& button : buttons) {
            HWND control = GetDlgItem(wizard, button.id);
            if (control && IsWindowVisible(control) && IsWindowEnabled(control))
                line += std::string(" ") + button.name;
        }
        transcript_ += line + "\n";
    });
    return *this;
}

WizardUser& WizardUser::LookAtBoxes(int first, int last) {
    steps_.push_back([this, first, last] {
        std::string line = "boxes " + std::to_string(first) + "-" + std::to_string(last) + ": ";
        for (int id = first; id <= last; ++id)
            line += IsDlgButtonChecked(CurrentPage(), id) == BST_CHECKED ? '1' : '0';
        transcript_ += line + "\n";
    });
    return *this;
}

WizardUser& WizardUser::LookAtMessage() {
    steps_.push_back([this] {
        HWND box = MessageBoxWindow();
        if (!box) {
            transcript_ += "no message box\n";
            return;
        }
        // The message is the box's one static control with text.
        std::string text;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char className[16] = "";
            GetClassNameA(child, className, sizeof className);
            if (std::string(className) == "Static" && !WindowText(child).empty())
                text = WindowText(child);
        }
        transcript_ += "message \"" + text + "\" caption \"" + WindowText(box) + "\"\n";
    });
    return *this;
}

void WizardUser::Tick() {
    if (busy_ || !Wizard())
        return;
    busy_ = true;
    if (next_ < steps_.size()) {
        steps_[next_++]();
    } else if (++idleTicks_ == 5) {
        transcript_ += "left open: cancelled\n";
        PostMessageA(Wizard(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    } else if (idleTicks_ > 5) {
        if (HWND box = MessageBoxWindow())
            PostMessageA(box, WM_COMMAND, IDYES, 0);
    }
    busy_ = false;
}

INT_PTR WizardUser::Run(WizardSheet& sheet) {
    g_user = this;
    UINT_PTR timer = SetTimer(nullptr, 0, 30, WizardUserTick::Proc);
    INT_PTR result = sheet.Run();
    KillTimer(nullptr, timer);
    g_user = nullptr;
    return result;
}
