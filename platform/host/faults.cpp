#include <map>
#include <string>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/host/emulation.h"

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

std::map<std::string, unsigned>& Counts() {
    static std::map<std::string, unsigned> counts;
    return counts;
}

bool PathMatches(const std::string& faultPath, const std::string& path) {
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

void ClearFaults() { Faults().clear(); }

unsigned CallCount(const char* function) {
    auto it = Counts().find(function);
    return it == Counts().end() ? 0 : it->second;
}

unsigned TotalCallCount() {
    unsigned total = 0;
    for (const auto& entry : Counts())
        total += entry.second;
    return total;
}

namespace detail {

DWORD CheckFault(const char* function, const std::string& path) {
    unsigned count = ++Counts()[function];
    for (const Fault& fault : Faults()) {
        if (!fault.function.empty() && fault.function != function)
            continue;
        if (fault.occurrence != 0 && fault.occurrence != count)
            continue;
        if (!PathMatches(fault.path, path))
            continue;
        return fault.error;
    }
    return 0;
}

void ResetFaults() {
    Faults().clear();
    Counts().clear();
}

bool EqualNames(const std::string& a, const std::string& b) {
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
