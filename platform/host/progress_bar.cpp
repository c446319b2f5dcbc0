// The common controls' progress bar: a range, a position and a step. Position changes of a
// visible bar go to the user log.
#include "platform/host/window_manager.h"

namespace hostemu {
namespace wm {

namespace {

void MoveTo(Window& window, int position) {
    if (position < window.low)
        position = window.low;
    if (position > window.high)
        position = window.high;
    if (position == window.position)
        return;
    window.position = position;
    if (IsWindowVisible(window.handle))
        Log("progress control " + std::to_string(window.id) + ": " + std::to_string(position) +
            " of " + std::to_string(window.low) + ".." + std::to_string(window.high));
}

} // namespace

LRESULT CALLBACK ProgressProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = Find(handle);
    if (!window)
        return 0;
    switch (message) {
    case PBM_SETRANGE:
    case PBM_SETRANGE32: {
        LRESULT old = MAKELONG(window->low, window->high);
        if (message == PBM_SETRANGE) {
            window->low = LOWORD(lParam);
            window->high = HIWORD(lParam);
        } else {
            window->low = static_cast<int>(wParam);
            window->high = static_cast<int>(lParam);
        }
        MoveTo(*window, window->position);
        return old;
    }
    case PBM_SETPOS: {
        int old = window->position;
        MoveTo(*window, static_cast<int>(wParam));
        return old;
    }
    case PBM_DELTAPOS: {
        int old = window->position;
        MoveTo(*window, old + static_cast<int>(wParam));
        return old;
    }
    case PBM_SETSTEP: {
        int old = window->step;
        window->step = static_cast<int>(wParam);
        return old;
    }
    case PBM_STEPIT: {
        int old = window->position;
        int next = old + window->step;
        // Past the end the bar starts over from the beginning.
        if (next > window->high && window->high > window->low)
            next = window->low + (next - window->low) % (window->high - window->low);
        MoveTo(*window, next);
        return old;
    }
    case PBM_GETRANGE: {
        if (lParam) {
            PBRANGE* range = reinterpret_cast<PBRANGE*>(lParam);
            range->iLow = window->low;
            range->iHigh = window->high;
        }
        return wParam ? window->low : window->high;
    }
    case PBM_GETPOS:
        return window->position;
    default:
        return DefWindowProcA(handle, message, wParam, lParam);
    }
}

} // namespace wm
} // namespace hostemu
