// State of windows beyond their text and place: enabled or not, focus, relations, class
// names, painting order, and the dialog item helpers built on them.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/host/emulation.h"
#include "platform/host/window_manager.h"

namespace hostemu {
namespace wm {

namespace {
HWND& Focus() {
    static HWND focus = nullptr;
    return focus;
}

bool PaintTree(HWND parent) {
    for (HWND handle : ChildrenOf(parent)) {
        Window* window = Find(handle);
        if (!window || !window->visible)
            continue;
        if (window->needsPaint) {
            window->needsPaint = false;
            SendMessageA(handle, WM_PAINT, 0, 0);
            return true;
        }
        if (PaintTree(handle))
            return true;
    }
    return false;
}
} // namespace

bool PaintOneWindow() {
    return PaintTree(nullptr);
}

HWND RootWindow(HWND handle) {
    Window* window = Find(handle);
    while (window && window->parent)
        window = Find(window->parent);
    return window ? window->handle : nullptr;
}

} // namespace wm
} // namespace hostemu

using hostemu::wm::Find;
using hostemu::wm::Window;

BOOL EnableWindow(HWND handle, BOOL enable) {
    Window* window = Find(handle);
    if (!window)
        return FALSE;
    BOOL wasDisabled = (window->style & WS_DISABLED) ? TRUE : FALSE;
    if (enable == !wasDisabled)
        return wasDisabled;
    if (enable)
        window->style &= ~WS_DISABLED;
    else
        window->style |= WS_DISABLED;
    SendMessageA(handle, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND handle) {
    Window* window = Find(handle);
    return window && !(window->style & WS_DISABLED) ? TRUE : FALSE;
}

HWND SetFocus(HWND handle) {
    HWND previous = hostemu::wm::Focus();
    if (handle && !Find(handle))
        return nullptr;
    hostemu::wm::Focus() = handle;
    return previous;
}

HWND GetFocus() {
    HWND focus = hostemu::wm::Focus();
    return focus && IsWindow(focus) ? focus : nullptr;
}

HWND GetWindow(HWND handle, UINT relation) {
    Window* window = Find(handle);
    if (!window)
        return nullptr;
    switch (relation) {
    case GW_OWNER:
        return window->owner;
    case GW_CHILD: {
        std::vector<HWND> children = hostemu::wm::ChildrenOf(handle);
        return children.empty() ? nullptr : children.front();
    }
    case GW_HWNDFIRST:
    case GW_HWNDLAST:
    case GW_HWNDNEXT:
    case GW_HWNDPREV: {
        std::vector<HWND> siblings = hostemu::wm::ChildrenOf(window->parent);
        size_t at = 0;
        while (at < siblings.size() && siblings[at] != handle)
            ++at;
        if (relation == GW_HWNDFIRST)
            return siblings.front();
        if (relation == GW_HWNDLAST)
            return siblings.back();
        if (relation == GW_HWNDNEXT)
            return at + 1 < siblings.size() ? siblings[at + 1] : nullptr;
        return at > 0 ? siblings[at - 1] : nullptr;
    }
    case GW_ENABLEDPOPUP:
        for (HWND other : hostemu::wm::ChildrenOf(nullptr)) {
            Window* popup = Find(other);
            if (popup->owner == handle && popup->visible && !(popup->style & WS_DISABLED))
                return other;
        }
        return nullptr;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

int GetClassNameA(HWND handle, LPSTR name, int size) {
    Window* window = Find(handle);
    if (!window || !name || size <= 0)
        return 0;
    size_t length = std::min<size_t>(window->className.size(), static_cast<size_t>(size) - 1);
    std::memcpy(name, window->className.data(), length);
    name[length] = '\0';
    return static_cast<int>(length);
}

LONG GetWindowLongA(HWND window, int index) {
    return static_cast<LONG>(GetWindowLongPtrA(window, index));
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
    return static_cast<LONG>(SetWindowLongPtrA(window, index, value));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    char text[16];
    if (isSigned)
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    else
        std::snprintf(text, sizeof text, "%u", value);
    return SetDlgItemTextA(dialog, id, text);
}

// Leading blanks and digits only, as the dialog manager reads a number; anything after the
// digits, or a value out of range, is not a number.
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
    if (translated)
        *translated = FALSE;
    char text[64];
    if (!GetDlgItem(dialog, id))
        return 0;
    GetDlgItemTextA(dialog, id, text, sizeof text);
    const char* p = text;
    while (*p == ' ')
        ++p;
    bool negative = false;
    if (isSigned && *p == '-') {
        negative = true;
        ++p;
    }
    if (*p < '0' || *p > '9')
        return 0;
    unsigned long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + static_cast<unsigned>(*p - '0');
        if (value > 0xFFFFFFFFull)
            return 0;
    }
    while (*p == ' ')
        ++p;
    if (*p != '\0')
        return 0;
    if (isSigned && value > (negative ? 0x80000000ull : 0x7FFFFFFFull))
        return 0;
    if (translated)
        *translated = TRUE;
    return negative ? static_cast<UINT>(-static_cast<long long>(value)) : static_cast<UINT>(value);
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return FALSE;
    SendMessageA(control, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control ? static_cast<UINT>(SendMessageA(control, BM_GETCHECK, 0, 0)) : 0;
}

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
    Window* window = Find(dialog);
    if (!window || !rect || window->baseUnitX == 0) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    rect->left = rect->left * window->baseUnitX / 4;
    rect->right = rect->right * window->baseUnitX / 4;
    rect->top = rect->top * window->baseUnitY / 8;
    rect->bottom = rect->bottom * window->baseUnitY / 8;
    return TRUE;
}
