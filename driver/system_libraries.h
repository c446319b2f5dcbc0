// lz32 and comctl32 are not among the system's known DLLs. Named bare, in an import table or to
// LoadLibraryA, they are looked for first in the program's own folder, which for a downloaded
// setup is a folder any web page can leave a file in, and setup runs as administrator. So the
// program imports neither: both are loaded here by full path from the System folder and their
// calls found by name, and the search for every other library is limited to the System folder
// before anything is loaded.
#pragma once

#include "platform/win32.h"

// Limits the process's library search to the System folder where the system can: the first
// thing setup and the uninstallers do. The 95 family and early NT have neither call for it.
void LimitLibrarySearch();

// The library `name` ("lz32.dll") from the System folder, or null. Never freed: the handle
// counts one more load each time.
HMODULE LoadSystemLibrary(const char* name);

// `module`'s entry point `name` as a pointer of type `Function`, or null.
template <typename Function> Function EntryPoint(HMODULE module, const char* name) {
    if (module == nullptr)
        return nullptr;
    // Through the generic function pointer type, which converts to any other.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The security descriptor that `text` (SDDL) describes, from advapi32's converter, which
// Windows 2000 brought and the 95 family lacks: null where it is missing or refuses the text.
// Freed with LocalFree.
PSECURITY_DESCRIPTOR DescriptorFromText(const char* text);

// Whether the existing object behind `handle` (a kernel object or a file) is owned by SYSTEM or
// the administrators, as everything setup makes is. Where the calls to ask are missing (before
// Windows 2000) it is taken as setup's.
bool MadeByAdministrator(HANDLE handle, SE_OBJECT_TYPE type);

// The LZ calls the payload extractor makes, all from lz32; null members when it is missing.
struct LzCalls {
    decltype(&LZInit) init;
    decltype(&LZRead) read;
    decltype(&LZClose) close;
};
LzCalls LoadLzCalls();
