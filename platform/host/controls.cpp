// The common controls library. Its window classes exist once InitCommonControls has run: the
// platform's documentation asks for the call before any common control is created, as it is
// what registers their classes. Wine registers them as soon as comctl32 is loaded, so only
// the emulation shows a program that forgot the call.
#include "platform/host/window_manager.h"

void InitCommonControls() {
    hostemu::wm::AddLibraryClass(PROGRESS_CLASSA, hostemu::wm::ProgressProc);
}
