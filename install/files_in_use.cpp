#include "install/files_in_use.h"

#include <cstring>
#include <memory>

#include "driver/setup_context.h"
#include "driver/shell_helpers.h"
#include "driver/string_helpers.h"
#include "driver/system_libraries.h"

namespace {

// Whether another program holds `path` so that the install's write would fail. On the NT
// family the write first renames the earlier file aside (PriorState::KeepFile), so the check
// asks for what a rename needs, deletion access beside every other opener: a running program's
// image and a loaded library allow that and do not stop the run (their renamed copies go at
// the next restart), while a file opened without shared deletion, as a help viewer or an
// editor opens one, does. The 95 family renames no open file at all, so there any other opener
// stops the run. A file that is missing, or that cannot be opened for another reason, is not
// held: the write meets that reason and the restore answers for it.
bool Held(const char* path) {
    const bool nt = !IsWin9xPlatform();
    HANDLE file = CreateFileA(path, nt ? DELETE : GENERIC_READ | GENERIC_WRITE,
                              nt ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE : 0,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

struct RestartCalls {
    decltype(&RmStartSession) start;
    decltype(&RmEndSession) end;
    decltype(&RmRegisterResources) registerFiles;
    decltype(&RmGetList) list;
    decltype(&RmShutdown) shutdown;

    bool Whole() const { return start && end && registerFiles && list && shutdown; }
};

// The Restart Manager, from the System folder like every library setup loads; all null where
// it is missing (the 95 family, NT before Vista).
RestartCalls LoadRestartCalls() {
    HMODULE library = LoadSystemLibrary("rstrtmgr.dll");
    RestartCalls calls = {EntryPoint<decltype(&RmStartSession)>(library, "RmStartSession"),
                          EntryPoint<decltype(&RmEndSession)>(library, "RmEndSession"),
                          EntryPoint<decltype(&RmRegisterResources)>(library,
                                                                     "RmRegisterResources"),
                          EntryPoint<decltype(&RmGetList)>(library, "RmGetList"),
                          EntryPoint<decltype(&RmShutdown)>(library, "RmShutdown")};
    return calls;
}

// A Restart Manager session with the held files registered; ended when it goes.
class RestartSession {
  public:
    RestartSession(const RestartCalls& calls, const char (*files)[MAX_PATH], DWORD count)
        : calls_(calls) {
        WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
        if (!calls_.Whole() || calls_.start(&session_, 0, key) != ERROR_SUCCESS)
            return;
        started_ = true;
        std::unique_ptr<WCHAR[]> wide(new WCHAR[FilesInUse::kMaxFiles * MAX_PATH]);
        LPCWSTR names[FilesInUse::kMaxFiles];
        for (DWORD i = 0; i < count; ++i) {
            WCHAR* name = wide.get() + i * MAX_PATH;
            if (MultiByteToWideChar(CP_ACP, 0, files[i], -1, name, MAX_PATH) == 0)
                return;
            names[i] = name;
        }
        registered_ = calls_.registerFiles(session_, static_cast<UINT>(count), names, 0, nullptr,
                                           0, nullptr) == ERROR_SUCCESS;
    }
    ~RestartSession() {
        if (started_)
            calls_.end(session_);
    }
    RestartSession(const RestartSession&) = delete;
    RestartSession& operator=(const RestartSession&) = delete;

    bool Registered() const { return registered_; }
    DWORD Handle() const { return session_; }

  private:
    const RestartCalls& calls_;
    DWORD session_ = 0;
    bool started_ = false;
    bool registered_ = false;
};

// More programs than this are named by their count alone.
const UINT kMaxPrograms = 16;

} // namespace

bool FilesInUse::Check(const SetupContext& context) {
    heldCount_ = nameCount_ = moreNames_ = 0;
    programs_ = canClose_ = false;
    // The Find-menu library is not among them: one already there is kept as it is, never
    // written over (file deployment), so whoever has it loaded stops nothing.
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        if (!context.selected[i])
            continue;
        const ModuleRow& row = context.modules[i];
        const char* files[] = {row.programFile.get(), row.helpFile.get(), row.contentsFile.get()};
        for (const char* file : files) {
            const char* path = file ? ModuleFilePath(i, file) : "";
            if (path[0] != '\0' && Held(path) && heldCount_ < kMaxFiles)
                CopyString(held_[heldCount_++], path, MAX_PATH);
        }
        const char* uninstaller = row.uninstallerPath.get();
        if (uninstaller && Held(uninstaller) && heldCount_ < kMaxFiles)
            CopyString(held_[heldCount_++], uninstaller, MAX_PATH);
    }
    if (heldCount_ == 0)
        return true;
    NameHolders();
    return false;
}

// The programs the Restart Manager names for the held files. Where it is missing, fails, or
// names nobody (as a stand-in that answers every question with an empty list does), the files
// themselves are named.
void FilesInUse::NameHolders() {
    RestartCalls calls = LoadRestartCalls();
    RestartSession session(calls, held_, heldCount_);
    if (session.Registered()) {
        std::unique_ptr<RM_PROCESS_INFO[]> found(new RM_PROCESS_INFO[kMaxPrograms]);
        UINT needed = 0;
        UINT count = kMaxPrograms;
        DWORD reasons = 0;
        DWORD answer = calls.list(session.Handle(), &needed, &count, found.get(), &reasons);
        if (answer == ERROR_MORE_DATA) {
            // Too many to name: they are counted, and closing them is still offered.
            moreNames_ = needed;
            count = 0;
        } else if (answer != ERROR_SUCCESS || count > kMaxPrograms) {
            count = 0;
        }
        bool critical = false;
        for (UINT i = 0; i < count && nameCount_ < kMaxFiles; ++i) {
            char name[MAX_PATH];
            found[i].strAppName[CCH_RM_MAX_APP_NAME] = 0;
            if (WideCharToMultiByte(CP_ACP, 0, found[i].strAppName, -1, name, sizeof name,
                                    nullptr, nullptr) == 0 ||
                name[0] == '\0')
                continue;
            critical = critical || found[i].ApplicationType == RmCritical;
            bool again = false;
            for (DWORD j = 0; j < nameCount_; ++j)
                again = again || std::strcmp(names_[j], name) == 0;
            if (!again)
                CopyString(names_[nameCount_++], name, MAX_PATH);
        }
        programs_ = nameCount_ > 0 || moreNames_ > 0;
        // A program the system cannot do without is never asked.
        canClose_ = programs_ && !critical;
    }
    if (!programs_) {
        for (DWORD i = 0; i < heldCount_; ++i)
            CopyString(names_[i], held_[i], MAX_PATH);
        nameCount_ = heldCount_;
    }
}

void FilesInUse::Names(char* text, size_t size, const char* separator) const {
    if (size == 0)
        return;
    text[0] = '\0';
    for (DWORD i = 0; i < nameCount_; ++i) {
        if (!AppendString(text, size, names_[i]) || !AppendString(text, size, separator))
            return;
    }
    if (moreNames_ > 0) {
        char count[16];
        DWORD value = moreNames_;
        size_t at = sizeof count - 1;
        count[at] = '\0';
        do {
            count[--at] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value > 0 && at > 0);
        if (AppendString(text, size, count + at) && AppendString(text, size, " programs"))
            AppendString(text, size, separator);
    }
}

bool FilesInUse::CloseHoldersAndWait(const SetupContext& context, DWORD checks, DWORD wait) {
    if (canClose_) {
        RestartCalls calls = LoadRestartCalls();
        RestartSession session(calls, held_, heldCount_);
        // Without RmForceShutdown: each program is asked and may refuse, keeping its work.
        if (session.Registered())
            calls.shutdown(session.Handle(), 0, nullptr);
    }
    for (DWORD i = 0; i < checks; ++i) {
        if (i > 0)
            Sleep(wait);
        if (Check(context))
            return true;
    }
    return false;
}
