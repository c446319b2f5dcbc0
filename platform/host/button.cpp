// The button class: push buttons, check boxes and radio buttons. A click (BM_CLICK) on an
// enabled button toggles an automatic box, checks an automatic radio button and tells the
// parent with WM_COMMAND / BN_CLICKED.
#include "platform/host/window_manager.h"

namespace hostemu {
namespace wm {

namespace {

void SetCheck(Window& window, UINT check) {
    if (window.check == check)
        return;
    window.check = check;
    if (IsWindowVisible(window.handle))
        Log("check control " + std::to_string(window.id) + ": " +
            (check == BST_CHECKED     ? "on"
             : check == BST_UNCHECKED ? "off"
                                      : "mixed"));
}

// Unchecks the other automatic radio buttons of the group `window` belongs to.
void ClearRadioGroup(Window& window) {
    std::vector<HWND> siblings = ChildrenOf(window.parent);
    size_t at = 0;
    while (at < siblings.size() && siblings[at] != window.handle)
        ++at;
    size_t first = at;
    while (first > 0 && !(Find(siblings[first])->style & WS_GROUP))
        --first;
    for (size_t i = first; i < siblings.size(); ++i) {
        Window* other = Find(siblings[i]);
        if (i > first && (other->style & WS_GROUP))
            break;
        if (other != &window && other->className == window.className &&
            (other->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
            SetCheck(*other, BST_UNCHECKED);
    }
}

} // namespace

LRESULT CALLBACK ButtonProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = Find(handle);
    if (!window)
        return 0;
    DWORD type = window->style & BS_TYPEMASK;
    switch (message) {
    case BM_GETCHECK:
        return window->check;
    case BM_SETCHECK:
        if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
            type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE)
            SetCheck(*window, (type == BS_3STATE || type == BS_AUTO3STATE)
                                  ? static_cast<UINT>(wParam & 3)
                                  : static_cast<UINT>(wParam & 1));
        return 0;
    case BM_GETSTATE:
        return window->check;
    case BM_CLICK: {
        if (window->style & WS_DISABLED)
            return 0;
        if (type == BS_AUTOCHECKBOX)
            SetCheck(*window, window->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
        else if (type == BS_AUTO3STATE)
            SetCheck(*window, (window->check + 1) % 3);
        else if (type == BS_AUTORADIOBUTTON) {
            SetCheck(*window, BST_CHECKED);
            ClearRadioGroup(*window);
        }
        HWND parent = window->parent;
        int id = window->id;
        if (parent)
            SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(handle));
        return 0;
    }
    default:
        return DefWindowProcA(handle, message, wParam, lParam);
    }
}

} // namespace wm
} // namespace hostemu
