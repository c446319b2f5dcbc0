#include "tests/wizard/wizard_user.h"

#include <cstdio>

#ifndef _WIN32
#include "platform/host/emulation.h"
#endif

namespace {

// The id Windows gives a message box's text.
const int kMessageText = 0xFFFF;

std::string WindowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

#ifdef _WIN32
WizardUser* g_user = nullptr;

void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_user)
        g_user->Tick();
}
#endif

} // namespace

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
    // The dialog-class window shown besides the wizard.
    HWND wizard = Wizard();
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32770", nullptr)) != nullptr) {
        if (window != wizard && IsWindowVisible(window))
            return window;
    }
    return nullptr;
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
        const std::string text = WindowText(GetDlgItem(box, kMessageText));
        transcript_ += "message \"" + text + "\" caption \"" + WindowText(box) + "\"\n";
    });
    return *this;
}

bool WizardUser::Step() {
    if (next_ < steps_.size()) {
        steps_[next_++]();
        return true;
    }
    return false;
}

#ifdef _WIN32
void WizardUser::Tick() {
    // A step that opens a message box runs its loop, and with it this timer, inside the step.
    if (busy_ || !Wizard())
        return;
    busy_ = true;
    if (!Step()) {
        // Whatever the queue left open is cancelled, so that a test never hangs.
        if (++idleTicks_ == 5) {
            transcript_ += "left open: cancelled\n";
            PostMessageA(Wizard(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        } else if (HWND box = idleTicks_ > 5 ? MessageBoxWindow() : nullptr) {
            PostMessageA(box, WM_COMMAND, IDYES, 0);
        }
    }
    busy_ = false;
}

INT_PTR WizardUser::Run(WizardSheet& sheet) {
    g_user = this;
    UINT_PTR timer = SetTimer(nullptr, 0, 30, OnTimer);
    INT_PTR result = sheet.Run();
    KillTimer(nullptr, timer);
    g_user = nullptr;
    return result;
}
#else
INT_PTR WizardUser::Run(WizardSheet& sheet) {
    // The emulation's modal loops turn to the user whenever they have nothing else to do; with
    // the queue played out the user has nothing either, and the sheet closes with -1.
    hostemu::SetUser([this] {
        if (Step())
            return true;
        transcript_ += "left open\n";
        return false;
    });
    INT_PTR result = sheet.Run();
    hostemu::SetUser(nullptr);
    return result;
}
#endif
