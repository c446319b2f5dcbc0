#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/host/emulation.h"
#include "platform/host/win32_api.h"

namespace hostemu {
namespace {

struct Fault {
    std::string function; // empty: any function
    unsigned occurrence;  // 0: every call
    std::string path;     // empty: any path
    DWORD error;
};

std::vector<Fault>& Faults() {
    static std::vector<Fault> faults;
    return faults;
}

// Looked up by the caller's own text: most calls are counted again and again, and making a
// string of the name for each would be most of the cost of a cheap call.
using CallCounts = std::map<std::string, unsigned, std::less<>>;

CallCounts& Counts() {
    static CallCounts counts;
    return counts;
}

unsigned& CountOf(const char* function) {
    std::string_view name(function);
    auto it = Counts().find(name);
    if (it == Counts().end())
        it = Counts().emplace(std::string(name), 0).first;
    return it->second;
}

CallObserver& Observer() {
    static CallObserver observer;
    return observer;
}

bool& OutsideTheProgram() {
    static bool acting = false;
    return acting;
}

bool OneOf(const std::string& name, std::initializer_list<const char*> names) {
    for (const char* candidate : names) {
        if (name == candidate)
            return true;
    }
    return false;
}

bool PathMatches(const std::string& faultPath, std::string_view path) {
    if (faultPath.empty())
        return true;
    if (path.size() < faultPath.size())
        return false;
    if (!detail::EqualNames(path.substr(0, faultPath.size()), faultPath))
        return false;
    return path.size() == faultPath.size() || path[faultPath.size()] == '\\' ||
           faultPath.back() == '\\';
}

} // namespace

void FailCall(const char* function, DWORD error, unsigned occurrence) {
    Faults().push_back(Fault{function, occurrence, std::string(), error});
}

void FailPath(const char* function, const char* path, DWORD error) {
    Faults().push_back(Fault{function ? function : "", 0, path, error});
}

void ClearFaults() {
    Faults().clear();
}

void SetCallObserver(CallObserver observer) {
    Observer() = std::move(observer);
}

DWORD UsualError(const char* function) {
    const std::string name = function;
    if (OneOf(name, {"CloseHandle", "RegCloseKey"}))
        return ERROR_INVALID_HANDLE;
    if (name == "WriteFile")
        return ERROR_DISK_FULL;
    if (OneOf(name, {"ReadFile", "LZRead"}))
        return ERROR_READ_FAULT;
    if (name == "GetDiskFreeSpaceA")
        return ERROR_NOT_READY;
    // A lookup in the mapped image fails only for a resource that is not there.
    if (name == "FindResourceA")
        return ERROR_RESOURCE_NAME_NOT_FOUND;
    // What a machine that refuses the user answers for the files and keys it guards.
    if (name.compare(0, 3, "Reg") == 0 ||
        OneOf(name, {"CreateFileA", "DeleteFileA", "CreateDirectoryA", "RemoveDirectoryA",
                     "GetFileAttributesA", "SetFileAttributesA", "FindFirstFileA", "FindNextFileA",
                     "MoveFileA", "MoveFileExA", "GetTempPathA", "GetTempFileNameA",
                     "GetShortPathNameA", "LZOpenFileA", "GetPrivateProfileStringA",
                     "WritePrivateProfileStringA", "IPersistFile::Save", "IPersistFile::Load"}))
        return ERROR_ACCESS_DENIED;
    // Windows, dialogs, drawing objects, resources and COM objects fail for want of memory.
    return ERROR_OUTOFMEMORY;
}

unsigned CallCount(const char* function) {
    auto it = Counts().find(std::string_view(function));
    return it == Counts().end() ? 0 : it->second;
}

unsigned TotalCallCount() {
    unsigned total = 0;
    for (const auto& entry : Counts())
        total += entry.second;
    return total;
}

namespace detail {

bool CallsWatched() {
    return !Faults().empty() || (Observer() && !OutsideTheProgram());
}

DWORD CheckFault(const char* function, std::string_view path) {
    unsigned count = ++CountOf(function);
    for (const Fault& fault : Faults()) {
        if (!fault.function.empty() && fault.function != function)
            continue;
        if (fault.occurrence != 0 && fault.occurrence != count)
            continue;
        if (!PathMatches(fault.path, path))
            continue;
        return fault.error;
    }
    if (Observer() && !OutsideTheProgram())
        return Observer()(function, std::string(path));
    return 0;
}

void CountCall(const char* function) {
    ++CountOf(function);
}

NotTheProgram::NotTheProgram() : outer_(OutsideTheProgram()) {
    OutsideTheProgram() = true;
}

NotTheProgram::~NotTheProgram() {
    OutsideTheProgram() = outer_;
}

void ResetFaults() {
    Faults().clear();
    Counts().clear();
    Observer() = nullptr;
}

bool EqualNames(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    }
    return true;
}

} // namespace detail
} // namespace hostemu
