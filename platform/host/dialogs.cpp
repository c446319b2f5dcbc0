// Dialog boxes built from the RT_DIALOG templates of the image: the dialog window, its
// controls placed in dialog units, and the dialog class's default handling.
#include <cstring>
#include <map>

#include "platform/host/dialog_template.h"
#include "platform/host/emulation.h"
#include "platform/host/window_manager.h"

namespace hostemu {
namespace wm {

namespace {

// Dialog base units of the template's font: MS Sans Serif 8 gives 6 by 13 pixels on a 96-dpi
// display; without a font the system font's 8 by 16. Both grow with the display's density.
void BaseUnits(const DialogTemplate& dialog, int& x, int& y) {
    const bool ownFont = (dialog.style & DS_SETFONT) != 0;
    const int dpi = DisplayDpi();
    x = (ownFont ? 6 : 8) * dpi / 96;
    y = ((ownFont ? 13 : 16) * dpi + 48) / 96;
}

LONG ToPixels(short units, int base, int divisor) {
    return static_cast<LONG>(static_cast<int>(units) * base / divisor);
}

} // namespace

LRESULT CALLBACK DialogProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = Find(handle);
    if (!window)
        return 0;
    if (window->dialogProc) {
        INT_PTR handled = window->dialogProc(handle, message, wParam, lParam);
        if (message == WM_INITDIALOG)
            return handled;
        if (handled)
            return Find(handle) ? Find(handle)->messageResult : 0;
    }
    return DefWindowProcA(handle, message, wParam, lParam);
}

HWND CreateDialogWindow(const DialogTemplate& dialog, HINSTANCE instance, HWND owner,
                        DLGPROC dialogProc) {
    int baseX = 0, baseY = 0;
    BaseUnits(dialog, baseX, baseY);
    DWORD style = dialog.style & ~(DS_SETFONT | DS_MODALFRAME | DS_3DLOOK | DS_FIXEDSYS |
                                   DS_CENTER | DS_ABSALIGN | DS_SYSMODAL | DS_CONTROL);
    DWORD exStyle = dialog.exStyle | ((dialog.style & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0);
    // The template gives the client area; the window adds its frame. A popup's position is
    // taken from its owner's client area.
    LONG side = 0, top = 0;
    FrameSize(style, exStyle, side, top);
    LONG width = ToPixels(dialog.cx, baseX, 4) + 2 * side;
    LONG height = ToPixels(dialog.cy, baseY, 8) + top + side;
    LONG x = ToPixels(dialog.x, baseX, 4);
    LONG y = ToPixels(dialog.y, baseY, 8);
    bool child = (style & WS_CHILD) != 0;
    if (owner && !(dialog.style & DS_ABSALIGN)) {
        RECT ownerRect, ownerClient;
        if (GetWindowRect(owner, &ownerRect) && GetClientRect(owner, &ownerClient) && !child) {
            LONG ownerSide = 0, ownerTop = 0;
            Window* ownerWindow = Find(owner);
            if (ownerWindow)
                FrameSize(ownerWindow->style, ownerWindow->exStyle, ownerSide, ownerTop);
            x += ownerRect.left + ownerSide;
            y += ownerRect.top + ownerTop;
        }
    }
    const char* className = dialog.className.empty() ? "#32770" : dialog.className.c_str();
    HWND handle = CreateWindowExA(exStyle, className, dialog.caption.c_str(), style & ~WS_VISIBLE,
                                  x, y, width, height, owner, nullptr, instance, nullptr);
    if (!handle)
        return nullptr;
    Window* window = Find(handle);
    window->proc = DialogProc;
    window->dialogProc = dialogProc;
    window->baseUnitX = baseX;
    window->baseUnitY = baseY;
    for (const DialogItemTemplate& item : dialog.items) {
        HWND control = CreateWindowExA(
            item.exStyle, item.className.c_str(), item.text.c_str(), item.style | WS_CHILD,
            ToPixels(item.x, baseX, 4), ToPixels(item.y, baseY, 8), ToPixels(item.cx, baseX, 4),
            ToPixels(item.cy, baseY, 8), handle,
            reinterpret_cast<HMENU>(static_cast<intptr_t>(item.id)), instance, nullptr);
        if (!control) {
            DestroyWindow(handle);
            return nullptr;
        }
        Window* made = Find(control);
        made->visible = (item.style & WS_VISIBLE) != 0;
    }
    return handle;
}

} // namespace wm
} // namespace hostemu

using hostemu::wm::Find;
using hostemu::wm::Window;

HWND CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                        LPARAM initParam) {
    if (DWORD error = hostemu::detail::CheckFault("CreateDialogParamA")) {
        SetLastError(error);
        return nullptr;
    }
    HRSRC resource = FindResourceA(instance, templateName, RT_DIALOG);
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    if (!loaded)
        return nullptr;
    hostemu::DialogTemplate dialog;
    if (!hostemu::ParseDialogTemplate(static_cast<const BYTE*>(LockResource(loaded)),
                                      SizeofResource(instance, resource), dialog)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    HWND handle = hostemu::wm::CreateDialogWindow(dialog, instance, owner, dialogProc);
    if (!handle)
        return nullptr;
    SendMessageA(handle, WM_INITDIALOG, 0, initParam);
    if (IsWindow(handle) && (dialog.style & WS_VISIBLE))
        ShowWindow(handle, SW_SHOWNORMAL);
    return IsWindow(handle) ? handle : nullptr;
}

namespace {
// The modal dialogs that run, with EndDialog's result once it came.
struct ModalEnd {
    bool ended = false;
    INT_PTR result = 0;
};
std::map<HWND, ModalEnd>& ModalDialogs() {
    static std::map<HWND, ModalEnd> dialogs;
    return dialogs;
}
} // namespace

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                        LPARAM initParam) {
    if (DWORD error = hostemu::detail::CheckFault("DialogBoxParamA")) {
        SetLastError(error);
        return -1;
    }
    HWND root = owner && IsWindow(owner) ? hostemu::wm::RootWindow(owner) : nullptr;
    HWND dialog = nullptr;
    {
        // One call on Windows: the template's window is not a call of its own.
        hostemu::detail::NotTheProgram inside;
        dialog = CreateDialogParamA(instance, templateName, root, dialogProc, initParam);
    }
    if (!dialog)
        return -1;
    ModalDialogs()[dialog];
    const bool ownerWasEnabled = root && IsWindowEnabled(root);
    if (ownerWasEnabled)
        EnableWindow(root, FALSE);
    ShowWindow(dialog, SW_SHOWNORMAL);
    hostemu::wm::RunModalLoop(dialog, [&] { return ModalDialogs()[dialog].ended; });
    const ModalEnd end = ModalDialogs()[dialog];
    ModalDialogs().erase(dialog);
    if (ownerWasEnabled)
        EnableWindow(root, TRUE);
    DestroyWindow(dialog);
    return end.ended ? end.result : -1;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    auto it = ModalDialogs().find(dialog);
    if (it == ModalDialogs().end())
        return FALSE;
    it->second.ended = true;
    it->second.result = result;
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
    if (!Find(dialog))
        return nullptr;
    for (HWND child : hostemu::wm::ChildrenOf(dialog)) {
        if (Find(child)->id == id)
            return child;
    }
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

int GetDlgCtrlID(HWND handle) {
    Window* window = Find(handle);
    return window ? window->id : 0;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SetWindowTextA(control, text) : FALSE;
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) {
        if (text && size > 0)
            text[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(control, text, size));
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SendMessageA(control, message, wParam, lParam) : 0;
}
