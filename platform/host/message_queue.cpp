// The thread's message queue: posted messages, timers, and the modal loops that drain them
// and hand the turn to the user of the emulated machine when nothing else is left.
#include <deque>
#include <map>

#include "platform/host/emulation.h"
#include "platform/host/window_manager.h"

namespace hostemu {
namespace {

struct Timer {
    HWND window = nullptr;
    UINT_PTR id = 0;
    TIMERPROC proc = nullptr;
};

struct Queue {
    std::deque<MSG> posted;
    std::vector<Timer> timers;
    UINT_PTR nextTimerId = 1;
    bool quit = false;
    int quitCode = 0;
    std::function<bool()> user;
};

Queue& TheQueue() {
    static Queue queue;
    return queue;
}

bool Matches(const MSG& message, HWND window, UINT first, UINT last) {
    if (window && message.hwnd != window)
        return false;
    if (first == 0 && last == 0)
        return true;
    return message.message >= first && message.message <= last;
}

// One WM_TIMER for every timer, as if each had elapsed once.
bool PostTimers() {
    Queue& queue = TheQueue();
    for (const Timer& timer : queue.timers) {
        MSG message = {timer.window, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.proc), 0,
                       {0, 0}};
        queue.posted.push_back(message);
    }
    return !queue.timers.empty();
}

} // namespace

namespace detail {
void ResetMessages() {
    TheQueue() = Queue();
}
} // namespace detail

void SetUser(std::function<bool()> user) {
    TheQueue().user = std::move(user);
}

namespace wm {

bool RunModalLoop(HWND window, const std::function<bool()>& done) {
    // A user who keeps acting without the loop ever ending would hang the test: bound it.
    const unsigned kMaxTurns = 100000;
    bool timersPosted = false;
    for (unsigned turn = 0; turn < kMaxTurns; ++turn) {
        if ((window && !IsWindow(window)) || done())
            return true;
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // The loop ends and leaves the quit for the loop outside it.
                PostQuitMessage(static_cast<int>(message.wParam));
                return true;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        if (PaintOneWindow())
            continue;
        // Timers elapse once between two turns of the user, so neither starves the other.
        if (!timersPosted && PostTimers()) {
            timersPosted = true;
            continue;
        }
        timersPosted = false;
        std::function<bool()> user = TheQueue().user;
        if (!user)
            return false;
        hostemu::detail::NotTheProgram userActs;
        if (!user())
            return false;
    }
    return false;
}

} // namespace wm
} // namespace hostemu

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window && !hostemu::wm::Find(window))
        return FALSE;
    hostemu::TheQueue().posted.push_back(MSG{window, message, wParam, lParam, 0, {0, 0}});
    return TRUE;
}

BOOL PeekMessageA(LPMSG message, HWND window, UINT first, UINT last, UINT remove) {
    hostemu::Queue& queue = hostemu::TheQueue();
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (!hostemu::Matches(*it, window, first, last))
            continue;
        *message = *it;
        if (remove & PM_REMOVE)
            queue.posted.erase(it);
        return TRUE;
    }
    if (queue.quit && (first == 0 || (WM_QUIT >= first && WM_QUIT <= last))) {
        *message = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, 0, {0, 0}};
        if (remove & PM_REMOVE)
            queue.quit = false;
        return TRUE;
    }
    return FALSE;
}

// Nothing here waits: an empty queue gets the user's turn, and a user with nothing to do
// ends the caller's loop as WM_QUIT would.
BOOL GetMessageA(LPMSG message, HWND window, UINT first, UINT last) {
    for (int turn = 0; turn < 2; ++turn) {
        if (PeekMessageA(message, window, first, last, PM_REMOVE))
            return message->message == WM_QUIT ? FALSE : TRUE;
        if (hostemu::wm::PaintOneWindow())
            continue;
        std::function<bool()> user = hostemu::TheQueue().user;
        if (!user || !user())
            break;
    }
    *message = MSG{nullptr, WM_QUIT, 0, 0, 0, {0, 0}};
    return FALSE;
}

BOOL TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* message) {
    if (message->message == WM_TIMER && message->lParam) {
        reinterpret_cast<TIMERPROC>(message->lParam)(message->hwnd, WM_TIMER, message->wParam, 0);
        return 0;
    }
    if (!message->hwnd)
        return 0;
    return SendMessageA(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL IsDialogMessageA(HWND dialog, LPMSG message) {
    if (!message || !hostemu::wm::Find(dialog))
        return FALSE;
    if (message->hwnd != dialog && hostemu::wm::RootWindow(message->hwnd) != dialog)
        return FALSE;
    DispatchMessageA(message);
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    hostemu::TheQueue().quit = true;
    hostemu::TheQueue().quitCode = exitCode;
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT, TIMERPROC timerProc) {
    if (window && !hostemu::wm::Find(window))
        return 0;
    hostemu::Queue& queue = hostemu::TheQueue();
    if (!window)
        id = queue.nextTimerId++;
    for (hostemu::Timer& timer : queue.timers) {
        if (timer.window == window && timer.id == id) {
            timer.proc = timerProc;
            return window ? 1 : id;
        }
    }
    queue.timers.push_back(hostemu::Timer{window, id, timerProc});
    return window ? 1 : id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    auto& timers = hostemu::TheQueue().timers;
    for (auto it = timers.begin(); it != timers.end(); ++it) {
        if (it->window == window && it->id == id) {
            timers.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}
