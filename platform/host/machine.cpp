// The emulated machine's identity: its directories and the thread's last-error code.
#include <cstring>
#include <string>

#include "platform/host/emulation.h"
#include "platform/host/file_system.h"
#include "platform/host/win32_api.h"

namespace {

struct Machine {
    std::string windowsDirectory = "C:\\WINDOWS";
    std::string systemDirectory = "C:\\WINDOWS\\SYSTEM32";
    DWORD lastError = 0;
    DWORD ticks = 0x51A2;
    UINT errorMode = 0;
};

Machine& TheMachine() {
    static Machine machine;
    return machine;
}

// The directory calls answer the length copied without the zero, or, when the buffer is too
// small, the size needed with the zero and leave the buffer alone.
UINT CopyDirectory(const std::string& directory, LPSTR buffer, UINT size) {
    UINT needed = static_cast<UINT>(directory.size()) + 1;
    if (buffer == nullptr || size < needed)
        return needed;
    std::memcpy(buffer, directory.c_str(), needed);
    return needed - 1;
}

} // namespace

namespace hostemu {

void Reset() {
    TheMachine() = Machine();
    detail::ResetFaults();
    detail::ResetRegistry();
    detail::ResetVersion();
    SetAnsiCodePage(1252);
    detail::ResetFiles(TheMachine().windowsDirectory.c_str(), TheMachine().systemDirectory.c_str());
    detail::ResetSearches();
    detail::ResetWindows();
    detail::ResetLz();
    detail::ResetLibraries();
    detail::ResetRestartManager();
    detail::ResetCom();
    detail::ResetProfiles();
    detail::ResetShell();
    detail::ResetMessages();
    detail::ResetGdi();
    detail::ResetKernelObjects();
}

void EndProcess() {
    detail::CloseAllFiles();
    detail::CloseAllKernelObjects();
    detail::ResetSearches();
    detail::ResetWindows();
    detail::ResetLz();
    detail::ResetCom();
    detail::ResetMessages();
    detail::ResetGdi();
}

void TrackDurability() {
    fs::TrackDurableFiles();
    detail::TrackDurableRegistry();
}

void CutPower(PowerCutLoss lose) {
    EndProcess();
    // The 95 family's profile cache is the system's memory, which goes with the power.
    detail::ResetProfiles();
    fs::CutFilesPower(lose.names, lose.fileBytes);
    detail::CutRegistryPower(lose.registry);
}

// The folders exist on the machine as they do on any installed Windows.
void SetWindowsDirectory(const char* path) {
    TheMachine().windowsDirectory = path;
    detail::EnsureFolder(path);
}

void SetSystemDirectory(const char* path) {
    TheMachine().systemDirectory = path;
    detail::EnsureFolder(path);
}

} // namespace hostemu

DWORD GetLastError() {
    return TheMachine().lastError;
}
void SetLastError(DWORD error) {
    TheMachine().lastError = error;
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
    if (DWORD error = hostemu::detail::CheckFault("GetSystemDirectoryA")) {
        SetLastError(error);
        return 0;
    }
    return CopyDirectory(TheMachine().systemDirectory, buffer, size);
}

// Milliseconds since the machine started: a fixed start, one more at each call.
DWORD GetTickCount() {
    return ++TheMachine().ticks;
}

void Sleep(DWORD milliseconds) {
    hostemu::detail::CountCall("Sleep");
    TheMachine().ticks += milliseconds;
}

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    if (DWORD error = hostemu::detail::CheckFault("GetWindowsDirectoryA")) {
        SetLastError(error);
        return 0;
    }
    return CopyDirectory(TheMachine().windowsDirectory, buffer, size);
}

UINT SetErrorMode(UINT mode) {
    UINT previous = TheMachine().errorMode;
    TheMachine().errorMode = mode;
    return previous;
}

UINT GetErrorMode() {
    return TheMachine().errorMode;
}
