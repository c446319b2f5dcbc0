#include "driver/setup_log.h"

#include <cstring>

#include "driver/object_owner.h"
#include "driver/string_helpers.h"
#include "install/folder_safety.h"

SetupLog::~SetupLog() {
    Close();
}

bool SetupLog::Open(const char* path) {
    Close();
    // Setup runs as administrator, and a user may have prepared the path: the log goes nowhere
    // but where its name says. A full path through no junction or link; at the last level a
    // link is opened as itself, never followed, and whatever is there must be a file of one
    // name (a second name, a hard link, would make it another program's file) before it is
    // emptied.
    if (PathRootLength(path) == 0 || PassesThroughReparsePoint(path))
        return false;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // A file that was there already must be the caller's: a user's own file, named by an
    // administrator's run, would be emptied and written with that administrator's rights.
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    BY_HANDLE_FILE_INFORMATION about;
    const DWORD notPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    if (!GetFileInformationByHandle(file, &about) || (about.dwFileAttributes & notPlain) != 0 ||
        about.nNumberOfLinks != 1 ||
        (existed && !OwnedBy(file, SE_FILE_OBJECT, Owners::AdministratorsOrCaller)) ||
        SetFilePointer(file, 0, nullptr, FILE_BEGIN) != 0 ||
        !SetEndOfFile(file)) {
        CloseHandle(file);
        return false;
    }
    file_ = file;
    // The lines are in the code page of the 8-bit calls; when that is UTF-8, the file says so,
    // or an editor would read the user's folders in the system's code page.
    if (GetACP() == CP_UTF8) {
        DWORD written = 0;
        WriteFile(file_, "\xEF\xBB\xBF", 3, &written, nullptr);
    }
    return true;
}

void SetupLog::Line(std::initializer_list<const char*> pieces) {
    if (file_ == INVALID_HANDLE_VALUE)
        return;
    char line[1024 + 2] = {};
    for (const char* piece : pieces) {
        // A piece that does not fit is cut rather than dropped: a long path still shows.
        if (piece != nullptr)
            AppendStringCut(line, 1024, piece);
    }
    std::strcat(line, "\r\n");
    DWORD written = 0;
    WriteFile(file_, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
}

void SetupLog::BeginStep(const char* status) {
    EndStep("done");
    if (status == nullptr || !CopyString(step_, status, sizeof step_))
        step_[0] = '\0';
}

void SetupLog::EndStep(const char* result) {
    if (step_[0] != '\0')
        Line({step_, " ", result});
    step_[0] = '\0';
}

void SetupLog::Close() {
    if (file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
}
