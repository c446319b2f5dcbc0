#include "install/payload_extractor.h"

#include "driver/system_libraries.h"
#include "install/temporary_file.h"

namespace {

const char kPayloadType[] = "CUSTOM";
const DWORD kBlockSize = 1024;

// The payload's compressed bytes straight from the image into `file`, made here, in one write;
// the count written is what tells a full copy. The file is left at its start for the expansion.
bool StagePayload(WORD resourceId, TemporaryFile& file) {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(resourceId), kPayloadType);
    if (!resource)
        return false;
    HGLOBAL loaded = LoadResource(nullptr, resource);
    if (!loaded)
        return false;
    const void* data = LockResource(loaded);
    DWORD size = SizeofResource(nullptr, resource);
    DWORD written = 0;
    if (data != nullptr && file.Create())
        WriteFile(file.Handle(), data, size, &written, nullptr);
    FreeResource(loaded);
    return data != nullptr && written == size &&
           SetFilePointer(file.Handle(), 0, nullptr, FILE_BEGIN) == 0;
}

} // namespace

bool PayloadExtractor::ExtractPayload(WORD resourceId, const char* destination) {
    // The destination is touched only once the payload is staged: a missing one creates
    // nothing, and a failure before the expansion leaves an earlier file as it was.
    TemporaryFile compressed;
    if (!StagePayload(resourceId, compressed))
        return false;
    HANDLE file = CreateFileA(destination, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // On the disk before the install's journal can vouch for it, whatever the cache does.
    bool expanded = ExpandFile(compressed.HandOver(), file) && FlushFileBuffers(file);
    CloseHandle(file);
    // A half-written file must not pass for the payload.
    if (!expanded)
        DeleteFileA(destination);
    return expanded;
}

bool PayloadExtractor::ExtractPayload(WORD resourceId, HANDLE destination) {
    TemporaryFile compressed;
    return StagePayload(resourceId, compressed) && ExpandFile(compressed.HandOver(), destination);
}

bool PayloadExtractor::ExpandFile(HANDLE compressed, HANDLE destination) {
    LzCalls lz = LoadLzCalls();
    // lz32 takes the handle as the 16-bit era's file number, which a handle's value fits.
    INT source = lz.init && lz.read && lz.close
                     ? lz.init(static_cast<INT>(reinterpret_cast<INT_PTR>(compressed)))
                     : LZERROR_BADINHANDLE;
    if (source < 0) {
        CloseHandle(compressed);
        return false;
    }
    // Replacing an existing file succeeds with ERROR_ALREADY_EXISTS as the last error, so the
    // outcome is judged by the steps themselves, never by the last-error code.
    bool failed = false;
    char buffer[kBlockSize];
    for (;;) {
        INT count = lz.read(source, buffer, kBlockSize);
        if (count < 0) {
            failed = true;
            break;
        }
        DWORD written = 0;
        if (!WriteFile(destination, buffer, static_cast<DWORD>(count), &written, nullptr) ||
            written != static_cast<DWORD>(count)) {
            failed = true;
            break;
        }
        if (static_cast<DWORD>(count) != kBlockSize)
            break;
    }
    // Closes the compressed file's handle as well: only now may the file go.
    lz.close(source);
    return !failed;
}
