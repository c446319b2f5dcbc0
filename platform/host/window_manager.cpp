// Window classes and windows: creation with its messages, destruction of owned windows and
// children first, synchronous messages, positions and texts.
#include "platform/host/window_manager.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/host/emulation.h"
#include "platform/host/file_system.h"

namespace hostemu {
namespace wm {

namespace {

// The desktop of the emulated screen.
const LONG kScreenWidth = 1024;
const LONG kScreenHeight = 768;
const uintptr_t kDesktopHandle = 0x10010;
const LONG kCaptionHeight = 18;

struct WindowManager {
    std::map<std::string, WindowClass> classes; // by upper-cased name
    std::map<uintptr_t, std::unique_ptr<Window>> windows;
    std::vector<HWND> order; // creation order, for searches
    uintptr_t nextHandle = 0x10020;
    ATOM nextAtom = 0xC000;
    std::string log;
};

WindowManager& Manager() {
    static WindowManager manager;
    return manager;
}

LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

const WindowClass* FindClass(const std::string& name) {
    static const std::map<std::string, WindowClass> system = [] {
        std::map<std::string, WindowClass> classes;
        auto add = [&](const char* name, WNDPROC proc) {
            WindowClass c;
            c.name = name;
            c.proc = proc;
            classes[fs::Upper(name)] = c;
        };
        add("#32770", DialogProc);
        add("Static", StaticProc);
        add("Button", ButtonProc);
        add("Edit", EditProc);
        return classes;
    }();
    std::string upper = fs::Upper(name);
    auto it = Manager().classes.find(upper);
    if (it != Manager().classes.end())
        return &it->second;
    auto builtIn = system.find(upper);
    return builtIn == system.end() ? nullptr : &builtIn->second;
}

RECT ScreenRect(const Window& window) {
    RECT rect = window.rect;
    for (HWND parent = window.parent; parent;) {
        Window* p = Find(parent);
        if (!p)
            break;
        LONG side = 0, top = 0;
        FrameSize(p->style, p->exStyle, side, top);
        rect.left += p->rect.left + side;
        rect.right += p->rect.left + side;
        rect.top += p->rect.top + top;
        rect.bottom += p->rect.top + top;
        parent = p->parent;
    }
    return rect;
}

std::string Describe(const Window& window) {
    if (window.id != 0 && window.parent)
        return "control " + std::to_string(window.id);
    return "\"" + window.text + "\"";
}

} // namespace

Window* Find(HWND handle) {
    auto it = Manager().windows.find(reinterpret_cast<uintptr_t>(handle));
    if (it == Manager().windows.end()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return it->second.get();
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    for (HWND handle : Manager().order) {
        auto it = Manager().windows.find(reinterpret_cast<uintptr_t>(handle));
        if (it != Manager().windows.end() && it->second->parent == parent)
            children.push_back(handle);
    }
    return children;
}

void FrameSize(DWORD style, DWORD exStyle, LONG& side, LONG& top) {
    side = 0;
    if ((style & WS_CAPTION) == WS_CAPTION || (style & WS_THICKFRAME) ||
        (exStyle & WS_EX_DLGMODALFRAME) || (style & WS_DLGFRAME))
        side = 3;
    else if (style & WS_BORDER)
        side = 1;
    if (exStyle & WS_EX_CLIENTEDGE)
        side += 2;
    top = side + ((style & WS_CAPTION) == WS_CAPTION ? kCaptionHeight + 1 : 0);
}

void Log(const std::string& line) {
    Manager().log += line + "\n";
}

void AddLibraryClass(const char* name, WNDPROC proc) {
    WindowClass& c = Manager().classes[fs::Upper(name)];
    c.name = name;
    c.proc = proc;
}

} // namespace wm

namespace detail {
void ResetWindows() {
    wm::WindowManager& manager = wm::Manager();
    manager = wm::WindowManager();
}
} // namespace detail

std::string UserLog() {
    return wm::Manager().log;
}

void ClearUserLog() {
    wm::Manager().log.clear();
}

} // namespace hostemu

using hostemu::wm::Find;
using hostemu::wm::Window;

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
    if (DWORD error = hostemu::detail::CheckFault("RegisterClassA")) {
        SetLastError(error);
        return 0;
    }
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto& classes = hostemu::wm::Manager().classes;
    std::string key = hostemu::fs::Upper(windowClass->lpszClassName);
    if (classes.count(key)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    hostemu::wm::WindowClass& c = classes[key];
    c.name = windowClass->lpszClassName;
    c.proc = windowClass->lpfnWndProc;
    c.instance = windowClass->hInstance;
    c.style = windowClass->style;
    c.windowExtra = windowClass->cbWndExtra;
    c.atom = hostemu::wm::Manager().nextAtom++;
    return c.atom;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
    if (!className || hostemu::wm::Manager().classes.erase(hostemu::fs::Upper(className)) == 0) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return FALSE;
    }
    return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    if (DWORD error = hostemu::detail::CheckFault("CreateWindowExA", className ? className : "")) {
        SetLastError(error);
        return nullptr;
    }
    const hostemu::wm::WindowClass* windowClass =
        className ? hostemu::wm::FindClass(className) : nullptr;
    if (!windowClass) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    bool child = (style & WS_CHILD) != 0;
    if (child && !parent) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    if (parent && !Find(parent) && parent != GetDesktopWindow())
        return nullptr;
    if (parent == GetDesktopWindow())
        parent = nullptr;

    auto window = std::make_unique<Window>();
    auto& manager = hostemu::wm::Manager();
    HWND handle = reinterpret_cast<HWND>(manager.nextHandle);
    manager.nextHandle += 4;
    window->handle = handle;
    window->className = windowClass->name;
    window->text = windowName ? windowName : "";
    window->style = style & ~WS_VISIBLE;
    window->exStyle = exStyle;
    window->proc = windowClass->proc;
    window->instance = instance;
    if (child) {
        window->parent = parent;
        window->id = static_cast<int>(reinterpret_cast<intptr_t>(menu));
    } else {
        window->owner = parent;
    }
    // Popups and children take 0 for a default position or size; overlapped windows cascade.
    bool overlapped = !child && !(style & WS_POPUP);
    if (x == CW_USEDEFAULT) {
        x = overlapped ? 26 : 0;
        y = overlapped ? 26 : y;
    }
    if (width == CW_USEDEFAULT) {
        width = overlapped ? hostemu::wm::kScreenWidth * 3 / 4 : 0;
        height = overlapped ? hostemu::wm::kScreenHeight * 3 / 4 : height;
    }
    window->rect = RECT{x, y, x + width, y + height};
    manager.windows[reinterpret_cast<uintptr_t>(handle)] = std::move(window);
    manager.order.push_back(handle);

    CREATESTRUCTA create = {
        param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
        windowName, className, exStyle};
    LPARAM createParam = reinterpret_cast<LPARAM>(&create);
    if (!SendMessageA(handle, WM_NCCREATE, 0, createParam) ||
        SendMessageA(handle, WM_CREATE, 0, createParam) == -1) {
        DestroyWindow(handle);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (style & WS_VISIBLE)
        ShowWindow(handle, SW_SHOW);
    return handle;
}

BOOL DestroyWindow(HWND handle) {
    // A faulted call destroys nothing, as when another thread's window is named.
    if (DWORD error = hostemu::detail::CheckFault("DestroyWindow")) {
        SetLastError(error);
        return FALSE;
    }
    Window* window = Find(handle);
    if (!window)
        return FALSE;
    if (window->destroying)
        return TRUE;
    window->destroying = true;
    auto& manager = hostemu::wm::Manager();
    // Owned windows go first, then the window itself is told, then its children.
    for (HWND other : std::vector<HWND>(manager.order)) {
        Window* owned = hostemu::wm::Find(other);
        if (owned && owned->owner == handle)
            DestroyWindow(other);
    }
    if (window->visible && !window->parent)
        hostemu::wm::Log("close " + hostemu::wm::Describe(*window));
    window->visible = false;
    SendMessageA(handle, WM_DESTROY, 0, 0);
    for (HWND child : hostemu::wm::ChildrenOf(handle))
        DestroyWindow(child);
    SendMessageA(handle, WM_NCDESTROY, 0, 0);
    manager.windows.erase(reinterpret_cast<uintptr_t>(handle));
    for (auto it = manager.order.begin(); it != manager.order.end(); ++it) {
        if (*it == handle) {
            manager.order.erase(it);
            break;
        }
    }
    return TRUE;
}

LRESULT DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = Find(handle);
    if (!window)
        return 0;
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_SETTEXT: {
        window->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        if (window->visible)
            hostemu::wm::Log("text " + hostemu::wm::Describe(*window) + ": " + window->text);
        return TRUE;
    }
    case WM_GETTEXT: {
        if (wParam == 0 || lParam == 0)
            return 0;
        size_t length = std::min<size_t>(window->text.size(), wParam - 1);
        char* buffer = reinterpret_cast<char*>(lParam);
        std::memcpy(buffer, window->text.data(), length);
        buffer[length] = '\0';
        return static_cast<LRESULT>(length);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(window->text.size());
    case WM_PAINT:
        window->needsPaint = false;
        return 0;
    case WM_CLOSE:
        DestroyWindow(handle);
        return 0;
    default:
        return 0;
    }
}

BOOL IsWindow(HWND handle) {
    return hostemu::wm::Manager().windows.count(reinterpret_cast<uintptr_t>(handle)) != 0;
}

BOOL IsWindowVisible(HWND handle) {
    Window* window = Find(handle);
    for (; window; window = window->parent ? Find(window->parent) : nullptr) {
        if (!window->visible)
            return FALSE;
        if (!window->parent)
            return TRUE;
    }
    return FALSE;
}

HWND GetParent(HWND handle) {
    Window* window = Find(handle);
    if (!window)
        return nullptr;
    return window->parent ? window->parent : window->owner;
}

HWND FindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName) {
    hostemu::detail::CountCall("FindWindowExA");
    if (parent == GetDesktopWindow())
        parent = nullptr;
    std::vector<HWND> candidates = hostemu::wm::ChildrenOf(parent);
    bool started = childAfter == nullptr;
    for (HWND handle : candidates) {
        if (!started) {
            started = handle == childAfter;
            continue;
        }
        Window* window = Find(handle);
        if (className && !hostemu::detail::EqualNames(window->className, className))
            continue;
        if (windowName && window->text != windowName)
            continue;
        return handle;
    }
    SetLastError(ERROR_SUCCESS);
    return nullptr;
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName) {
    return FindWindowExA(nullptr, nullptr, className, windowName);
}

LRESULT SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = Find(handle);
    if (!window)
        return 0;
    return window->proc(handle, message, wParam, lParam);
}

BOOL ShowWindow(HWND handle, int command) {
    Window* window = Find(handle);
    if (!window)
        return FALSE;
    BOOL wasVisible = window->visible ? TRUE : FALSE;
    if (command == SW_HIDE) {
        window->visible = false;
        window->style &= ~WS_VISIBLE;
        return wasVisible;
    }
    if (command == SW_SHOWMAXIMIZED && !window->parent) {
        window->style |= WS_MAXIMIZE;
        window->rect = RECT{0, 0, hostemu::wm::kScreenWidth, hostemu::wm::kScreenHeight};
    }
    if (!window->visible) {
        window->visible = true;
        window->needsPaint = true;
        window->style |= WS_VISIBLE;
        if (!window->parent)
            hostemu::wm::Log("show " + hostemu::wm::Describe(*window));
        SendMessageA(handle, WM_SHOWWINDOW, TRUE, 0);
    }
    return wasVisible;
}

BOOL UpdateWindow(HWND handle) {
    Window* window = Find(handle);
    if (!window)
        return FALSE;
    if (window->visible && window->needsPaint) {
        window->needsPaint = false;
        SendMessageA(handle, WM_PAINT, 0, 0);
    }
    return TRUE;
}

BOOL SetWindowPos(HWND handle, HWND, int x, int y, int cx, int cy, UINT flags) {
    Window* window = Find(handle);
    if (!window)
        return FALSE;
    RECT& rect = window->rect;
    LONG width = rect.right - rect.left;
    LONG height = rect.bottom - rect.top;
    if (!(flags & SWP_NOMOVE)) {
        rect.left = x;
        rect.top = y;
    }
    if (!(flags & SWP_NOSIZE)) {
        width = cx;
        height = cy;
    }
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(handle, SW_SHOWNOACTIVATE);
    if (flags & SWP_HIDEWINDOW)
        ShowWindow(handle, SW_HIDE);
    return TRUE;
}

BOOL GetWindowRect(HWND handle, LPRECT rect) {
    if (handle == GetDesktopWindow()) {
        *rect = RECT{0, 0, hostemu::wm::kScreenWidth, hostemu::wm::kScreenHeight};
        return TRUE;
    }
    Window* window = Find(handle);
    if (!window)
        return FALSE;
    *rect = hostemu::wm::ScreenRect(*window);
    return TRUE;
}

BOOL GetClientRect(HWND handle, LPRECT rect) {
    if (handle == GetDesktopWindow())
        return GetWindowRect(handle, rect);
    Window* window = Find(handle);
    if (!window)
        return FALSE;
    LONG side = 0, top = 0;
    hostemu::wm::FrameSize(window->style, window->exStyle, side, top);
    LONG width = window->rect.right - window->rect.left - 2 * side;
    LONG height = window->rect.bottom - window->rect.top - top - side;
    *rect = RECT{0, 0, width > 0 ? width : 0, height > 0 ? height : 0};
    return TRUE;
}

HWND GetDesktopWindow() {
    return reinterpret_cast<HWND>(hostemu::wm::kDesktopHandle);
}

LONG_PTR GetWindowLongPtrA(HWND handle, int index) {
    Window* window = Find(handle);
    if (!window)
        return 0;
    bool dialog = window->proc == hostemu::wm::DialogProc;
    switch (index) {
    case GWL_STYLE:
        return static_cast<LONG_PTR>(static_cast<LONG>(window->style));
    case GWL_EXSTYLE:
        return window->exStyle;
    case GWLP_ID:
        return window->id;
    case GWLP_USERDATA:
        return window->userData;
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(window->proc);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(window->instance);
    }
    if (dialog && index == DWLP_MSGRESULT)
        return window->messageResult;
    if (dialog && index == DWLP_DLGPROC)
        return reinterpret_cast<LONG_PTR>(window->dialogProc);
    if (dialog && index == DWLP_USER)
        return window->dialogUser;
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
}

LONG_PTR SetWindowLongPtrA(HWND handle, int index, LONG_PTR value) {
    Window* window = Find(handle);
    if (!window)
        return 0;
    LONG_PTR old = GetWindowLongPtrA(handle, index);
    bool dialog = window->proc == hostemu::wm::DialogProc;
    switch (index) {
    case GWL_STYLE:
        window->style = static_cast<DWORD>(value);
        return old;
    case GWL_EXSTYLE:
        window->exStyle = static_cast<DWORD>(value);
        return old;
    case GWLP_ID:
        window->id = static_cast<int>(value);
        return old;
    case GWLP_USERDATA:
        window->userData = value;
        return old;
    case GWLP_WNDPROC:
        window->proc = reinterpret_cast<WNDPROC>(value);
        return old;
    }
    if (dialog && index == DWLP_MSGRESULT) {
        window->messageResult = value;
        return old;
    }
    if (dialog && index == DWLP_DLGPROC) {
        window->dialogProc = reinterpret_cast<DLGPROC>(value);
        return old;
    }
    if (dialog && index == DWLP_USER) {
        window->dialogUser = value;
        return old;
    }
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
}

BOOL SetWindowTextA(HWND handle, LPCSTR text) {
    if (!Find(handle))
        return FALSE;
    return SendMessageA(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextA(HWND handle, LPSTR text, int size) {
    if (text && size > 0)
        text[0] = '\0';
    if (!Find(handle) || size <= 0)
        return 0;
    return static_cast<int>(SendMessageA(handle, WM_GETTEXT, static_cast<WPARAM>(size),
                                         reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthA(HWND handle) {
    if (!Find(handle))
        return 0;
    return static_cast<int>(SendMessageA(handle, WM_GETTEXTLENGTH, 0, 0));
}
