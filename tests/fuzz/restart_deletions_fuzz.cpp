// Any bytes as the pending rename list, stored as its characters (a partial one included), and
// as "wininit.ini": withdrawing deletions must stay inside the list's bytes and never change the
// file's length, and every scan must end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "driver/catalogue.h"
#include "driver/setup_context.h"
#include "install/restart_deletions.h"
#include "platform/host/emulation.h"
#include "platform/win32.h"
#include "tests/fuzz/fresh_machine.h"

namespace {

const char kWininit[] = "C:\\WINDOWS\\wininit.ini";

void WritePendingList(const std::string& bytes) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                        0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, L"PendingFileRenameOperations", 0, REG_MULTI_SZ,
                   reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

// Through the Win32 calls, as the program's own files are written.
void WriteWholeFile(const char* path, const std::string& bytes) {
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    if (!bytes.empty())
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FreshMachine machine;
    std::string input(reinterpret_cast<const char*>(data), size);
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    // The Web uninstaller exists, so that its short path can match lines of the file.
    WriteWholeFile(context.modules[0].uninstallerPath.get(), "u");

    WritePendingList(input);
    CancelPendingDeletes(context);

    hostemu::SetPlatformFamily(hostemu::PlatformFamily::Win9x);
    WriteWholeFile(kWininit, input);
    CancelPendingDeletes(context);
    RewriteWininitKeys();
    std::string after;
    if (!hostemu::ReadFileBytes(kWininit, after) || after.size() != input.size())
        std::abort();
    return 0;
}
