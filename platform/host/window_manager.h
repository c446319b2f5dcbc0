// The emulated window manager's model: window classes and windows of the one thread the
// program runs on. Only the host emulation includes this.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/host/win32_api.h"

namespace hostemu {
struct DialogTemplate;
namespace wm {

struct WindowClass {
    std::string name;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    UINT style = 0;
    int windowExtra = 0;
    ATOM atom = 0;
};

struct Window {
    HWND handle = nullptr;
    std::string className;
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect = {};        // screen coordinates for top-level windows, parent's client for children
    HWND parent = nullptr; // children only
    HWND owner = nullptr;  // top-level windows only
    int id = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    bool visible = false;
    bool needsPaint = false;
    bool destroying = false;
    LONG_PTR userData = 0;
    // Dialogs: the dialog procedure and the window bytes a dialog box carries.
    DLGPROC dialogProc = nullptr;
    LRESULT messageResult = 0;
    LONG_PTR dialogUser = 0;
    // Dialogs made from a template: the base units of its font, for MapDialogRect.
    int baseUnitX = 0;
    int baseUnitY = 0;
    // Buttons: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE. Edits: the text limit.
    UINT check = 0;
    UINT textLimit = 0;
    // Progress bars.
    int low = 0;
    int high = 100;
    int position = 0;
    int step = 10;
};

// The window of a handle, or null with ERROR_INVALID_WINDOW_HANDLE as the last error.
Window* Find(HWND handle);
// Children of `parent` (null: top-level windows) in creation order.
std::vector<HWND> ChildrenOf(HWND parent);
// The size of the frame around a window's client area, on each side and at the top.
void FrameSize(DWORD style, DWORD exStyle, LONG& side, LONG& top);
// What the user saw, for hostemu::UserLog.
void Log(const std::string& line);

// The classes the system provides: dialogs ("#32770"), statics, buttons, edits and the
// common controls' progress bar.
LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A dialog window made from a parsed template with its controls, before WM_INITDIALOG; the
// caller sends that. Null when a control cannot be made.
HWND CreateDialogWindow(const DialogTemplate& dialog, HINSTANCE instance, HWND owner,
                        DLGPROC dialogProc);

// The thread's modal loops (property sheets, message boxes, the folder picker) run here until
// `done` says so or `window` (if any) is gone: posted messages first, then painting of windows that
// need it, then timers, then the user of the emulated machine (hostemu::SetUser). False when the
// user had nothing to do: the loop gives up rather than wait for ever.
bool RunModalLoop(HWND window, const std::function<bool()>& done);
// Sends WM_PAINT to one visible window that needs painting; false when none does.
bool PaintOneWindow();
// Adds a line to the drawing log (hostemu::DrawingLog).
void LogInvalidation(const std::string& line);
// The top-level window that owns or contains `window`.
HWND RootWindow(HWND window);

} // namespace wm
} // namespace hostemu
