// The emulated window manager's model: window classes and windows of the one thread the
// program runs on. Only the host emulation includes this.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/host/win32_api.h"

namespace hostemu {
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

// A window class a system library registers when it is initialised, until the next reset.
void AddLibraryClass(const char* name, WNDPROC proc);

// The classes the system provides: dialogs ("#32770"), statics, buttons and edits, and once
// the common controls are initialised their progress bar.
LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace wm
} // namespace hostemu
