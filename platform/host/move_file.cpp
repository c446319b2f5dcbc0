// Delayed moves and deletions go where the NT family keeps them: pairs of NT paths ("\??\"
// and the path) in the Session Manager's PendingFileRenameOperations, an empty destination for
// a deletion, the list ending with one more zero. Existing pairs are kept and the new one goes
// last. Only the delayed form is emulated; the program never moves a file at once.
#include <string>
#include <vector>

#include "platform/host/emulation.h"
#include "platform/host/win32_api.h"

namespace {

const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kPendingValue[] = "PendingFileRenameOperations";
const char kNtPrefix[] = "\\??\\";

} // namespace

BOOL MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags) {
    if (DWORD error = hostemu::detail::CheckFault(
            "MoveFileExA", existingFileName ? existingFileName : std::string())) {
        SetLastError(error);
        return FALSE;
    }
    // The 95 family has no MoveFileExA ("Windows 95/98/Me: MoveFileEx is not supported", in the
    // platform's documentation of the call; restart-time work goes through wininit.ini there).
    // Wine carries the call out whatever Windows version it reports.
    if (hostemu::CurrentPlatformFamily() == hostemu::PlatformFamily::Win9x) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    if (existingFileName == nullptr || existingFileName[0] == '\0') {
        SetLastError(existingFileName ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!(flags & MOVEFILE_DELAY_UNTIL_REBOOT) || (flags & MOVEFILE_COPY_ALLOWED)) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    HKEY key;
    LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(result));
        return FALSE;
    }
    std::string list;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(key, kPendingValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_MULTI_SZ && size > 0) {
        std::vector<BYTE> bytes(size);
        if (RegQueryValueExA(key, kPendingValue, nullptr, &type, bytes.data(), &size) ==
            ERROR_SUCCESS) {
            list.assign(reinterpret_cast<const char*>(bytes.data()), size);
            // The list's closing zero goes; the new pair brings it back.
            if (!list.empty() && list.back() == '\0')
                list.pop_back();
        }
    }
    list += kNtPrefix + std::string(existingFileName) + '\0';
    if (newFileName != nullptr && newFileName[0] != '\0')
        list += kNtPrefix + std::string(newFileName);
    list += '\0';
    list += '\0';
    result =
        RegSetValueExA(key, kPendingValue, 0, REG_MULTI_SZ,
                       reinterpret_cast<const BYTE*>(list.data()), static_cast<DWORD>(list.size()));
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(result));
        return FALSE;
    }
    return TRUE;
}
