// The message box: a dialog window of its own, owned by the top-level window of its owner,
// which stays disabled while the box waits. The user answers by a button of the box
// (WM_COMMAND with the button's id); the box's text is the static control 0xFFFF, as on
// Windows, and each box shown goes to the user log.
#include <map>

#include "platform/host/emulation.h"
#include "platform/host/window_manager.h"
#include "platform/system_control_ids.h"

namespace hostemu {
namespace {

const LONG kButtonWidth = 75;
const LONG kButtonHeight = 23;

struct Box {
    UINT type = 0;
    int answer = 0;
};

std::map<HWND, Box>& Boxes() {
    static std::map<HWND, Box> boxes;
    return boxes;
}

std::vector<int> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE:
        return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default:
        return {IDOK};
    }
}

const char* ButtonText(int id) {
    switch (id) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Cancel";
    case IDABORT:
        return "&Abort";
    case IDRETRY:
        return "&Retry";
    case IDIGNORE:
        return "&Ignore";
    case IDYES:
        return "&Yes";
    case IDNO:
        return "&No";
    case IDTRYAGAIN:
        return "&Try Again";
    default:
        return "&Continue";
    }
}

INT_PTR CALLBACK BoxProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    auto it = Boxes().find(window);
    if (it == Boxes().end() || message != WM_COMMAND)
        return FALSE;
    int id = LOWORD(wParam);
    std::vector<int> buttons = ButtonsOf(it->second.type);
    // Escape or closing answers Cancel where there is one, OK on a box with OK alone.
    if (id == IDCANCEL && buttons.size() == 1 && buttons[0] == IDOK)
        id = IDOK;
    for (int button : buttons) {
        if (button == id)
            it->second.answer = id;
    }
    return TRUE;
}

} // namespace
} // namespace hostemu

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    // The log keeps what the program meant to say even when the box fails, which a sweep
    // needs to tell outcomes.
    auto notShown = [&] {
        hostemu::wm::Log(std::string("message not shown \"") + (caption ? caption : "Error") +
                         "\": " + (text ? text : ""));
        return 0;
    };
    if (DWORD error = hostemu::detail::CheckFault("MessageBoxA")) {
        SetLastError(error);
        return notShown();
    }
    if (owner && !IsWindow(owner))
        return 0;
    std::string body = text ? text : "";
    std::string title = caption ? caption : "Error";
    HWND root = owner ? hostemu::wm::RootWindow(owner) : nullptr;
    std::vector<int> buttons = hostemu::ButtonsOf(type);
    LONG width =
        std::max<LONG>(static_cast<LONG>(body.size()) * 6 + 80,
                       static_cast<LONG>(buttons.size()) * (hostemu::kButtonWidth + 6) + 24);
    width = std::min<LONG>(width, 600);
    HWND box = CreateWindowExA(WS_EX_DLGMODALFRAME, "#32770", title.c_str(),
                               WS_POPUP | WS_CAPTION | WS_SYSMENU, 200, 200, width, 120, root,
                               nullptr, nullptr, nullptr);
    if (!box)
        return notShown();
    hostemu::wm::Window* window = hostemu::wm::Find(box);
    window->proc = hostemu::wm::DialogProc;
    window->dialogProc = hostemu::BoxProc;
    hostemu::Boxes()[box].type = type;
    CreateWindowExA(
        0, "Static", body.c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 60, 16, width - 80, 40, box,
        reinterpret_cast<HMENU>(static_cast<intptr_t>(kMessageBoxText)), nullptr, nullptr);
    LONG x = 12;
    for (int id : buttons) {
        CreateWindowExA(0, "Button", hostemu::ButtonText(id), WS_CHILD | WS_VISIBLE | WS_TABSTOP, x,
                        64, hostemu::kButtonWidth, hostemu::kButtonHeight, box,
                        reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
        x += hostemu::kButtonWidth + 6;
    }
    bool ownerWasEnabled = root && IsWindowEnabled(root);
    if (ownerWasEnabled)
        EnableWindow(root, FALSE);
    hostemu::wm::Log("message \"" + title + "\": " + body);
    ShowWindow(box, SW_SHOWNORMAL);
    hostemu::wm::RunModalLoop(box, [&] { return hostemu::Boxes()[box].answer != 0; });
    int answer = hostemu::Boxes()[box].answer;
    hostemu::Boxes().erase(box);
    if (ownerWasEnabled)
        EnableWindow(root, TRUE);
    DestroyWindow(box);
    return answer;
}
