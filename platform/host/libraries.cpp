// Libraries: kernel32, always loaded, and those that setup loads by full path, lz32, comctl32
// and, on the NT family, rstrtmgr, which live in the System folder and whose entry points are the emulation's own
// functions. Any other library is a file someone left in a folder the search reaches: it loads
// (its code would run) but has no entry points the emulation knows.
#include <cstring>
#include <string>
#include <vector>

#include "platform/host/emulation.h"
#include "platform/host/file_system.h"
#include "platform/host/win32_api.h"

namespace {

const uintptr_t kKernelHandle = 0x7C800000;
const uintptr_t kAdvapiHandle = 0x77DD0000;
const uintptr_t kLzHandle = 0x75010000;
const uintptr_t kControlsHandle = 0x75020000;
const uintptr_t kRestartHandle = 0x75030000;
const uintptr_t kForeignHandle = 0x10000000;

struct Entry {
    const char* name;
    FARPROC function;
};

template <typename Function> FARPROC AsProc(Function function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

struct LibraryState {
    std::vector<std::string> loaded; // the files loaded, in order
    DWORD searchFlags = 0;
    bool currentFolderSearched = true;
};

LibraryState& State() {
    static LibraryState state;
    return state;
}

std::string Upper(std::string text) {
    for (char& c : text)
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return text;
}

std::string SystemFolder() {
    char folder[MAX_PATH];
    hostemu::detail::NotTheProgram inside;
    UINT length = GetSystemDirectoryA(folder, sizeof folder);
    return length > 0 && length < sizeof folder ? std::string(folder) : std::string();
}

// The System folder's libraries, by upper-cased file name.
uintptr_t SystemLibrary(const std::string& upperName) {
    if (upperName == "LZ32.DLL")
        return kLzHandle;
    if (upperName == "COMCTL32.DLL")
        return kControlsHandle;
    if (upperName == "KERNEL32.DLL")
        return kKernelHandle;
    // The Restart Manager came with the NT family's later versions; the 95 family never had it.
    if (upperName == "RSTRTMGR.DLL" &&
        hostemu::CurrentPlatformFamily() == hostemu::PlatformFamily::NT)
        return kRestartHandle;
    return 0;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool FileThere(const std::string& path) {
    hostemu::detail::NotTheProgram inside;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

HMODULE Loaded(const std::string& path, uintptr_t handle) {
    State().loaded.push_back(path);
    return reinterpret_cast<HMODULE>(handle);
}

} // namespace

namespace hostemu {

std::string LoadedLibraries() {
    std::string list;
    for (const std::string& path : State().loaded)
        list += path + "\n";
    return list;
}

namespace detail {
void ResetLibraries() {
    State() = LibraryState();
}

HMODULE SystemModuleHandle(const char* name) {
    std::string upper = Upper(name);
    if (upper == "KERNEL32" || upper == "KERNEL32.DLL")
        return reinterpret_cast<HMODULE>(kKernelHandle);
    if (upper == "ADVAPI32" || upper == "ADVAPI32.DLL")
        return reinterpret_cast<HMODULE>(kAdvapiHandle);
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}
} // namespace detail

} // namespace hostemu

HMODULE LoadLibraryA(LPCSTR fileName) {
    if (DWORD error = hostemu::detail::CheckFault("LoadLibraryA", fileName ? fileName : "")) {
        SetLastError(error);
        return nullptr;
    }
    if (fileName == nullptr || *fileName == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::string name = fileName;
    const std::string system = SystemFolder();
    if (name.find('\\') != std::string::npos) {
        // A full path loads that file and no other.
        uintptr_t known = SystemLibrary(Upper(name.substr(name.find_last_of('\\') + 1)));
        if (known != 0 && hostemu::detail::EqualNames(FolderOf(name), system))
            return Loaded(name, known);
        if (FileThere(name))
            return Loaded(name, kForeignHandle);
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // A bare name: the program's own folder first, unless the search was limited to the
    // System folder; then the System folder.
    if (!(State().searchFlags & LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        const std::string beside = FolderOf(hostemu::fs::State().moduleFileName) + "\\" + name;
        if (FileThere(beside))
            return Loaded(beside, kForeignHandle);
    }
    if (uintptr_t known = SystemLibrary(Upper(name)))
        return Loaded(system + "\\" + name, known);
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

BOOL FreeLibrary(HMODULE module) {
    hostemu::detail::CountCall("FreeLibrary");
    return module != nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    if (DWORD error = hostemu::detail::CheckFault("GetProcAddress", name ? name : "")) {
        SetLastError(error);
        return nullptr;
    }
    // The 95 family's kernel32 has no say over the library search.
    const bool nt = hostemu::CurrentPlatformFamily() == hostemu::PlatformFamily::NT;
    const Entry kernel[] = {
        {"SetDefaultDllDirectories", nt ? AsProc(&SetDefaultDllDirectories) : nullptr},
        {"SetDllDirectoryA", nt ? AsProc(&SetDllDirectoryA) : nullptr}};
    const Entry advapi[] = {
        {"ConvertStringSecurityDescriptorToSecurityDescriptorA",
         nt ? AsProc(&ConvertStringSecurityDescriptorToSecurityDescriptorA) : nullptr},
        {"GetSecurityInfo", nt ? AsProc(&GetSecurityInfo) : nullptr},
        {"ConvertSidToStringSidA", nt ? AsProc(&ConvertSidToStringSidA) : nullptr},
        {"OpenProcessToken", nt ? AsProc(&OpenProcessToken) : nullptr},
        {"GetTokenInformation", nt ? AsProc(&GetTokenInformation) : nullptr}};
    const Entry lz[] = {{"LZInit", AsProc(&LZInit)},
                        {"LZOpenFileA", AsProc(&LZOpenFileA)},
                        {"LZRead", AsProc(&LZRead)},
                        {"LZClose", AsProc(&LZClose)}};
    const Entry controls[] = {{"InitCommonControls", AsProc(&InitCommonControls)},
                              {"PropertySheetA", AsProc(&PropertySheetA)}};
    const Entry restart[] = {{"RmStartSession", AsProc(&RmStartSession)},
                             {"RmEndSession", AsProc(&RmEndSession)},
                             {"RmRegisterResources", AsProc(&RmRegisterResources)},
                             {"RmGetList", AsProc(&RmGetList)},
                             {"RmShutdown", AsProc(&RmShutdown)}};
    const uintptr_t handle = reinterpret_cast<uintptr_t>(module);
    const Entry* entries = nullptr;
    size_t count = 0;
    if (handle == kKernelHandle)
        entries = kernel, count = sizeof kernel / sizeof kernel[0];
    else if (handle == kAdvapiHandle)
        entries = advapi, count = sizeof advapi / sizeof advapi[0];
    else if (handle == kLzHandle)
        entries = lz, count = sizeof lz / sizeof lz[0];
    else if (handle == kControlsHandle)
        entries = controls, count = sizeof controls / sizeof controls[0];
    else if (handle == kRestartHandle)
        entries = restart, count = sizeof restart / sizeof restart[0];
    for (size_t i = 0; name != nullptr && i < count; ++i) {
        if (std::strcmp(entries[i].name, name) == 0 && entries[i].function != nullptr)
            return entries[i].function;
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

BOOL SetDefaultDllDirectories(DWORD directoryFlags) {
    if (DWORD error = hostemu::detail::CheckFault("SetDefaultDllDirectories")) {
        SetLastError(error);
        return FALSE;
    }
    State().searchFlags = directoryFlags;
    return TRUE;
}

BOOL SetDllDirectoryA(LPCSTR path) {
    if (DWORD error = hostemu::detail::CheckFault("SetDllDirectoryA", path ? path : "")) {
        SetLastError(error);
        return FALSE;
    }
    State().currentFolderSearched = path == nullptr;
    return TRUE;
}
