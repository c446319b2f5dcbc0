// The shell's folders and folder picker. An item list here is either empty (the desktop, the
// root of the shell's namespace, as on Windows) or one item holding a file-system path.
#include <cstring>
#include <deque>
#include <string>

#include "platform/host/emulation.h"
#include "platform/host/file_system.h"
#include "platform/host/win32_api.h"
#include "platform/host/window_manager.h"

namespace {

struct PickerAnswer {
    bool chosen;
    std::string path;
};

struct Shell {
    std::string desktop = "C:\\WINDOWS\\Desktop";
    std::wstring desktopWide; // empty: the wide view of `desktop`
    std::deque<PickerAnswer> answers;
    hostemu::FolderPickerRequest lastRequest = {};
    unsigned pickersShown = 0;
    bool pickerOpen = false;
};

Shell& TheShell() {
    static Shell shell;
    return shell;
}

PIDLIST_ABSOLUTE MakeItems(const std::string* path) {
    size_t itemSize = path ? sizeof(WORD) + path->size() + 1 : 0;
    BYTE* block = static_cast<BYTE*>(CoTaskMemAlloc(itemSize + sizeof(WORD)));
    if (block == nullptr)
        return nullptr;
    WORD cb = static_cast<WORD>(itemSize);
    std::memcpy(block, &cb, sizeof cb);
    if (path)
        std::memcpy(block + sizeof(WORD), path->c_str(), path->size() + 1);
    WORD end = 0;
    std::memcpy(block + itemSize, &end, sizeof end);
    return reinterpret_cast<PIDLIST_ABSOLUTE>(block);
}

} // namespace

namespace hostemu {

void SetDesktopDirectory(const char* path) {
    TheShell().desktop = path;
    TheShell().desktopWide.clear();
    detail::EnsureFolder(path);
}

void SetDesktopDirectoryWide(const WCHAR* wideName, const char* shortName) {
    TheShell().desktop = fs::AddWideFolder(wideName, shortName);
    TheShell().desktopWide = wideName;
}

void AnswerFolderPicker(const char* path) {
    TheShell().answers.push_back(PickerAnswer{path != nullptr, path ? path : ""});
}

FolderPickerRequest LastFolderPicker() {
    return TheShell().lastRequest;
}

unsigned FolderPickersShown() {
    return TheShell().pickersShown;
}

bool FolderPickerOpen() {
    return TheShell().pickerOpen;
}

namespace detail {
void ResetShell() {
    TheShell() = Shell();
}
} // namespace detail
} // namespace hostemu

HRESULT SHGetSpecialFolderLocation(HWND, int folder, PIDLIST_ABSOLUTE* items) {
    if (items == nullptr)
        return E_INVALIDARG;
    *items = nullptr;
    if (DWORD error = hostemu::detail::CheckFault("SHGetSpecialFolderLocation"))
        return HRESULT_FROM_WIN32(error);
    if (folder == CSIDL_DESKTOP)
        *items = MakeItems(nullptr);
    else if (folder == CSIDL_DESKTOPDIRECTORY) {
        hostemu::detail::EnsureFolder(TheShell().desktop.c_str());
        *items = MakeItems(&TheShell().desktop);
    } else
        return E_INVALIDARG; // the emulated machine has no other special folders
    return *items ? S_OK : E_OUTOFMEMORY;
}

BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE items, LPSTR path) {
    if (path == nullptr)
        return FALSE;
    path[0] = '\0';
    if (items == nullptr || hostemu::detail::CheckFault("SHGetPathFromIDListA"))
        return FALSE;
    const BYTE* block = reinterpret_cast<const BYTE*>(items);
    WORD cb;
    std::memcpy(&cb, block, sizeof cb);
    std::string text;
    if (cb == 0) {
        // Made when first named, as the shell makes a user's folders on first use.
        text = TheShell().desktop;
        hostemu::detail::EnsureFolder(text.c_str());
    } else {
        const char* stored = reinterpret_cast<const char*>(block + sizeof(WORD));
        text.assign(stored, strnlen(stored, cb - sizeof(WORD)));
    }
    // The caller's buffer holds MAX_PATH characters.
    if (text.size() >= MAX_PATH)
        return FALSE;
    std::memcpy(path, text.c_str(), text.size() + 1);
    return TRUE;
}

// Names without making: only the 8-bit call makes the desktop when first named.
BOOL SHGetPathFromIDListW(PCIDLIST_ABSOLUTE items, WCHAR* path) {
    if (path == nullptr)
        return FALSE;
    path[0] = 0;
    if (items == nullptr || hostemu::detail::CheckFault("SHGetPathFromIDListW"))
        return FALSE;
    const BYTE* block = reinterpret_cast<const BYTE*>(items);
    WORD cb;
    std::memcpy(&cb, block, sizeof cb);
    std::wstring wide;
    if (cb == 0) {
        wide = TheShell().desktopWide.empty() ? hostemu::fs::Widen(TheShell().desktop)
                                              : TheShell().desktopWide;
    } else {
        const char* stored = reinterpret_cast<const char*>(block + sizeof(WORD));
        wide = hostemu::fs::Widen(std::string(stored, strnlen(stored, cb - sizeof(WORD))));
    }
    if (wide.size() >= MAX_PATH)
        return FALSE;
    std::memcpy(path, wide.c_str(), (wide.size() + 1) * sizeof(WCHAR));
    return TRUE;
}

PIDLIST_ABSOLUTE SHBrowseForFolderA(LPBROWSEINFOA browse) {
    if (browse == nullptr)
        return nullptr;
    hostemu::detail::CountCall("SHBrowseForFolderA");
    Shell& shell = TheShell();
    ++shell.pickersShown;
    shell.lastRequest.owner = browse->hwndOwner;
    shell.lastRequest.hadRoot = browse->pidlRoot != nullptr;
    shell.lastRequest.title = browse->lpszTitle ? browse->lpszTitle : "";
    shell.lastRequest.flags = browse->ulFlags;
    shell.lastRequest.hadCallback = browse->lpfn != nullptr;
    if (shell.answers.empty()) {
        // The picker waits for the user of the machine; one with nothing to do closes it.
        shell.pickerOpen = true;
        hostemu::wm::RunModalLoop(nullptr, [&] { return !shell.answers.empty(); });
        shell.pickerOpen = false;
    }
    if (shell.answers.empty())
        return nullptr; // a user who closes the picker
    PickerAnswer answer = shell.answers.front();
    shell.answers.pop_front();
    if (!answer.chosen)
        return nullptr;
    if (browse->pszDisplayName) {
        // The display name is the folder's own name; the buffer holds MAX_PATH characters.
        size_t slash = answer.path.find_last_of('\\');
        std::string name = slash == std::string::npos ? answer.path : answer.path.substr(slash + 1);
        if (name.empty())
            name = answer.path;
        name = name.substr(0, MAX_PATH - 1);
        std::memcpy(browse->pszDisplayName, name.c_str(), name.size() + 1);
    }
    return MakeItems(&answer.path);
}
