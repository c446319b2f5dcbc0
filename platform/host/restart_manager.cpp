// The Restart Manager: sessions that register files, name the programs of the user that hold
// them (those made by hostemu::HoldFileAsProgram) and ask them to close. A program that
// agrees lets its file go; one that does not keeps it, and the shutdown answers
// ERROR_FAIL_SHUTDOWN, as it does on Windows for a program that will not close.
#include <map>
#include <string>
#include <vector>

#include "platform/host/emulation.h"
#include "platform/host/file_system.h"
#include "platform/host/win32_api.h"

namespace {

struct Program {
    std::string appName;
    std::string path; // upper-cased
    uintptr_t handle = 0;
    bool closesWhenAsked = true;
    bool critical = false;
    DWORD processId = 0;
};

struct RestartState {
    std::vector<Program> programs;
    std::map<DWORD, std::vector<std::string>> sessions; // registered files, upper-cased
    DWORD nextSession = 0;
    std::string asked;
};

RestartState& State() {
    static RestartState state;
    return state;
}

std::string Upper(std::string text) {
    for (char& c : text)
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return text;
}

std::string Narrow(LPCWSTR wide) {
    std::string text;
    for (; wide && *wide; ++wide)
        text += static_cast<char>(*wide);
    return text;
}

bool StillHolds(const Program& program) {
    return hostemu::fs::OpenFiles().count(program.handle) != 0;
}

// The programs that hold a file registered in `files`.
std::vector<Program*> Holders(const std::vector<std::string>& files) {
    std::vector<Program*> holders;
    for (Program& program : State().programs) {
        if (!StillHolds(program))
            continue;
        for (const std::string& file : files) {
            if (file == program.path) {
                holders.push_back(&program);
                break;
            }
        }
    }
    return holders;
}

} // namespace

namespace hostemu {

bool HoldFileAsProgram(const char* path, const char* appName, bool closesWhenAsked,
                       bool critical) {
    if (!HoldFileOpen(path, 0))
        return false;
    Program program;
    program.appName = appName;
    program.path = Upper(path);
    // Handles grow: the hold just made is the last open file.
    program.handle = fs::OpenFiles().rbegin()->first;
    program.closesWhenAsked = closesWhenAsked;
    program.critical = critical;
    program.processId = 4000 + static_cast<DWORD>(State().programs.size()) * 4;
    State().programs.push_back(program);
    return true;
}

std::string ProgramsAskedToClose() {
    return State().asked;
}

namespace detail {
void ResetRestartManager() {
    State() = RestartState();
}
} // namespace detail

} // namespace hostemu

DWORD WINAPI RmStartSession(DWORD* session, DWORD, WCHAR key[]) {
    if (DWORD error = hostemu::detail::CheckFault("RmStartSession"))
        return error;
    if (session == nullptr || key == nullptr)
        return ERROR_INVALID_PARAMETER;
    *session = ++State().nextSession;
    State().sessions[*session];
    for (int i = 0; i < CCH_RM_SESSION_KEY; ++i)
        key[i] = static_cast<WCHAR>('0' + (i + *session) % 10);
    key[CCH_RM_SESSION_KEY] = 0;
    return ERROR_SUCCESS;
}

DWORD WINAPI RmEndSession(DWORD session) {
    if (DWORD error = hostemu::detail::CheckFault("RmEndSession"))
        return error;
    return State().sessions.erase(session) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

DWORD WINAPI RmRegisterResources(DWORD session, UINT fileCount, LPCWSTR files[], UINT appCount,
                                 RM_UNIQUE_PROCESS[], UINT serviceCount, LPCWSTR[]) {
    if (DWORD error = hostemu::detail::CheckFault("RmRegisterResources"))
        return error;
    auto it = State().sessions.find(session);
    if (it == State().sessions.end())
        return ERROR_INVALID_HANDLE;
    if ((fileCount && !files) || appCount || serviceCount)
        return ERROR_INVALID_PARAMETER;
    for (UINT i = 0; i < fileCount; ++i)
        it->second.push_back(Upper(Narrow(files[i])));
    return ERROR_SUCCESS;
}

DWORD WINAPI RmGetList(DWORD session, UINT* needed, UINT* count, RM_PROCESS_INFO apps[],
                       LPDWORD rebootReasons) {
    if (DWORD error = hostemu::detail::CheckFault("RmGetList"))
        return error;
    auto it = State().sessions.find(session);
    if (it == State().sessions.end())
        return ERROR_INVALID_HANDLE;
    if (!needed || !count || !rebootReasons || (*count && !apps))
        return ERROR_INVALID_PARAMETER;
    std::vector<Program*> holders = Holders(it->second);
    *needed = static_cast<UINT>(holders.size());
    *rebootReasons = 0;
    if (holders.size() > *count) {
        *count = 0;
        return ERROR_MORE_DATA;
    }
    *count = *needed;
    for (size_t i = 0; i < holders.size(); ++i) {
        RM_PROCESS_INFO& info = apps[i];
        info = RM_PROCESS_INFO();
        info.Process.dwProcessId = holders[i]->processId;
        size_t n = 0;
        for (; n < holders[i]->appName.size() && n < CCH_RM_MAX_APP_NAME; ++n)
            info.strAppName[n] = static_cast<unsigned char>(holders[i]->appName[n]);
        info.strAppName[n] = 0;
        info.ApplicationType = holders[i]->critical ? RmCritical : RmMainWindow;
        info.bRestartable = FALSE;
    }
    return ERROR_SUCCESS;
}

DWORD WINAPI RmShutdown(DWORD session, ULONG actionFlags, RM_WRITE_STATUS_CALLBACK status) {
    if (DWORD error = hostemu::detail::CheckFault("RmShutdown"))
        return error;
    auto it = State().sessions.find(session);
    if (it == State().sessions.end())
        return ERROR_INVALID_HANDLE;
    const bool forced = (actionFlags & RmForceShutdown) != 0;
    DWORD answer = ERROR_SUCCESS;
    for (Program* program : Holders(it->second)) {
        State().asked += program->appName + (forced ? " forced\n" : "\n");
        if ((program->closesWhenAsked || forced) && !program->critical)
            hostemu::fs::OpenFiles().erase(program->handle);
        else
            answer = ERROR_FAIL_SHUTDOWN;
    }
    if (status)
        status(100);
    return answer;
}
