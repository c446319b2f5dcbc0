#include "driver/system_libraries.h"

#include <cstring>

#include "driver/string_helpers.h"

namespace {

// Not in every SDK's headers, and the call itself is missing from the 95 family and early NT.
const DWORD kSearchSystemFolderOnly = 0x00000800; // LOAD_LIBRARY_SEARCH_SYSTEM32

} // namespace

void LimitLibrarySearch() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    typedef BOOL(WINAPI * SetDefaultDirectories)(DWORD);
    typedef BOOL(WINAPI * SetDirectory)(LPCSTR);
    if (auto limit = EntryPoint<SetDefaultDirectories>(kernel, "SetDefaultDllDirectories")) {
        if (limit(kSearchSystemFolderOnly))
            return;
    }
    // Where only this exists it takes the current folder out of the search; the program's
    // own folder stays in it, which is why nothing but known DLLs is ever loaded by name.
    if (auto without = EntryPoint<SetDirectory>(kernel, "SetDllDirectoryA"))
        without("");
}

HMODULE LoadSystemLibrary(const char* name) {
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, sizeof path);
    if (length == 0 || length >= sizeof path || !JoinPath(path, name))
        return nullptr;
    return LoadLibraryA(path);
}

PSECURITY_DESCRIPTOR DescriptorFromText(const char* text) {
    auto make = EntryPoint<decltype(&ConvertStringSecurityDescriptorToSecurityDescriptorA)>(
        GetModuleHandleA("advapi32.dll"), "ConvertStringSecurityDescriptorToSecurityDescriptorA");
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (make && !make(text, SDDL_REVISION_1, &descriptor, nullptr))
        descriptor = nullptr;
    return descriptor;
}

LzCalls LoadLzCalls() {
    HMODULE lz = LoadSystemLibrary("lz32.dll");
    LzCalls calls = {EntryPoint<decltype(&LZInit)>(lz, "LZInit"),
                     EntryPoint<decltype(&LZRead)>(lz, "LZRead"),
                     EntryPoint<decltype(&LZClose)>(lz, "LZClose")};
    return calls;
}
