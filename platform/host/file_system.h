// The emulated machine's file system: volumes (drive letters and UNC shares), folders and files
// in memory, with names compared as Windows compares them and 8.3 short names. Only the host
// emulation includes this; tests reach it through hostemu.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/name_order.h"
#include "platform/host/win32_api.h"

namespace hostemu {
namespace fs {

struct Node {
    std::string name;      // as created
    std::string shortName; // empty when the name is itself a legal 8.3 name
    bool directory = false;
    DWORD attributes = 0;
    std::vector<BYTE> data;
    std::map<std::string, std::shared_ptr<Node>, NameLess> children; // by upper-cased name
    Node* parent = nullptr;
    struct Volume* volume = nullptr;
    // Opened with FILE_FLAG_DELETE_ON_CLOSE: goes when its last handle closes.
    bool deleteOnClose = false;
    // The SDDL a folder was created with; empty when it took its parent's.
    std::string security;
};

struct Volume {
    std::string root; // "C:" or "\\SERVER\SHARE", as added
    uint64_t freeBytes = 0;
    uint64_t usedBytes = 0;
    std::shared_ptr<Node> top;
    // What CreateDirectoryA answers for a share's root, which is always there.
    DWORD rootCreateError = ERROR_ALREADY_EXISTS;
};

// A path taken apart: its volume and the names below the volume's root folder.
struct ParsedPath {
    std::string volumeKey; // upper-cased "C:" or "\\SERVER\SHARE"
    bool share = false;
    std::string rootText; // the root as the caller wrote it, without a trailing backslash
    std::vector<std::string> parts;
    bool trailingBackslash = false;
};

std::string Upper(const std::string& text);
bool IsLegalShortName(const std::string& name);
// Wildcards * and ? as FindFirstFileA applies them, letter case ignored.
bool MatchesMask(const std::string& mask, const std::string& name);

// 0, or the error Windows gives for a malformed path. `allowWildcards` lets * and ? through in
// the last name, for directory searches.
DWORD ParsePath(const char* path, ParsedPath& parsed, bool allowWildcards = false);
// The volume of a parsed path, or null with the error for a missing drive or share.
Volume* FindVolume(const ParsedPath& parsed, DWORD& error);
// The folder named by the first `count` parts, or null with ERROR_PATH_NOT_FOUND.
Node* FindFolder(Volume& volume, const std::vector<std::string>& parts, size_t count, DWORD& error);
std::shared_ptr<Node> FindChild(const Node& folder, std::string_view name);
std::shared_ptr<Node> AddChild(Node& folder, const std::string& name, bool directory,
                               DWORD attributes);
void RemoveChild(Node& folder, const std::string& name);
// Grows or shrinks a file's data, charging the volume; false when the volume lacks the room.
bool ResizeData(Node& file, uint64_t size);

// Open files, including those held by other processes.
struct OpenFile {
    std::shared_ptr<Node> node;
    DWORD access = 0;
    DWORD share = 0;
    uint64_t position = 0;
    bool heldElsewhere = false;
};
// True when an open with `access` and `share` may join the handles already open on `node`.
bool SharingAllows(const Node& node, DWORD access, DWORD share);
std::map<uintptr_t, OpenFile>& OpenFiles();
uintptr_t NewHandleValue();

struct FileSystemState {
    std::map<std::string, Volume> volumes; // by upper-cased root
    std::map<uintptr_t, OpenFile> files;
    uintptr_t nextHandle = 0x2000;
    std::string tempPath = "C:\\WINDOWS\\TEMP\\";
    std::string moduleFileName = "C:\\NetQuillo\\NetQuilloSetup.exe";
    std::string currentDirectory = "C:\\";
    unsigned tempCounter = 0x1A2B;
    // The temporary folder's name as the wide calls see it, where code page 1252 cannot write
    // it; empty when tempPath says it all.
    std::wstring tempPathWide;
    // Folders whose names 1252 cannot write: the wide path, and the path the volume keeps the
    // folder under (its short name), or "" where it has none.
    std::vector<std::pair<std::wstring, std::string>> wideFolders;
    // What a power cut would leave, from hostemu::TrackDurability on: every folder's and file's
    // name and place as the last flush left them, and each file's bytes as its own last flush
    // (or the start of tracking) left them.
    struct DurableName {
        std::shared_ptr<Node> node;
        std::string name;
        std::string shortName;
        DWORD attributes = 0;
        Node* parent = nullptr;
        Volume* volume = nullptr;
        std::map<std::string, std::shared_ptr<Node>, NameLess> children;
    };
    bool trackingDurability = false;
    std::vector<DurableName> durableNames;
    std::map<const Node*, std::pair<std::shared_ptr<Node>, std::vector<BYTE>>> durableBytes;
};
FileSystemState& State();

// Power cuts (hostemu::TrackDurability). A flush of a file makes its bytes durable, and with
// them every name on every volume, as a file system that journals its names writes them in
// order; CutFilesPower loses what is not durable, of the names, the bytes or both.
void TrackDurableFiles();
void FlushedFile(const std::shared_ptr<Node>& file);
void CutFilesPower(bool loseNames, bool loseBytes);

// Creates the folder and its missing parents; false when the path is not a usable one.
bool EnsureFolder(const char* path);
// Records a folder whose name 1252 cannot write (hostemu::SetTempPathWide) and makes it under
// its short name; answers the name as the 8-bit calls write it, '?' for each lacking character.
std::string AddWideFolder(const WCHAR* wideName, const char* shortName);
// Between the 8-bit names the emulation keeps and wide ones, through code page 1252.
std::wstring Widen(const std::string& text);
// False when a character has no byte in 1252.
bool Narrow(const std::wstring& text, std::string& narrow);

} // namespace fs
} // namespace hostemu
