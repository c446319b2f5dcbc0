// The file calls over the emulated file system, with the error codes and buffer rules of the
// Windows NT family.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/host/emulation.h"
#include "platform/host/file_system.h"

using hostemu::fs::Node;
using hostemu::fs::OpenFile;
using hostemu::fs::ParsedPath;
using hostemu::fs::Volume;

namespace {

const uintptr_t kModuleHandle = 0x400000;

// What a path names: its volume, the folder that holds it and the entry itself, if any.
struct Located {
    ParsedPath parsed;
    Volume* volume = nullptr;
    Node* folder = nullptr; // the parent; null for a volume's root
    std::shared_ptr<Node> node;
};

// 0 when the path's parent folder exists (the entry itself may be missing), else the error.
DWORD Locate(const char* path, Located& located) {
    if (DWORD error = hostemu::fs::ParsePath(path, located.parsed))
        return error;
    DWORD error = 0;
    located.volume = hostemu::fs::FindVolume(located.parsed, error);
    if (!located.volume)
        return error;
    const std::vector<std::string>& parts = located.parsed.parts;
    if (parts.empty()) {
        located.node = located.volume->top;
        return 0;
    }
    located.folder = hostemu::fs::FindFolder(*located.volume, parts, parts.size() - 1, error);
    if (!located.folder)
        return error;
    located.node = hostemu::fs::FindChild(*located.folder, parts.back());
    return 0;
}

OpenFile* FindOpenFile(HANDLE handle) {
    auto& files = hostemu::fs::OpenFiles();
    auto it = files.find(reinterpret_cast<uintptr_t>(handle));
    if (it == files.end() || it->second.heldElsewhere)
        return nullptr;
    return &it->second;
}

// Whether any handle, of this process or another, is open on `node`.
bool StillOpen(const Node& node) {
    for (const auto& entry : hostemu::fs::OpenFiles()) {
        if (entry.second.node.get() == &node)
            return true;
    }
    return false;
}

bool Reads(DWORD access) {
    return (access & (GENERIC_READ | GENERIC_ALL | FILE_READ_DATA)) != 0;
}

bool Writes(DWORD access) {
    return (access & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA)) != 0;
}

// A file's attributes as stored: normal alone becomes archive, as NTFS marks new files.
DWORD StoredAttributes(DWORD flagsAndAttributes) {
    DWORD attributes = flagsAndAttributes &
                       (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                        FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY);
    return attributes | FILE_ATTRIBUTE_ARCHIVE;
}

HANDLE Fail(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

BOOL FailBool(DWORD error) {
    SetLastError(error);
    return FALSE;
}

void FillFindData(const Node& node, const std::string& name, WIN32_FIND_DATAA& data) {
    std::memset(&data, 0, sizeof data);
    data.dwFileAttributes = node.attributes;
    data.nFileSizeLow = static_cast<DWORD>(node.data.size());
    data.nFileSizeHigh = static_cast<DWORD>(static_cast<uint64_t>(node.data.size()) >> 32);
    std::snprintf(data.cFileName, sizeof data.cFileName, "%s", name.c_str());
    if (name != "." && name != "..")
        std::snprintf(data.cAlternateFileName, sizeof data.cAlternateFileName, "%s",
                      node.shortName.c_str());
}

struct Search {
    std::vector<WIN32_FIND_DATAA> entries;
    size_t next = 0;
};

std::map<uintptr_t, Search>& Searches() {
    static std::map<uintptr_t, Search> searches;
    return searches;
}

// The answer of the calls that copy a string out: the length without the zero when it fits,
// else the size needed with the zero and the buffer left alone.
DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
    DWORD needed = static_cast<DWORD>(text.size()) + 1;
    if (buffer == nullptr || size < needed)
        return needed;
    std::memcpy(buffer, text.c_str(), needed);
    return needed - 1;
}

DWORD CopyOutWide(const std::wstring& text, WCHAR* buffer, DWORD size) {
    DWORD needed = static_cast<DWORD>(text.size()) + 1;
    if (buffer == nullptr || size < needed)
        return needed;
    std::memcpy(buffer, text.c_str(), needed * sizeof(WCHAR));
    return needed - 1;
}

} // namespace

namespace hostemu {
namespace detail {
void ResetSearches() {
    Searches().clear();
}

} // namespace detail
} // namespace hostemu

namespace {

// CreateFileA without its fault check and count, for the calls that open files themselves.
HANDLE OpenFileHandle(LPCSTR fileName, DWORD access, DWORD shareMode, DWORD disposition,
                      DWORD flagsAndAttributes, LPSECURITY_ATTRIBUTES security = nullptr) {
    if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING)
        return Fail(ERROR_INVALID_PARAMETER);
    if (disposition == TRUNCATE_EXISTING && !Writes(access))
        return Fail(ERROR_INVALID_PARAMETER);
    Located located;
    if (DWORD error = Locate(fileName, located))
        return Fail(error);
    if (located.parsed.parts.empty() || located.parsed.trailingBackslash) {
        // A volume's root or a name ending in a backslash names a folder.
        return Fail(located.node ? ERROR_ACCESS_DENIED : ERROR_INVALID_NAME);
    }
    std::shared_ptr<Node> node = located.node;
    bool existed = node != nullptr;
    if (existed) {
        if (node->directory)
            return Fail(ERROR_ACCESS_DENIED);
        if (disposition == CREATE_NEW)
            return Fail(ERROR_FILE_EXISTS);
        if ((node->attributes & FILE_ATTRIBUTE_READONLY) && Writes(access))
            return Fail(ERROR_ACCESS_DENIED);
        bool replaces = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
        // Replacing a hidden or system file needs the caller to ask for those attributes.
        DWORD guarded = node->attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        if (disposition == CREATE_ALWAYS && (guarded & ~flagsAndAttributes) != 0)
            return Fail(ERROR_ACCESS_DENIED);
        if (!hostemu::fs::SharingAllows(*node, access | (replaces ? GENERIC_WRITE : 0), shareMode))
            return Fail(ERROR_SHARING_VIOLATION);
        if (replaces) {
            hostemu::fs::ResizeData(*node, 0);
            if (disposition == CREATE_ALWAYS)
                node->attributes = StoredAttributes(flagsAndAttributes);
        }
    } else {
        if (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING)
            return Fail(ERROR_FILE_NOT_FOUND);
        node = hostemu::fs::AddChild(*located.folder, located.parsed.parts.back(), false,
                                     StoredAttributes(flagsAndAttributes));
        // Only a file made by the call takes the descriptor; an existing one keeps its own.
        if (security)
            node->security = hostemu::detail::DescriptorText(security->lpSecurityDescriptor);
    }
    OpenFile open;
    open.node = node;
    // Deleting on close is a delete access: later openers must share deletion.
    open.access = access | (flagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE ? DELETE : 0);
    open.share = shareMode;
    if (flagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE)
        node->deleteOnClose = true;
    uintptr_t handle = hostemu::fs::NewHandleValue();
    hostemu::fs::OpenFiles()[handle] = open;
    SetLastError(existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS)
                     ? ERROR_ALREADY_EXISTS
                     : ERROR_SUCCESS);
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD disposition, DWORD flagsAndAttributes, HANDLE) {
    if (DWORD error = hostemu::detail::CheckFault("CreateFileA", fileName ? fileName : ""))
        return Fail(error);
    return OpenFileHandle(fileName, access, shareMode, disposition, flagsAndAttributes, security);
}

namespace {

// The common start of reading and writing: the handle's open file, the call's fault, and the
// access the handle was opened with; null and the error code when any of them refuses.
OpenFile* EnterTransfer(const char* function, HANDLE file, bool (*allowed)(DWORD), DWORD& error) {
    OpenFile* open = FindOpenFile(file);
    if (!open) {
        error = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    if ((error = hostemu::detail::CheckFault(function)) != 0)
        return nullptr;
    if (!allowed(open->access)) {
        error = ERROR_ACCESS_DENIED;
        return nullptr;
    }
    return open;
}

} // namespace

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED) {
    if (read)
        *read = 0;
    DWORD error = 0;
    OpenFile* open = EnterTransfer("ReadFile", file, Reads, error);
    if (!open)
        return FailBool(error);
    const std::vector<BYTE>& data = open->node->data;
    uint64_t available = open->position < data.size() ? data.size() - open->position : 0;
    DWORD count = static_cast<DWORD>(std::min<uint64_t>(available, toRead));
    if (count > 0)
        std::memcpy(buffer, data.data() + open->position, count);
    open->position += count;
    if (read)
        *read = count;
    return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED) {
    if (written)
        *written = 0;
    DWORD error = 0;
    OpenFile* open = EnterTransfer("WriteFile", file, Writes, error);
    if (!open)
        return FailBool(error);
    Node& node = *open->node;
    uint64_t end = open->position + toWrite;
    if (end > node.data.size() && !hostemu::fs::ResizeData(node, end))
        return FailBool(ERROR_DISK_FULL);
    if (toWrite > 0)
        std::memcpy(node.data.data() + open->position, buffer, toWrite);
    open->position = end;
    if (written)
        *written = toWrite;
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE file) {
    DWORD error = 0;
    // Writes reach the emulated disk as they are made; what a power cut would keep of them
    // is tracked apart (hostemu::TrackDurability).
    OpenFile* open = EnterTransfer("FlushFileBuffers", file, Writes, error);
    if (!open)
        return FailBool(error);
    hostemu::fs::FlushedFile(open->node);
    return TRUE;
}

namespace hostemu {
namespace detail {

bool FileDescriptor(HANDLE handle, std::string& text) {
    const OpenFile* open = FindOpenFile(handle);
    if (!open)
        return false;
    text = open->node->security;
    return true;
}

void CloseAllFiles() {
    auto& files = hostemu::fs::OpenFiles();
    std::vector<std::shared_ptr<Node>> closed;
    for (auto it = files.begin(); it != files.end();) {
        if (it->second.heldElsewhere) {
            ++it;
            continue;
        }
        closed.push_back(it->second.node);
        it = files.erase(it);
    }
    for (const std::shared_ptr<Node>& node : closed) {
        if (node->deleteOnClose && node->parent && !StillOpen(*node) &&
            hostemu::fs::FindChild(*node->parent, node->name) == node)
            hostemu::fs::RemoveChild(*node->parent, node->name);
    }
}

} // namespace detail

bool SetFileOwner(const char* path, const char* ownerSid) {
    Located located;
    if (Locate(path, located) != 0 || !located.node)
        return false;
    located.node->security = std::string("O:") + ownerSid;
    return true;
}

} // namespace hostemu

BOOL CloseHandle(HANDLE handle) {
    // A faulted close still lets the handle go, as a close that reports a failed deferred
    // write does on a network file.
    DWORD fault = hostemu::detail::CheckFault("CloseHandle");
    OpenFile* open = FindOpenFile(handle);
    if (!open)
        return hostemu::detail::CloseKernelObject(handle) && !fault ? TRUE
                                                                     : FailBool(fault ? fault : ERROR_INVALID_HANDLE);
    std::shared_ptr<Node> node = open->node;
    hostemu::fs::OpenFiles().erase(reinterpret_cast<uintptr_t>(handle));
    if (node->deleteOnClose && node->parent && !StillOpen(*node) &&
        hostemu::fs::FindChild(*node->parent, node->name) == node)
        hostemu::fs::RemoveChild(*node->parent, node->name);
    return fault ? FailBool(fault) : TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD method) {
    OpenFile* open = FindOpenFile(file);
    if (!open) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_SET_FILE_POINTER;
    }
    int64_t move = distanceHigh
                       ? static_cast<int64_t>((static_cast<uint64_t>(*distanceHigh) << 32) |
                                              static_cast<DWORD>(distance))
                       : distance;
    int64_t base = 0;
    if (method == FILE_CURRENT)
        base = static_cast<int64_t>(open->position);
    else if (method == FILE_END)
        base = static_cast<int64_t>(open->node->data.size());
    else if (method != FILE_BEGIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    int64_t position = base + move;
    if (position < 0 || (!distanceHigh && position > 0xFFFFFFFELL)) {
        SetLastError(position < 0 ? ERROR_NEGATIVE_SEEK : ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    open->position = static_cast<uint64_t>(position);
    if (distanceHigh)
        *distanceHigh = static_cast<LONG>(static_cast<uint64_t>(position) >> 32);
    // A low part that reads as the error value is told apart by a zero last-error code.
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(position);
}

DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh) {
    OpenFile* open = FindOpenFile(file);
    if (!open) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    uint64_t size = open->node->data.size();
    if (sizeHigh)
        *sizeHigh = static_cast<DWORD>(size >> 32);
    return static_cast<DWORD>(size);
}

BOOL GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION information) {
    OpenFile* open = FindOpenFile(file);
    if (!open)
        return FailBool(ERROR_INVALID_HANDLE);
    if (DWORD error = hostemu::detail::CheckFault("GetFileInformationByHandle"))
        return FailBool(error);
    std::memset(information, 0, sizeof *information);
    const Node& node = *open->node;
    information->dwFileAttributes = node.attributes;
    information->nFileSizeLow = static_cast<DWORD>(node.data.size());
    information->nFileSizeHigh = static_cast<DWORD>(static_cast<uint64_t>(node.data.size()) >> 32);
    information->nNumberOfLinks = 1;
    const uint64_t index = reinterpret_cast<uintptr_t>(&node);
    information->nFileIndexLow = static_cast<DWORD>(index);
    information->nFileIndexHigh = static_cast<DWORD>(index >> 32);
    return TRUE;
}

BOOL SetEndOfFile(HANDLE file) {
    DWORD error = 0;
    OpenFile* open = EnterTransfer("SetEndOfFile", file, Writes, error);
    if (!open)
        return FailBool(error);
    if (!hostemu::fs::ResizeData(*open->node, open->position))
        return FailBool(ERROR_DISK_FULL);
    return TRUE;
}

BOOL DeleteFileA(LPCSTR fileName) {
    if (DWORD error = hostemu::detail::CheckFault("DeleteFileA", fileName ? fileName : ""))
        return FailBool(error);
    Located located;
    if (DWORD error = Locate(fileName, located))
        return FailBool(error);
    if (!located.node)
        return FailBool(ERROR_FILE_NOT_FOUND);
    if (located.node->directory || located.parsed.trailingBackslash || !located.folder)
        return FailBool(ERROR_ACCESS_DENIED);
    if (located.node->attributes & FILE_ATTRIBUTE_READONLY)
        return FailBool(ERROR_ACCESS_DENIED);
    if (!hostemu::fs::SharingAllows(*located.node, DELETE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
        return FailBool(ERROR_SHARING_VIOLATION);
    hostemu::fs::RemoveChild(*located.folder, located.node->name);
    return TRUE;
}

// Files only, and on one volume, which is all the program asks of it: a rename is the
// directory entry moving, so open handles keep the same file, and a file held without
// FILE_SHARE_DELETE cannot be renamed at all.
BOOL MoveFileA(LPCSTR existingFileName, LPCSTR newFileName) {
    if (DWORD error = hostemu::detail::CheckFault("MoveFileA",
                                                  existingFileName ? existingFileName : ""))
        return FailBool(error);
    Located from;
    Located to;
    if (DWORD error = Locate(existingFileName, from))
        return FailBool(error);
    if (!from.node)
        return FailBool(ERROR_FILE_NOT_FOUND);
    if (DWORD error = Locate(newFileName, to))
        return FailBool(error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error);
    if (to.node)
        return FailBool(ERROR_ALREADY_EXISTS);
    if (from.node->directory || !from.folder || !to.folder || from.volume != to.volume)
        return FailBool(ERROR_ACCESS_DENIED);
    if (!hostemu::fs::SharingAllows(*from.node, DELETE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
        return FailBool(ERROR_SHARING_VIOLATION);
    std::shared_ptr<Node> node = from.node;
    from.folder->children.erase(hostemu::fs::Upper(node->name));
    std::shared_ptr<Node> moved =
        hostemu::fs::AddChild(*to.folder, to.parsed.parts.back(), false, node->attributes);
    // The new entry takes over the file itself, so that handles open on it stay valid.
    node->name = moved->name;
    node->shortName = moved->shortName;
    node->parent = to.folder;
    to.folder->children[hostemu::fs::Upper(node->name)] = node;
    return TRUE;
}

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security) {
    if (DWORD error = hostemu::detail::CheckFault("CreateDirectoryA", path ? path : ""))
        return FailBool(error);
    Located located;
    if (DWORD error = Locate(path, located))
        return FailBool(error);
    if (!located.folder) {
        // A drive's root cannot be made; a share's root is there already, and the server
        // decides how it says so.
        return FailBool(located.parsed.share ? located.volume->rootCreateError
                                             : ERROR_ACCESS_DENIED);
    }
    if (located.node)
        return FailBool(ERROR_ALREADY_EXISTS);
    std::shared_ptr<Node> folder = hostemu::fs::AddChild(
        *located.folder, located.parsed.parts.back(), true, FILE_ATTRIBUTE_DIRECTORY);
    if (security)
        folder->security = hostemu::detail::DescriptorText(security->lpSecurityDescriptor);
    return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR path) {
    if (DWORD error = hostemu::detail::CheckFault("RemoveDirectoryA", path ? path : ""))
        return FailBool(error);
    Located located;
    if (DWORD error = Locate(path, located))
        return FailBool(error);
    if (!located.node)
        return FailBool(ERROR_FILE_NOT_FOUND);
    if (!located.folder)
        return FailBool(ERROR_ACCESS_DENIED);
    if (!located.node->directory)
        return FailBool(ERROR_DIRECTORY);
    if (!located.node->children.empty())
        return FailBool(ERROR_DIR_NOT_EMPTY);
    hostemu::fs::RemoveChild(*located.folder, located.node->name);
    return TRUE;
}

DWORD GetFileAttributesA(LPCSTR fileName) {
    if (DWORD error = hostemu::detail::CheckFault("GetFileAttributesA", fileName ? fileName : "")) {
        SetLastError(error);
        return INVALID_FILE_ATTRIBUTES;
    }
    Located located;
    DWORD error = Locate(fileName, located);
    if (error == 0 && !located.node)
        error = ERROR_FILE_NOT_FOUND;
    if (error == 0 && located.parsed.trailingBackslash && !located.node->directory)
        error = ERROR_INVALID_NAME;
    if (error) {
        SetLastError(error);
        return INVALID_FILE_ATTRIBUTES;
    }
    return located.node->attributes;
}

BOOL SetFileAttributesA(LPCSTR fileName, DWORD attributes) {
    if (DWORD error = hostemu::detail::CheckFault("SetFileAttributesA", fileName ? fileName : ""))
        return FailBool(error);
    Located located;
    if (DWORD error = Locate(fileName, located))
        return FailBool(error);
    if (!located.node)
        return FailBool(ERROR_FILE_NOT_FOUND);
    DWORD kept = located.node->attributes & FILE_ATTRIBUTE_DIRECTORY;
    DWORD settable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                     FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY;
    DWORD chosen = attributes & settable;
    located.node->attributes = kept | chosen;
    if (located.node->attributes == 0)
        located.node->attributes = FILE_ATTRIBUTE_NORMAL;
    return TRUE;
}

HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
    if (DWORD error = hostemu::detail::CheckFault("FindFirstFileA", pattern ? pattern : ""))
        return Fail(error);
    ParsedPath parsed;
    if (DWORD error = hostemu::fs::ParsePath(pattern, parsed, true))
        return Fail(error);
    if (parsed.parts.empty() || parsed.trailingBackslash)
        return Fail(ERROR_FILE_NOT_FOUND);
    DWORD error = 0;
    Volume* volume = hostemu::fs::FindVolume(parsed, error);
    if (!volume)
        return Fail(error);
    Node* folder = hostemu::fs::FindFolder(*volume, parsed.parts, parsed.parts.size() - 1, error);
    if (!folder)
        return Fail(error);
    const std::string& mask = parsed.parts.back();
    Search search;
    WIN32_FIND_DATAA entry;
    if (folder != volume->top.get()) {
        for (const char* dots : {".", ".."}) {
            if (hostemu::fs::MatchesMask(mask, dots)) {
                FillFindData(*folder, dots, entry);
                search.entries.push_back(entry);
            }
        }
    }
    for (const auto& child : folder->children) {
        const Node& node = *child.second;
        if (hostemu::fs::MatchesMask(mask, node.name) ||
            (!node.shortName.empty() && hostemu::fs::MatchesMask(mask, node.shortName))) {
            FillFindData(node, node.name, entry);
            search.entries.push_back(entry);
        }
    }
    if (search.entries.empty())
        return Fail(ERROR_FILE_NOT_FOUND);
    *data = search.entries[0];
    search.next = 1;
    uintptr_t handle = hostemu::fs::NewHandleValue();
    Searches()[handle] = search;
    SetLastError(ERROR_SUCCESS);
    return reinterpret_cast<HANDLE>(handle);
}

BOOL FindNextFileA(HANDLE handle, LPWIN32_FIND_DATAA data) {
    auto it = Searches().find(reinterpret_cast<uintptr_t>(handle));
    if (it == Searches().end())
        return FailBool(ERROR_INVALID_HANDLE);
    if (DWORD error = hostemu::detail::CheckFault("FindNextFileA"))
        return FailBool(error);
    Search& search = it->second;
    if (search.next >= search.entries.size())
        return FailBool(ERROR_NO_MORE_FILES);
    *data = search.entries[search.next++];
    return TRUE;
}

BOOL FindClose(HANDLE handle) {
    if (Searches().erase(reinterpret_cast<uintptr_t>(handle)) == 0)
        return FailBool(ERROR_INVALID_HANDLE);
    return TRUE;
}

DWORD GetTempPathA(DWORD size, LPSTR buffer) {
    if (DWORD error = hostemu::detail::CheckFault("GetTempPathA")) {
        SetLastError(error);
        return 0;
    }
    return CopyOut(hostemu::fs::State().tempPath, buffer, size);
}

DWORD GetTempPathW(DWORD size, WCHAR* buffer) {
    const hostemu::fs::FileSystemState& state = hostemu::fs::State();
    return CopyOutWide(state.tempPathWide.empty() ? hostemu::fs::Widen(state.tempPath)
                                                  : state.tempPathWide,
                       buffer, size);
}

UINT GetTempFileNameA(LPCSTR path, LPCSTR prefix, UINT unique, LPSTR tempFileName) {
    if (DWORD error = hostemu::detail::CheckFault("GetTempFileNameA", path ? path : "")) {
        SetLastError(error);
        return 0;
    }
    if (path == nullptr || tempFileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string folder = path;
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    std::string stem = folder + std::string(prefix ? prefix : "").substr(0, 3);
    auto nameFor = [&](unsigned number) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%X", number & 0xFFFF);
        return stem + digits + ".tmp";
    };
    auto fits = [](const std::string& name) { return name.size() < MAX_PATH; };
    unique &= 0xFFFF;
    if (unique != 0) {
        std::string name = nameFor(unique);
        if (!fits(name)) {
            SetLastError(ERROR_BUFFER_OVERFLOW);
            return 0;
        }
        std::memcpy(tempFileName, name.c_str(), name.size() + 1);
        return unique;
    }
    Located located;
    if (Locate(folder.c_str(), located) != 0 || !located.node || !located.node->directory) {
        SetLastError(ERROR_DIRECTORY);
        return 0;
    }
    unsigned& counter = hostemu::fs::State().tempCounter;
    for (unsigned tries = 0; tries < 0xFFFF; ++tries) {
        counter = (counter + 1) & 0xFFFF;
        if (counter == 0)
            counter = 1;
        std::string name = nameFor(counter);
        if (!fits(name)) {
            SetLastError(ERROR_BUFFER_OVERFLOW);
            return 0;
        }
        HANDLE file =
            OpenFileHandle(name.c_str(), GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS)
                continue;
            return 0;
        }
        hostemu::fs::OpenFiles().erase(reinterpret_cast<uintptr_t>(file));
        std::memcpy(tempFileName, name.c_str(), name.size() + 1);
        SetLastError(ERROR_SUCCESS);
        return counter;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return 0;
}

BOOL GetDiskFreeSpaceA(LPCSTR rootPath, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                       LPDWORD freeClusters, LPDWORD totalClusters) {
    if (DWORD error = hostemu::detail::CheckFault("GetDiskFreeSpaceA", rootPath ? rootPath : ""))
        return FailBool(error);
    std::string root = rootPath ? rootPath : hostemu::fs::State().currentDirectory.substr(0, 3);
    Located located;
    if (DWORD error = Locate(root.c_str(), located))
        return FailBool(error);
    if (!located.node || !located.node->directory)
        return FailBool(ERROR_PATH_NOT_FOUND);
    const Volume& volume = *located.volume;
    uint64_t total = volume.freeBytes + volume.usedBytes;
    // Clusters of 4096 bytes where the figures allow it; otherwise single bytes, so that a
    // test's exact free space reads back exactly.
    DWORD sectors = 8;
    DWORD sectorBytes = 512;
    if (volume.freeBytes % 4096 != 0 || total % 4096 != 0)
        sectors = 1, sectorBytes = 1;
    uint64_t cluster = static_cast<uint64_t>(sectors) * sectorBytes;
    if (sectorsPerCluster)
        *sectorsPerCluster = sectors;
    if (bytesPerSector)
        *bytesPerSector = sectorBytes;
    if (freeClusters)
        *freeClusters =
            static_cast<DWORD>(std::min<uint64_t>(volume.freeBytes / cluster, 0xFFFFFFFFu));
    if (totalClusters)
        *totalClusters = static_cast<DWORD>(std::min<uint64_t>(total / cluster, 0xFFFFFFFFu));
    return TRUE;
}

DWORD GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size) {
    if (DWORD error = hostemu::detail::CheckFault("GetShortPathNameA", longPath ? longPath : "")) {
        SetLastError(error);
        return 0;
    }
    if (longPath == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Located located;
    DWORD error = Locate(longPath, located);
    if (error == 0 && !located.node)
        error = ERROR_FILE_NOT_FOUND;
    if (error) {
        SetLastError(error);
        return 0;
    }
    // Walk the caller's own names, so that names that need no alias keep the caller's case.
    std::string text = longPath;
    std::string result;
    size_t start = 0;
    if (located.parsed.share) {
        result = located.parsed.rootText;
        start = result.size();
    } else if (text.size() >= 2 && text[1] == ':') {
        result = text.substr(0, 2);
        start = 2;
    }
    const Node* folder = located.volume->top.get();
    std::string name;
    for (size_t i = start; i <= text.size(); ++i) {
        bool end = i == text.size();
        char c = end ? '\\' : text[i];
        if (c == '\\' || c == '/') {
            if (!name.empty() && name != "." && name != ".." && folder) {
                std::shared_ptr<Node> child = hostemu::fs::FindChild(*folder, name);
                if (child && !child->shortName.empty())
                    name = child->shortName;
                folder = child ? child.get() : nullptr;
            }
            result += name;
            if (!end)
                result += c;
            name.clear();
        } else {
            name += c;
        }
    }
    return CopyOut(result, shortPath, size);
}

DWORD GetShortPathNameW(const WCHAR* longPath, WCHAR* shortPath, DWORD size) {
    if (longPath == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::wstring path = longPath;
    // A folder with a name 1252 cannot write: its short name, or itself where it has none.
    for (const auto& folder : hostemu::fs::State().wideFolders) {
        const std::wstring& wide = folder.first;
        if (path.compare(0, wide.size(), wide) != 0 ||
            (path.size() > wide.size() && path[wide.size()] != L'\\'))
            continue;
        if (folder.second.empty())
            return CopyOutWide(path, shortPath, size);
        std::string rest;
        if (!hostemu::fs::Narrow(path.substr(wide.size()), rest))
            break;
        return CopyOutWide(hostemu::fs::Widen(folder.second + rest), shortPath, size);
    }
    std::string narrow;
    if (!hostemu::fs::Narrow(path, narrow)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    char answer[32768];
    DWORD length = GetShortPathNameA(narrow.c_str(), answer, sizeof answer);
    if (length == 0 || length >= sizeof answer)
        return 0;
    return CopyOutWide(hostemu::fs::Widen(answer), shortPath, size);
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    if (DWORD error = hostemu::detail::CheckFault("GetModuleFileNameA")) {
        SetLastError(error);
        return 0;
    }
    if (module != nullptr && reinterpret_cast<uintptr_t>(module) != kModuleHandle) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    const std::string& name = hostemu::fs::State().moduleFileName;
    if (size == 0 || fileName == nullptr) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (name.size() >= size) {
        // Truncated to the buffer, still zero-terminated, with the buffer's size as the answer.
        std::memcpy(fileName, name.c_str(), size - 1);
        fileName[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(fileName, name.c_str(), name.size() + 1);
    return static_cast<DWORD>(name.size());
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    if (moduleName != nullptr)
        return hostemu::detail::SystemModuleHandle(moduleName);
    return reinterpret_cast<HMODULE>(kModuleHandle);
}
