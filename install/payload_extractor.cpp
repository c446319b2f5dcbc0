#include "install/payload_extractor.h"

#include <cstring>

#include "driver/string_helpers.h"
#include "install/restart_deletions.h"

namespace {

const char kPayloadType[] = "CUSTOM";
const char kTempPrefix[] = "NQ";
const DWORD kBlockSize = 1024;

// Writes the locked resource bytes to a new temporary file; false, with nothing left behind,
// when that fails. GetTempFileNameA has already made the file, so a file that then cannot be
// opened is deleted too.
bool WriteTemporaryFile(const void* data, DWORD size, char (&tempPath)[MAX_PATH]) {
    char folder[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH)
        return false;
    if (GetTempFileNameA(folder, kTempPrefix, 0, tempPath) == 0)
        return false;
    HANDLE file = CreateFileA(tempPath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileA(tempPath);
        return false;
    }
    // One write straight from the image; the count written is what tells a full copy.
    DWORD written = 0;
    WriteFile(file, data, size, &written, nullptr);
    CloseHandle(file);
    if (written != size) {
        DeleteFileA(tempPath);
        return false;
    }
    return true;
}

} // namespace

bool PayloadExtractor::ExtractPayload(WORD resourceId, const char* destination) {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(resourceId), kPayloadType);
    if (!resource)
        return false;
    HGLOBAL loaded = LoadResource(nullptr, resource);
    if (!loaded)
        return false;
    const void* data = LockResource(loaded);
    char tempPath[MAX_PATH];
    bool written =
        data != nullptr && WriteTemporaryFile(data, SizeofResource(nullptr, resource), tempPath);
    FreeResource(loaded);
    if (!written)
        return false;
    bool expanded = ExpandFile(tempPath, destination);
    DeleteNowOrAtRestart(tempPath, kPayloadCopyKey);
    return expanded;
}

bool PayloadExtractor::ExpandFile(const char* compressedPath, const char* destination) {
    // LZOpenFileA takes a writable name; it gets a copy. It opens through OpenFile, whose record
    // holds fewer than OFS_MAXPATHNAME characters: a longer path (a deep temporary folder) is
    // opened by its short name, and refused when even that does not fit.
    char source[MAX_PATH];
    if (!CopyString(source, compressedPath, MAX_PATH))
        return false;
    if (std::strlen(source) >= OFS_MAXPATHNAME) {
        DWORD length = GetShortPathNameA(compressedPath, source, MAX_PATH);
        if (length == 0 || length >= OFS_MAXPATHNAME)
            return false;
    }
    OFSTRUCT record = {};
    record.cBytes = sizeof record;
    INT compressed = LZOpenFileA(source, &record, OF_READ);
    if (compressed < 0)
        return false;

    // Replacing an existing file succeeds with ERROR_ALREADY_EXISTS as the last error, so the
    // outcome is judged by the steps themselves, never by the last-error code.
    bool failed = false;
    HANDLE file = CreateFileA(destination, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        failed = true;
    } else {
        char buffer[kBlockSize];
        for (;;) {
            INT count = LZRead(compressed, buffer, kBlockSize);
            if (count < 0) {
                failed = true;
                break;
            }
            DWORD written = 0;
            if (!WriteFile(file, buffer, static_cast<DWORD>(count), &written, nullptr) ||
                written != static_cast<DWORD>(count)) {
                failed = true;
                break;
            }
            if (static_cast<DWORD>(count) != kBlockSize)
                break;
        }
        CloseHandle(file);
        // A half-written file must not pass for the payload.
        if (failed)
            DeleteFileA(destination);
    }
    LZClose(compressed);
    return !failed;
}
