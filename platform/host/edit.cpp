// The edit class: its text with a limit, and EN_CHANGE to the parent when its text is set.
#include "platform/host/window_manager.h"

namespace hostemu {
namespace wm {

LRESULT CALLBACK EditProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = Find(handle);
    if (!window)
        return 0;
    switch (message) {
    case EM_LIMITTEXT:
        window->textLimit = static_cast<UINT>(wParam);
        return 0;
    case EM_SETREADONLY:
        if (wParam)
            window->style |= ES_READONLY;
        else
            window->style &= ~ES_READONLY;
        return TRUE;
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcA(handle, message, wParam, lParam);
        window = Find(handle);
        // A multi-line edit does not report text set by its program; a single-line one does,
        // even when the text stays the same.
        if (window && !(window->style & ES_MULTILINE) && window->parent)
            SendMessageA(window->parent, WM_COMMAND, MAKEWPARAM(window->id, EN_CHANGE),
                         reinterpret_cast<LPARAM>(handle));
        return result;
    }
    default:
        return DefWindowProcA(handle, message, wParam, lParam);
    }
}

} // namespace wm
} // namespace hostemu
