// first_window PROGRAM [ARGUMENT...]
// Starts a program and prints, in milliseconds, how long it took until the first dialog window
// of its process ("#32770", the class of a wizard page's sheet and of an NSIS installer's
// window alike) was on the screen; then ends the program. Exit code 1 when none came within a
// minute. For bench/peer.sh, which runs it under Wine against setup and the peer installer.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
    DWORD processId;
    bool found;
};

BOOL CALLBACK NoteWindow(HWND window, LPARAM parameter) {
    Search& search = *reinterpret_cast<Search*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[16] = "";
    if (processId == search.processId && IsWindowVisible(window) &&
        GetClassNameA(window, className, sizeof className) > 0 &&
        lstrcmpA(className, "#32770") == 0) {
        search.found = true;
        return FALSE;
    }
    return TRUE;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: first_window PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    std::string commandLine = std::string("\"") + argv[1] + "\"";
    for (int i = 2; i < argc; ++i)
        commandLine += std::string(" ") + argv[i];
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(argv[1], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "first_window: cannot start %s\n", argv[1]);
        return 2;
    }
    Search search = {process.dwProcessId, false};
    double elapsed = 0;
    while (!search.found && elapsed < 60000 && WaitForSingleObject(process.hProcess, 1) != 0) {
        EnumWindows(NoteWindow, reinterpret_cast<LPARAM>(&search));
        QueryPerformanceCounter(&now);
        elapsed = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                  static_cast<double>(frequency.QuadPart);
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!search.found)
        return 1;
    std::printf("%.0f\n", elapsed);
    return 0;
}
