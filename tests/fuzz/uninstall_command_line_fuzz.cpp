// Any bytes as an uninstaller's command line and as its module's "UninstallString": the check
// must answer one of its outcomes, leave a terminated path within its buffer, and accept a
// folder only when the command line names the one the entry names.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/host/emulation.h"
#include "platform/win32.h"
#include "tests/fuzz/fresh_machine.h"
#include "uninstall/uninstall.h"

namespace {

const char kEntryKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\WebQuillo";

void WriteEntry(const std::string& text) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kEntryKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                   static_cast<DWORD>(text.size()));
    RegCloseKey(key);
}

} // namespace

// The input is the command line, a zero byte, then the entry's text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FreshMachine machine;
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t split = input.find('\0');
    std::string commandLine = input.substr(0, split);
    if (split != std::string::npos)
        WriteEntry(input.substr(split + 1));

    char installPath[MAX_PATH];
    std::memset(installPath, 'x', sizeof installPath);
    UninstallOutcome outcome = CheckUninstall(0, commandLine.c_str(), installPath);
    if (std::memchr(installPath, '\0', sizeof installPath) == nullptr)
        std::abort();
    if (outcome == UninstallOutcome::Removed &&
        (installPath[0] == '\0' || commandLine.find_first_not_of(" \t\"") == std::string::npos))
        std::abort();

    char taken[MAX_PATH];
    if (TakeInstallPath(commandLine.c_str(), taken) && std::strlen(taken) >= MAX_PATH)
        std::abort();
    return 0;
}
