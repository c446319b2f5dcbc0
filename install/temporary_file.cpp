#include "install/temporary_file.h"

#include "driver/shell_helpers.h"
#include "driver/user_folders.h"

namespace {

// Every 16-bit number but 0, which asks GetTempFileNameA to make the file itself: a name it
// made and closed could be replaced by a link before setup opened it again.
const unsigned kNames = 0xFFFF;

unsigned g_nextNumber = 0;

} // namespace

TemporaryFile::TemporaryFile() : handle_(INVALID_HANDLE_VALUE) {
    path_[0] = '\0';
}

bool TemporaryFile::Create() {
    char folder[MAX_PATH];
    DWORD length = TemporaryFolder(folder);
    if (handle_ != INVALID_HANDLE_VALUE || length == 0 || length >= MAX_PATH)
        return false;
    if (g_nextNumber == 0)
        g_nextNumber = GetTickCount();
    for (unsigned tries = 0; tries < kNames; ++tries) {
        UINT number = (g_nextNumber++ % kNames) + 1;
        if (GetTempFileNameA(folder, "NQ", number, path_) == 0)
            break;
        // CREATE_NEW takes no name that exists, a link or junction included; sharing
        // nothing keeps every other opener out until the handle closes.
        handle_ = CreateFileA(path_, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (handle_ != INVALID_HANDLE_VALUE)
            return true;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    path_[0] = '\0';
    return false;
}

TemporaryFile::~TemporaryFile() {
    if (handle_ != INVALID_HANDLE_VALUE)
        CloseHandle(handle_);
    if (path_[0] != '\0' && IsWin9xPlatform())
        DeleteFileA(path_);
}

HANDLE TemporaryFile::HandOver() {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
}
